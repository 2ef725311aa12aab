#include "physics/gas_report.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace tarvsolv {
namespace {

std::string vectorText(const Vec3& v) {
    char text[100];
    std::snprintf(text, sizeof text, "%.6g %.6g %.6g", v.x, v.y, v.z);
    return text;
}

bool isWall(GasBoundaryKind kind) {
    return kind == GasBoundaryKind::SlipWall || kind == GasBoundaryKind::NoSlipWall;
}

const char* openingText(GasBoundaryKind kind) {
    switch (kind) {
        case GasBoundaryKind::TotalInlet:
        case GasBoundaryKind::VelocityInlet:
            return "inlet";
        case GasBoundaryKind::FarField:
            return "far field";
        case GasBoundaryKind::PressureOutlet:
            return "outlet";
        default:
            return "free face";
    }
}

}  // namespace

GasFaceReport gasFaceReport(const GasDiscretisation& problem, const std::vector<double>& U, double t) {
    const DualMesh& dual = problem.dual();
    const IdealGas& gas = problem.gas();
    const std::vector<GasPrimitive> w = problem.primitives(U);
    const std::vector<Vec3> g = gas.viscous() ? problem.velocityGradients(w) : std::vector<Vec3>{};
    std::map<int, FaceFlow> walls, openings;
    std::map<int, GasBoundaryKind> kinds;
    for (std::size_t p = 0; p < dual.boundary.size(); ++p) {
        const DualBoundaryPiece& b = dual.boundary[p];
        const GasBoundaryKind kind = problem.boundaryKinds()[p];
        const GasPrimitive& s = w[b.vertex];
        if (isWall(kind)) {
            FaceFlow& f = walls[b.tag];
            f.face = b.tag;
            f.pressureForce = f.pressureForce + s.p * b.normal;
            if (kind == GasBoundaryKind::NoSlipWall) {
                // -tau n at the wall vertex, from its velocity gradient.
                const Vec3* gv = &g[3 * static_cast<std::size_t>(b.vertex)];
                const double div = gv[0].x + gv[1].y + gv[2].z;
                Vec3 tau;
                for (int a = 0; a < 3; ++a)
                    for (int c = 0; c < 3; ++c)
                        tau[a] += gas.mu * (gv[a][c] + gv[c][a] - (a == c ? 2.0 / 3 * div : 0)) * b.normal[c];
                f.viscousForce = f.viscousForce - tau;
            }
            continue;
        }
        FaceFlow& f = openings[b.tag];
        f.face = b.tag;
        kinds[b.tag] = kind;
        f.flowRate += problem.boundaryFlux(p, s, t)[0];
        f.speedRate += s.rho * norm(s.u) * norm(b.normal);
    }
    GasFaceReport out;
    for (auto& [face, f] : walls) out.walls.push_back(f);
    for (auto& [face, f] : openings) out.openings.push_back(f), out.openingKinds.push_back(kinds[face]);
    return out;
}

std::vector<std::string> gasReportTable(const GasFaceReport& report, const UnitSystem& units) {
    const bool imperial = units.name == "in" || units.name == "ft";
    std::vector<std::string> lines;
    char text[400];
    if (!report.walls.empty())
        lines.push_back(std::string("force of the gas on the walls (") + (imperial ? "lbf" : "N") +
                        ", x y z):");
    for (const FaceFlow& f : report.walls) {
        std::snprintf(text, sizeof text, "  face %d: pressure %s, viscous %s, total %s", f.face,
                      vectorText(f.pressureForce).c_str(), vectorText(f.viscousForce).c_str(),
                      vectorText(f.pressureForce + f.viscousForce).c_str());
        lines.emplace_back(text);
    }
    if (report.openings.empty()) return lines;
    lines.push_back(std::string("mass flow through the openings (") + (imperial ? "lb/s" : "kg/s") + "):");
    std::vector<FaceFlow> scaled = report.openings;
    for (std::size_t k = 0; k < scaled.size(); ++k) {
        FaceFlow& f = scaled[k];
        f.flowRate /= units.massScale, f.speedRate /= units.massScale;
        std::snprintf(text, sizeof text, "  face %d (%s): %.6g %s", f.face,
                      openingText(report.openingKinds[k]), std::abs(f.flowRate),
                      f.flowRate < 0 ? "in" : "out");
        lines.emplace_back(text);
    }
    lines.push_back(massBalanceLine(scaled));
    return lines;
}

}  // namespace tarvsolv
