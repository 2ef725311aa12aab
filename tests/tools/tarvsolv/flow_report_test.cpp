// The flow report on velocity and pressure fields whose integrals are known in closed form: the
// vorticity of a linear field on bent (curved) elements, the forces and flow rates of Poiseuille
// flow between plates on straight elements (exact: the field is quadratic) and in a curved pipe
// annulus, and a uniform flow through a curved end face.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "fem/box_mesh.h"
#include "physics/flow_report.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

using VelocityField = std::function<Vec3(const Vec3&)>;

struct Fields {
    std::vector<double> velocity, pressure, viscosity;
};

Fields sample(const FeMesh& mesh, const VelocityField& u, const std::function<double(const Vec3&)>& p,
              double mu) {
    Fields f;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const Vec3 v = u(mesh.node(n));
        f.velocity.insert(f.velocity.end(), {v.x, v.y, v.z});
        f.pressure.push_back(p(mesh.node(n)));
    }
    f.viscosity.assign(mesh.elementCount(), mu);
    return f;
}

void expectVector(const Vec3& got, const Vec3& want, double tolerance, const std::string& what) {
    for (int a = 0; a < 3; ++a) EXPECT_NEAR(got[a], want[a], tolerance) << what << ", component " << a;
}

struct FlowCase {
    std::string name;
    FeMesh mesh;
    VelocityField velocity;
    std::function<double(const Vec3&)> pressure;
    double mu;
    VelocityField vorticity;  // the exact curl; empty: not checked
    std::vector<int> walls;
    Vec3 wallViscousForce;  // summed over the walls
    std::vector<int> openings;
    std::vector<double> flowRates;        // per opening, out positive
    std::vector<Vec3> openingPressForce;  // per opening
    double relative;                      // tolerance relative to the largest expected value of its kind
};

double largestOfKind(const std::vector<Vec3>& forces, const std::vector<double>& rates) {
    double size = 1;
    for (const Vec3& f : forces) size = std::max({size, std::abs(f.x), std::abs(f.y), std::abs(f.z)});
    for (double q : rates) size = std::max(size, std::abs(q));
    return size;
}

std::vector<FlowCase> flowCases() {
    std::vector<FlowCase> cases;
    // A quarter of a pipe annulus along z, radius 2 to 5, 10 long: faces 1 (r = 2), 2 (r = 5), 3 and
    // 4 (the planes y = 0 and x = 0), 5 (z = 0) and 6 (z = 10).
    const FeMesh quarterAnnulus = quarterRing(2, 5, 10, 4, 8);
    const double pi = std::numbers::pi;
    {
        // A linear field with every gradient entry different: its curl, on elements bent out of
        // shape, is exact at every node. Its stress is uniform, so the viscous force on the closed
        // surface sums to zero, as does the flow of a field of zero divergence.
        FeMesh mesh = makeBoxMesh({{}, {2, 1, 1}, 3, 2, 2, true});
        mapNodes(mesh, [](const Vec3& p) {
            return Vec3{p.x + 0.1 * p.y * p.y, p.y + 0.15 * p.z * p.x, p.z};
        });
        cases.push_back({"linear field on bent elements",
                         mesh,
                         [](const Vec3& x) {
                             return Vec3{1 + 2 * x.x + 3 * x.y - x.z, 4 * x.x - 5 * x.y + 7 * x.z,
                                         -6 * x.x + 0.5 * x.y + 3 * x.z};
                         },
                         [](const Vec3&) { return 0.0; },
                         0.7,
                         [](const Vec3&) {
                             return Vec3{0.5 - 7, -1 + 6, 4 - 3};
                         },
                         {1, 2, 3, 4, 5, 6},
                         Vec3{},
                         {1, 2, 3, 4, 5, 6},
                         {},
                         {},
                         1e-9});
    }
    {
        // Plane Poiseuille flow between the walls y = 0 and y = H, driven by the pressure gradient
        // G along x: u = G / (2 mu) y (H - y), p = p0 - G x. The walls carry the pressure drop times
        // the section in x; each end's flow is G H^3 W / (12 mu); the pressure pushes each end
        // outward with p A.
        const double length = 6, h = 2, w = 1, g = 0.3, mu = 0.05, p0 = 4;
        const double rate = g * h * h * h * w / (12 * mu), drop = g * length;
        cases.push_back({"plane Poiseuille flow",
                         makeBoxMesh({{}, {length, h, w}, 3, 2, 1, true}),
                         [=](const Vec3& x) {
                             return Vec3{g / (2 * mu) * x.y * (h - x.y), 0, 0};
                         },
                         [=](const Vec3& x) { return p0 - g * x.x; },
                         mu,
                         [=](const Vec3& x) {
                             return Vec3{0, 0, -g / (2 * mu) * (h - 2 * x.y)};
                         },
                         {3, 4},
                         Vec3{drop * h * w, 0, 0},
                         {1, 2},
                         {-rate, rate},
                         {Vec3{-p0 * h * w, 0, 0}, Vec3{(p0 - drop) * h * w, 0, 0}},
                         1e-10});
    }
    {
        // The pipe's Poiseuille field w = G / (4 mu) (R^2 - r^2) along z in a quarter annulus of the
        // pipe (curved elements): the shear on the inner and outer walls together is the pressure
        // drop times the section, and each end passes G pi / (8 mu) (R^2 r^2 - r^4 / 2) / 4
        // between r = 2 and R.
        const double a = 2, b = 5, length = 10, g = 0.02, mu = 1e-3;
        const double section = pi / 4 * (b * b - a * a);
        const auto primitive = [&](double r) { return b * b * r * r / 2 - r * r * r * r / 4; };
        const double rate = g / (4 * mu) * (primitive(b) - primitive(a)) * pi / 2;
        cases.push_back({"pipe Poiseuille flow on curved elements",
                         quarterAnnulus,
                         [=](const Vec3& x) {
                             return Vec3{0, 0, g / (4 * mu) * (b * b - x.x * x.x - x.y * x.y)};
                         },
                         [=](const Vec3& x) { return g * (length - x.z); },
                         mu,
                         {},
                         {1, 2},
                         Vec3{0, 0, g * length * section},
                         {5, 6},
                         {-rate, rate},
                         {Vec3{0, 0, -g * length * section}, Vec3{}},
                         2e-3});
    }
    {
        // A uniform flow U along z through the curved annulus: U times the section at each end,
        // nothing through the walls.
        const double u = 3, section = std::numbers::pi / 4 * (25 - 4);
        cases.push_back({"uniform flow through curved faces",
                         quarterAnnulus,
                         [=](const Vec3&) {
                             return Vec3{0, 0, u};
                         },
                         [](const Vec3&) { return 0.0; },
                         1,
                         [](const Vec3&) { return Vec3{}; },
                         {},
                         Vec3{},
                         {5, 6, 1, 2},
                         {-u * section, u * section, 0, 0},
                         {Vec3{}, Vec3{}, Vec3{}, Vec3{}},
                         1e-4});
    }
    return cases;
}

TEST(FlowReport, VorticityForcesAndFlowRatesOfFieldsWithKnownIntegrals) {
    for (const FlowCase& c : flowCases()) {
        SCOPED_TRACE(c.name);
        const Fields f = sample(c.mesh, c.velocity, c.pressure, c.mu);
        const ModelGeometry geometry(c.mesh, ResultPreamble{});
        std::vector<Vec3> forces = c.openingPressForce;
        forces.push_back(c.wallViscousForce);
        const double forceTolerance = c.relative * largestOfKind(forces, {});
        const double rateTolerance = c.relative * largestOfKind({}, c.flowRates);

        if (c.vorticity) {
            const std::vector<double> w = nodalVorticity(c.mesh, f.velocity);
            ASSERT_EQ(w.size(), 3u * c.mesh.nodeCount());
            for (int n = 0; n < c.mesh.nodeCount(); ++n)
                expectVector({w[3 * n], w[3 * n + 1], w[3 * n + 2]}, c.vorticity(c.mesh.node(n)),
                             1e-9 * largestOfKind(forces, c.flowRates),
                             "vorticity at node " + std::to_string(n));
        }
        Vec3 viscous;
        for (const FaceFlow& wall : faceFlows(geometry, c.walls, f.velocity, f.pressure, f.viscosity))
            viscous = viscous + wall.viscousForce;
        expectVector(viscous, c.wallViscousForce, forceTolerance, "viscous force on the walls");

        const std::vector<FaceFlow> openings =
            faceFlows(geometry, c.openings, f.velocity, f.pressure, f.viscosity);
        ASSERT_EQ(openings.size(), c.openings.size());
        double net = 0;
        for (std::size_t k = 0; k < openings.size(); ++k) {
            EXPECT_EQ(openings[k].face, c.openings[k]);
            net += openings[k].flowRate;
            if (k < c.flowRates.size()) {
                EXPECT_NEAR(openings[k].flowRate, c.flowRates[k], rateTolerance) << "face " << c.openings[k];
            }
            if (k < c.openingPressForce.size()) {
                expectVector(openings[k].pressureForce, c.openingPressForce[k], forceTolerance,
                             "pressure force on face " + std::to_string(c.openings[k]));
            }
        }
        EXPECT_NEAR(net, 0.0, rateTolerance) << "what flows in flows out";
        EXPECT_NEAR(massBalance(openings).imbalance, 0.0, c.relative * 10);
    }
}

// The log's words follow the sign of the flow, and the balance is that of the openings; a field
// that does not fit the mesh is refused.
TEST(FlowReport, TableSaysInAndOutAndBalancesTheOpenings) {
    const std::vector<FaceFlow> walls{{3, {1, 2, 3}, {0.5, 0, 0}, 0}};
    const std::vector<FaceFlow> openings{{1, {}, {}, -4}, {2, {}, {}, 3}, {7, {}, {}, 0.5}};
    const std::vector<std::string> lines = flowReportTable(walls, openings, unitSystemFor("mm"));
    const std::vector<std::string> expected{"force of the fluid on the walls (N, x y z):",
                                            "  face 3: pressure 1 2 3, viscous 0.5 0 0, total 1.5 2 3",
                                            "flow rate through the openings (mm3/s):",
                                            "  face 1: 4 in",
                                            "  face 2: 3 out",
                                            "  face 7: 0.5 out",
                                            "  in 4, out 3.5, (in - out) / in = 0.125"};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(flowReportTable({}, {{2, {}, {}, 1}}, unitSystemFor("in")).back(),
              "  in 0, out 1: nothing flows in");
    // A closed cavity's sliding lid carries round-off across it, not a flow to balance.
    EXPECT_EQ(flowReportTable({}, {{4, {}, {}, -2e-14, 500}}, unitSystemFor("mm")).back(),
              "  in 0, out 0: nothing flows in");

    const FeMesh mesh = makeBoxMesh({{}, {1, 1, 1}, 1, 1, 1, true});
    const ModelGeometry geometry(mesh, ResultPreamble{});
    const Fields f = sample(
        mesh, [](const Vec3&) { return Vec3{}; }, [](const Vec3&) { return 0.0; }, 1);
    EXPECT_THROW(faceFlows(geometry, {1}, f.velocity, f.pressure, {}), std::runtime_error);
    EXPECT_THROW(faceFlows(geometry, {9}, f.velocity, f.pressure, f.viscosity), std::runtime_error);
}

}  // namespace
}  // namespace tarvsolv::testing
