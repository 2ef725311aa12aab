#include "physics/flow_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "fem/element_kernels.h"
#include "fem/shape_functions.h"

namespace tarvsolv {
namespace {

// Reference coordinates of the nodes of a tetrahedron in the solver's local order: the corners,
// then the midpoints of the edges 0-1, 1-2, 0-2, 0-3, 1-3, 2-3.
constexpr std::array<std::array<double, 3>, kMaxElementNodes> kNodeXi{{{0, 0, 0},
                                                                       {1, 0, 0},
                                                                       {0, 1, 0},
                                                                       {0, 0, 1},
                                                                       {0.5, 0, 0},
                                                                       {0.5, 0.5, 0},
                                                                       {0, 0.5, 0},
                                                                       {0, 0, 0.5},
                                                                       {0.5, 0, 0.5},
                                                                       {0, 0.5, 0.5}}};

using Gradient = std::array<std::array<double, 3>, 3>;  // g[a][b] = du_a / dx_b

// The velocity gradient of element `e` at `point`, from the element's own nodal velocities.
Gradient velocityGradient(const FeMesh& mesh, int e, const VolumePoint& point,
                          const std::vector<double>& velocity) {
    Gradient g{};
    const auto nodes = mesh.elementNodes(e);
    for (int i = 0; i < mesh.nodesPerElement; ++i)
        for (int a = 0; a < 3; ++a) {
            const double u = velocity[3 * static_cast<std::size_t>(nodes[i]) + a];
            for (int b = 0; b < 3; ++b) g[a][b] += u * point.dx[i][b];
        }
    return g;
}

Vec3 curl(const Gradient& g) {
    return {g[2][1] - g[1][2], g[0][2] - g[2][0], g[1][0] - g[0][1]};
}

// Local corner (0..3) of element `e` of each of the face's three corners.
std::array<int, 3> faceCorners(const FeMesh& mesh, const Facet& facet) {
    const std::vector<int> nodes = mesh.faceNodes(facet.element, facet.face);
    const auto element = mesh.elementNodes(facet.element);
    std::array<int, 3> corners{};
    for (int k = 0; k < 3; ++k)
        corners[k] =
            static_cast<int>(std::find(element.begin(), element.begin() + 4, nodes[k]) - element.begin());
    return corners;
}

// The element's reference coordinates of a point given by its face coordinates.
std::array<double, 3> elementXi(const std::array<int, 3>& corners, const std::array<double, 2>& faceXi) {
    const double weight[3] = {1 - faceXi[0] - faceXi[1], faceXi[0], faceXi[1]};
    std::array<double, 3> xi{};
    for (int k = 0; k < 3; ++k)
        for (int d = 0; d < 3; ++d) xi[d] += weight[k] * kTetCorners[corners[k]][d];
    return xi;
}

FaceFlow flowOfFace(const ModelGeometry& geometry, int face, const std::vector<double>& velocity,
                    const std::vector<double>& pressure, const std::vector<double>& viscosity) {
    const FeMesh& mesh = geometry.mesh();
    FaceFlow out;
    out.face = face;
    for (const Facet& facet : geometry.facetsOfFace(face)) {
        const std::vector<int> nodes = mesh.faceNodes(facet.element, facet.face);
        const std::array<int, 3> corners = faceCorners(mesh, facet);
        const double mu = viscosity[facet.element];
        for (const BoundaryPoint& p : facePoints(mesh, facet)) {
            // The pressure is linear: the corners' values by the face's area coordinates.
            const double weight[3] = {1 - p.xi[0] - p.xi[1], p.xi[0], p.xi[1]};
            double pr = 0;
            for (int k = 0; k < 3; ++k) pr += weight[k] * pressure[nodes[k]];
            Vec3 u;
            for (std::size_t i = 0; i < nodes.size(); ++i)
                for (int a = 0; a < 3; ++a)
                    u[a] += p.n[i] * velocity[3 * static_cast<std::size_t>(nodes[i]) + a];
            const VolumePoint at = volumePoint(mesh, facet.element, elementXi(corners, p.xi));
            const Gradient g = velocityGradient(mesh, facet.element, at, velocity);
            Vec3 viscous;
            for (int a = 0; a < 3; ++a)
                for (int b = 0; b < 3; ++b) viscous[a] -= mu * (g[a][b] + g[b][a]) * p.normal[b];
            out.pressureForce = out.pressureForce + (pr * p.measure) * p.normal;
            out.viscousForce = out.viscousForce + p.measure * viscous;
            out.flowRate += dot(u, p.normal) * p.measure;
            out.speedRate += norm(u) * p.measure;
        }
    }
    return out;
}

std::string forceUnit(const UnitSystem& units) {
    return units.name == "in" || units.name == "ft" ? "lbf" : "N";
}

std::string vectorText(const Vec3& v) {
    char text[100];
    std::snprintf(text, sizeof text, "%.6g %.6g %.6g", v.x, v.y, v.z);
    return text;
}

}  // namespace

std::vector<double> nodalVorticity(const FeMesh& mesh, const std::vector<double>& velocity) {
    std::vector<double> sum(3 * static_cast<std::size_t>(mesh.nodeCount()), 0.0);
    std::vector<int> count(mesh.nodeCount(), 0);
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        for (int i = 0; i < mesh.nodesPerElement; ++i) {
            const Vec3 w = curl(velocityGradient(mesh, e, volumePoint(mesh, e, kNodeXi[i]), velocity));
            for (int a = 0; a < 3; ++a) sum[3 * static_cast<std::size_t>(nodes[i]) + a] += w[a];
            ++count[nodes[i]];
        }
    }
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (count[n] > 0)
            for (int a = 0; a < 3; ++a) sum[3 * static_cast<std::size_t>(n) + a] /= count[n];
    return sum;
}

std::vector<FaceFlow> faceFlows(const ModelGeometry& geometry, const std::vector<int>& faces,
                                const std::vector<double>& velocity, const std::vector<double>& pressure,
                                const std::vector<double>& viscosity) {
    const FeMesh& mesh = geometry.mesh();
    if (velocity.size() != 3 * static_cast<std::size_t>(mesh.nodeCount()) ||
        pressure.size() != static_cast<std::size_t>(mesh.nodeCount()) ||
        viscosity.size() != static_cast<std::size_t>(mesh.elementCount()))
        throw std::runtime_error("the flow field does not fit the mesh");
    std::vector<FaceFlow> flows;
    for (int face : faces) flows.push_back(flowOfFace(geometry, face, velocity, pressure, viscosity));
    return flows;
}

MassBalance massBalance(const std::vector<FaceFlow>& openings) {
    MassBalance b;
    // Far above the rounding of a sum over the face's points, far below any flow worth reporting.
    constexpr double kRoundOff = 1e-12;
    for (const FaceFlow& f : openings)
        if (std::abs(f.flowRate) > kRoundOff * f.speedRate)
            (f.flowRate < 0 ? b.in : b.out) += std::abs(f.flowRate);
    b.imbalance = b.in > 0 ? (b.in - b.out) / b.in : 0;
    return b;
}

std::string massBalanceLine(const std::vector<FaceFlow>& openings) {
    const MassBalance b = massBalance(openings);
    char text[200];
    if (b.in > 0)
        std::snprintf(text, sizeof text, "  in %.6g, out %.6g, (in - out) / in = %.3g", b.in, b.out,
                      b.imbalance);
    else
        std::snprintf(text, sizeof text, "  in %.6g, out %.6g: nothing flows in", b.in, b.out);
    return text;
}

std::vector<std::string> flowReportTable(const std::vector<FaceFlow>& walls,
                                         const std::vector<FaceFlow>& openings, const UnitSystem& units) {
    std::vector<std::string> lines;
    char text[400];
    if (!walls.empty()) lines.push_back("force of the fluid on the walls (" + forceUnit(units) + ", x y z):");
    for (const FaceFlow& f : walls) {
        std::snprintf(text, sizeof text, "  face %d: pressure %s, viscous %s, total %s", f.face,
                      vectorText(f.pressureForce).c_str(), vectorText(f.viscousForce).c_str(),
                      vectorText(f.pressureForce + f.viscousForce).c_str());
        lines.emplace_back(text);
    }
    if (openings.empty()) return lines;
    lines.push_back("flow rate through the openings (" + units.name + "3/s):");
    for (const FaceFlow& f : openings) {
        std::snprintf(text, sizeof text, "  face %d: %.6g %s", f.face, std::abs(f.flowRate),
                      f.flowRate < 0 ? "in" : "out");
        lines.emplace_back(text);
    }
    lines.push_back(massBalanceLine(openings));
    return lines;
}

void logFlowReport(RunLog& log, const std::vector<FaceFlow>& walls, const std::vector<FaceFlow>& openings,
                   const UnitSystem& units) {
    for (const std::string& line : flowReportTable(walls, openings, units)) log.line(line);
}

}  // namespace tarvsolv
