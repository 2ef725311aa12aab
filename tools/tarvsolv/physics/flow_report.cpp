#include "physics/flow_report.h"

#include <cstdio>
#include <string>

#include "fem/element_kernels.h"
#include "fem/quadrature.h"

namespace tarvsolv {
namespace {

// Reference coordinates of the ten nodes of a quadratic tetrahedron, in the solver's order.
std::array<double, 3> nodeReference(int local) {
    constexpr int kEdges[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};
    if (local < 4) return kTetCorners[local];
    const auto& a = kTetCorners[kEdges[local - 4][0]];
    const auto& b = kTetCorners[kEdges[local - 4][1]];
    return {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
}

std::string triple(const Vec3& v) {
    char text[96];
    std::snprintf(text, sizeof text, "(%.6g, %.6g, %.6g)", v.x, v.y, v.z);
    return text;
}

}  // namespace

std::vector<double> nodalVorticity(const FeMesh& mesh, const std::vector<double>& velocity) {
    std::vector<double> sum(3 * static_cast<std::size_t>(mesh.nodeCount()), 0.0);
    std::vector<int> count(mesh.nodeCount(), 0);
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        for (std::size_t k = 0; k < nodes.size(); ++k) {
            const VolumePoint g = volumePoint(mesh, e, nodeReference(static_cast<int>(k)));
            double grad[3][3] = {};
            for (std::size_t i = 0; i < nodes.size(); ++i)
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b) grad[a][b] += g.dx[i][b] * velocity[3 * nodes[i] + a];
            double* w = &sum[3 * static_cast<std::size_t>(nodes[k])];
            w[0] += grad[2][1] - grad[1][2];
            w[1] += grad[0][2] - grad[2][0];
            w[2] += grad[1][0] - grad[0][1];
            ++count[nodes[k]];
        }
    }
    for (int n = 0; n < mesh.nodeCount(); ++n)
        for (int a = 0; a < 3 && count[n] > 0; ++a) sum[3 * n + a] /= count[n];
    return sum;
}

std::vector<FaceFlow> faceFlows(const ModelGeometry& geometry, const std::vector<int>& faces,
                                const std::vector<double>& velocity, const std::vector<double>& pressure,
                                const std::vector<double>& viscosity) {
    const FeMesh& mesh = geometry.mesh();
    std::vector<FaceFlow> out;
    for (int face : faces) {
        FaceFlow flow;
        flow.face = face;
        for (const Facet& facet : geometry.facetsOfFace(face)) {
            const auto nodes = mesh.elementNodes(facet.element);
            const std::vector<int> faceNodes = mesh.faceNodes(facet.element, facet.face);
            // The face's corners in the element's reference coordinates.
            std::array<std::array<double, 3>, 3> corner{};
            for (int c = 0; c < 3; ++c)
                for (int k = 0; k < 4; ++k)
                    if (nodes[k] == faceNodes[c]) corner[c] = kTetCorners[k];
            const Vec3 centroid = elementCentroid(mesh, facet.element);
            for (const QuadPoint& q : triangleRule(5)) {
                const double s = q.xi[0], t = q.xi[1];
                std::array<double, 3> xi;
                for (int d = 0; d < 3; ++d)
                    xi[d] = (1 - s - t) * corner[0][d] + s * corner[1][d] + t * corner[2][d];
                const VolumePoint g = volumePoint(mesh, facet.element, xi);
                const TetShape shape = tetShape(mesh.nodesPerElement, xi[0], xi[1], xi[2]);
                Vec3 xs, xt, u;
                double p = 0, grad[3][3] = {};
                for (std::size_t i = 0; i < nodes.size(); ++i) {
                    const Vec3 x = mesh.node(nodes[i]);
                    double ds = 0, dt = 0;
                    for (int d = 0; d < 3; ++d) {
                        ds += shape.dxi[i][d] * (corner[1][d] - corner[0][d]);
                        dt += shape.dxi[i][d] * (corner[2][d] - corner[0][d]);
                    }
                    xs = xs + ds * x;
                    xt = xt + dt * x;
                    p += g.n[i] * pressure[nodes[i]];
                    for (int a = 0; a < 3; ++a) {
                        u[a] += g.n[i] * velocity[3 * nodes[i] + a];
                        for (int b = 0; b < 3; ++b) grad[a][b] += g.dx[i][b] * velocity[3 * nodes[i] + a];
                    }
                }
                Vec3 area = q.weight * cross(xs, xt);
                if (dot(area, g.x - centroid) < 0) area = -1.0 * area;  // outward of the fluid
                const double mu = viscosity[facet.element];
                flow.flowRate += dot(u, area);
                flow.pressureForce = flow.pressureForce + p * area;
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b)
                        flow.viscousForce[a] -= mu * (grad[a][b] + grad[b][a]) * area[b];
            }
        }
        out.push_back(flow);
    }
    return out;
}

void logFlowReport(RunLog& log, const std::vector<FaceFlow>& walls, const std::vector<FaceFlow>& openings,
                   const UnitSystem& units) {
    const std::string force = units.name == "in" || units.name == "ft" ? " lbf" : " N";
    for (const FaceFlow& wall : walls)
        log.line("force of the fluid on face " + std::to_string(wall.face) + ": pressure " +
                 triple(wall.pressureForce) + ", viscous " + triple(wall.viscousForce) + ", total " +
                 triple(wall.pressureForce + wall.viscousForce) + force);
    double in = 0, out = 0;
    for (const FaceFlow& opening : openings) {
        char text[96];
        std::snprintf(text, sizeof text, "%.6g", opening.flowRate);
        log.line("flow out through face " + std::to_string(opening.face) + ": " + text + " " + units.name +
                 "3/s");
        (opening.flowRate < 0 ? in : out) += std::abs(opening.flowRate);
    }
    char text[128];
    std::snprintf(text, sizeof text, "mass balance: in %.6g, out %.6g, (in - out) / in %.3g", in, out,
                  in > 0 ? (in - out) / in : 0.0);
    log.line(text);
}

}  // namespace tarvsolv
