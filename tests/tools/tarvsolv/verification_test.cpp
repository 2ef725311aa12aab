// Whole solver runs on structured meshes against closed-form solutions: a cantilever's loads
// (beam theory with shear), slabs with heat flux, held temperatures and convection (1-D
// conduction), natural frequencies at temperature, free thermal expansion, gravity, spin, and the
// agreement of the iterative and direct solvers. The end-to-end runs check the cantilever's
// bending, its natural frequencies, the thick cylinder and the orthotropic bar through the
// add-on.
#include <gtest/gtest.h>

#include <cmath>

#include "closed_forms.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new PetscEnvironment);

constexpr double kRho = 7.85e-6;  // kg/mm3

struct Cantilever {
    double length = 100, width = 10, height = 10;
    FeMesh mesh(int nx, int ny, int nz, bool quadratic = true) const {
        return makeBoxMesh({{}, {length, width, height}, nx, ny, nz, quadratic});
    }
    double inertia() const { return width * height * height * height / 12; }
    double area() const { return width * height; }
    double tipDeflection(double force) const {
        return force * tipCompliance(length, width, height, kSteelE, kSteelNu);
    }
};

// Mean vertical displacement of the free end of `beam`, solved in `job`.
double tipDisplacement(const SolverJob& job, const Cantilever& beam) {
    return meanAtX(job.nodeBlock("DISP 1"), job.mesh(), beam.length, 3, 2);
}

// A tip load of 100 N as a distributed load on the free end, clamped root.
JobText tipLoadJob() {
    return clampedSteel({"bol 2 0 0, 0, -1"});  // 1 N/mm2 over 10 x 10 mm
}

// The same 100 N at the tip as a load per length on the top edge of the end face, and as four
// point forces at the end's corners: the beam bends as much (local effects aside), and the log's
// reaction of the clamped end carries the 100 N, balancing the loads.
TEST(Verification, EdgeLoadsAndPointForcesCarryTheirTotalForce) {
    const Cantilever beam;
    const double expected = beam.tipDeflection(100);
    for (const std::vector<std::string>& loads :
         {std::vector<std::string>{"efl 2 6 0 0, 0, -10"},
          std::vector<std::string>{"pxf 100,0,0 0, 0, -25", "pxf 100,10,0 0,0,-25", "pxf 100,0,10 0, 0, -25",
                                   "pxf 100,10,10 0, 0, -25"}}) {
        SolverJob job("tipforms", beam.mesh(40, 4, 4));
        JobText text = tipLoadJob();
        text.loads = loads;
        ASSERT_EQ(job.solve(text), "");
        const auto u = job.nodeBlock("DISP 1");
        const double halfway = 100 * std::pow(beam.length / 2, 2) * (3 * beam.length - beam.length / 2) /
                               (6 * kSteelE * beam.inertia());
        EXPECT_NEAR(meanAtX(u, job.mesh(), beam.length / 2, 3, 2), -halfway, 0.03 * halfway) << loads.front();
        EXPECT_NEAR(tipDisplacement(job, beam), -expected, 0.03 * expected) << loads.front();
        EXPECT_LT(largestDifference(job.logTriple("restraint on face 1"), {0, 0, 100}), 1e-6 * 100)
            << job.logText();
        // About the centroid (L / 2 from the root) the clamp's couple F L and its force's moment
        // F L / 2 leave -F L / 2 about Y.
        EXPECT_LT(largestDifference(job.logTriple("restraint on face 1", 1), {0, -100 * beam.length / 2, 0}),
                  1e-6 * 100 * beam.length);
        EXPECT_NEAR(job.logTriple("sum of the applied loads")[2], -100, 1e-9 * 100);
        EXPECT_EQ(job.logText().find("do not balance"), std::string::npos);
    }
}

TEST(Verification, IterativeAndDirectSolversAgree) {
    const Cantilever beam;
    SolverJob job("agree", beam.mesh(20, 3, 3));
    const SolverAgreement both = solveBothWays(job, tipLoadJob());
    EXPECT_GT(both.largest, 0.1);
    EXPECT_LT(both.relativeDifference, 1e-6);

    // The tolerance after the solve rows is the iterative solver's stopping test: the looser, the
    // fewer iterations, the further from the direct answer; below its floor it is the floor.
    const auto iterations = [&](const std::string& tolerance) {
        JobText text = tipLoadJob();
        text.solve = "0,0,0,0,0," + tolerance;
        EXPECT_EQ(job.solve(text, SolverChoice::Iterative), "");
        const std::string log = job.logText(), key = " iterations";
        const auto at = log.find(key, log.find("solved by"));
        const auto begin = log.rfind(' ', at - 1) + 1;
        return at == std::string::npos ? -1 : std::stoi(log.substr(begin, at - begin));
    };
    const int loose = iterations("1e-3"), tight = iterations("1e-11");
    EXPECT_GT(loose, 0);
    EXPECT_LT(loose, tight);
    EXPECT_EQ(iterations("1e-20"), iterations("1e-12"));
    JobText loosely = tipLoadJob();
    loosely.solve = "0,0,0,0,0,1e-3";
    EXPECT_GT(solveBothWays(job, loosely).relativeDifference, 10 * both.relativeDifference);
}

TEST(Verification, GravityOnACantileverMatchesUniformLoadBeamTheory) {
    const Cantilever beam;
    SolverJob job("gravity", beam.mesh(40, 4, 4));
    ASSERT_EQ(job.solve(clampedSteel({"al 0, 0, -9810"})), "");  // m/s2: a thousand g
    const double w = kRho * 9810 * beam.area();                  // N per mm
    const double g = kSteelE / (2 * (1 + kSteelNu));
    const double expected = w * std::pow(beam.length, 4) / (8 * kSteelE * beam.inertia()) +
                            w * beam.length * beam.length / (2 * 5.0 / 6 * g * beam.area());
    EXPECT_NEAR(tipDisplacement(job, beam), -expected, 0.02 * expected);
}

TEST(Verification, NaturalFrequenciesTakeTheModulusOfTheLoadedOrInitialTemperature) {
    // E falls to a quarter from 0 to 100 C, so at 100 C every frequency halves: f ~ sqrt(E).
    SolverJob job("warm modes", shortBeam());
    JobText text = clampedSteel({}, 3);
    const auto firstFrequency = [&](const std::string& solve) {
        text.solve = solve;
        EXPECT_EQ(job.solve(text, SolverChoice::Direct), "");
        return job.modeFrequencies().at(0);
    };
    const double cold = firstFrequency("1,0,0,0,0");
    text.tables = {"tabm0, 2, 0, 100, 210000, 52500"};
    text.materials = {"1  tabm0,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0"};
    // Without a temperature load, at the initial temperature of row 3.
    EXPECT_NEAR(firstFrequency("1,100,0,0,0"), cold / 2, 1e-6 * cold);
    EXPECT_NEAR(firstFrequency("1,0,0,0,0"), cold, 1e-6 * cold);
    // A transient result's last step (100 C) is the one loaded, and the log names it.
    text.loads = {"t " + job.writeTemperatures("heated.out", {{1, 0}, {7, 100}})};
    EXPECT_NEAR(firstFrequency("1,0,0,0,0"), cold / 2, 1e-6 * cold);
    EXPECT_THAT(job.logText(), HasSubstr("temperatures: TEMP 7, the last of the file's 2"));
}

// A 20 mm slab cooled on its far face (h = 0.002, fluid at 20) and either heated by a flux q
// through its near face, T(x) = Tf + q / h + q (L - x) / k, or by internal heat Q and insulated
// there, T(x) = Tf + Q L / h + Q (L^2 - x^2) / (2 k). The same flux as four point heats at the
// near face's corners gives the flux's profile away from them (two widths in, within 1e-4).
TEST(Verification, SlabsMatchOneDimensionalConduction) {
    const double thickness = 20, k = 0.05, h = 0.002, fluid = 20;
    struct Case {
        const char* name;
        std::vector<std::string> loads;
        double q;
        bool internal;
        bool points = false;
    };
    const std::vector<std::string> cornerHeats = {"pxf 0,0,0 0.0625", "pxf 0,5,0 0.0625", "pxf 0,0,5 0.0625",
                                                  "pxf 0,5,5 0.0625"};
    for (const Case& c :
         {Case{"flux", {"bol 1 0 0.01"}, 0.01, false}, Case{"internal heat", {"al 1e-3"}, 1e-3, true},
          Case{"point heats", cornerHeats, 0.01, false, true}}) {
        SCOPED_TRACE(c.name);
        SolverJob job("slab", makeBoxMesh({{}, {thickness, 5, 5}, 8, 2, 2, true}));
        JobText text = heatJob(c.loads);
        text.loads.push_back("bol 2 2 0.002, 20");
        ASSERT_EQ(job.solve(text), "");
        const auto t = job.nodeBlock("TEMP 1");
        ASSERT_EQ(t.size(), static_cast<std::size_t>(job.mesh().nodeCount()));
        for (double x : c.points ? std::vector<double>{10.0, thickness}
                                 : std::vector<double>{0.0, 5.0, 10.0, thickness}) {
            const double expected =
                c.internal ? fluid + c.q * thickness / h + c.q * (thickness * thickness - x * x) / (2 * k)
                           : fluid + c.q / h + c.q * (thickness - x) / k;
            EXPECT_NEAR(meanAtX(t, job.mesh(), x), expected, (c.points ? 1e-4 : 0.005) * expected)
                << "x = " << x;
        }
        // The log's heat balance: the heat put in (flux times area, heat times volume, or the sum of
        // the point heats) leaves through the convection face.
        const HeatBalance balance = job.heatBalance();
        const double heat = c.q * 25 * (c.internal ? thickness : 1);
        EXPECT_NEAR(balance.in, heat, 1e-9 * heat) << job.logText();
        EXPECT_NEAR(balance.out, heat, 1e-6 * heat);
    }
}

// A 20 mm slab held at 100 on its near face and either held at 20 on its far face (a formula) or
// cooled there by a fluid at 20 through h = 0.002, its near face's 100 from a time table at the
// static step's t = 1: the linear profile, which the elements reproduce exactly (1e-6), with the
// heat q = 80 / (L / k) or 80 / (L / k + 1 / h) per area through it, in at the near face. The heat
// flux block holds that q along x at every node, exact in the elements (1e-9); the held slab's material
// conducts better across it (ky, kz), which must not show in the flux along it.
TEST(Verification, SlabsHeldAtTemperaturesCarryTheHeatOfTheirLinearProfile) {
    const double thickness = 20, k = 0.05, h = 0.002, area = 25;
    struct Case {
        const char* name;
        const char* material;
        std::vector<std::string> restraints, loads;
        double resistance;
    };
    for (const Case& c : {Case{"both faces held",
                               "1  0.05,0.2,0.3,7.85e-06,460",
                               {"bor 1 temp 100", "bor 2 temp 10*2"},
                               {},
                               thickness / k},
                          Case{"held and cooled",
                               kHeatSteel,
                               {"bor 1 temp tabl1"},
                               {"bol 2 2 0.002, 20"},
                               thickness / k + 1 / h}}) {
        SCOPED_TRACE(c.name);
        SolverJob job("held", makeBoxMesh({{}, {thickness, 5, 5}, 4, 1, 1, true}));
        JobText text = heatJob(c.loads);
        text.materials = {c.material};
        text.tables = {"tabl1, 2, 0, 2, 0, 200"};
        text.restraints = c.restraints;
        // The direct solver: the flux is held to 1e-9, below an iterative solve's tolerance.
        ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
        const double q = 80 / c.resistance;
        const auto t = job.nodeBlock("TEMP 1");
        for (double x : {0.0, 5.0, 10.0, thickness}) {
            EXPECT_NEAR(meanAtX(t, job.mesh(), x), 100 - q * x / k, 1e-6 * 100) << "x = " << x;
        }
        const auto flux = job.nodeBlock("FLUX 1");
        ASSERT_EQ(flux.size(), 3u * job.mesh().nodeCount());
        for (std::size_t n = 0; n < flux.size(); n += 3) {
            ASSERT_NEAR(flux[n], q, 1e-9 * q) << "node " << n / 3 + 1;
            ASSERT_NEAR(std::hypot(flux[n + 1], flux[n + 2]), 0, 1e-9 * q) << "node " << n / 3 + 1;
        }
        // The log writes six figures.
        EXPECT_NEAR(heldHeat(job, "temperature held on face 1"), q * area, 1e-5 * q * area) << job.logText();
        if (c.loads.empty()) {
            EXPECT_NEAR(heldHeat(job, "temperature held on face 2"), -q * area, 1e-5 * q * area);
        }
        EXPECT_THAT(job.logText(), HasSubstr("they balance to"));
        EXPECT_EQ(job.logText().find("does not balance"), std::string::npos) << job.logText();
    }
}

// The flux-heated slab with k(T) = k0 (1 + b T): the Kirchhoff transform theta = T + b T^2 / 2 is
// linear through the slab, theta(x) = theta(TL) + q (L - x) / k0 with TL = Tf + q / h at the
// cooled face. Linear and quadratic elements, both solvers agreeing.
TEST(Verification, SlabWithTemperatureDependentConductivityMatchesTheKirchhoffProfile) {
    const double thickness = 20, fluid = 20;
    const auto exact = [&](double x) { return kirchhoffSlab(x, thickness, 0.05, 0.01, 0.01, 0.002, fluid); };
    for (bool quadratic : {false, true}) {
        SCOPED_TRACE(quadratic ? "quadratic" : "linear");
        SolverJob job("kslab", makeBoxMesh({{}, {thickness, 5, 5}, 16, 2, 2, quadratic}));
        JobText text = heatJob({"bol 1 0 0.01", "bol 2 2 0.002, 20"});
        text.materials = {"1  0.05*(1+0.01*T),0,0,7.85e-09,460"};
        EXPECT_LT(solveBothWays(job, text, "TEMP 1").relativeDifference, 1e-6);
        const auto t = job.nodeBlock("TEMP 1");
        for (double x : {0.0, 10.0, thickness}) {
            // Within 1 % of the rise above the fluid; a constant k0 would miss it by a tenth.
            EXPECT_NEAR(meanAtX(t, job.mesh(), x), exact(x), 0.01 * (exact(x) - fluid)) << "x = " << x;
        }
    }
}

// A bar spun about an axis through its root: the axial stress rho w^2 (L^2 - x^2) / 2.
TEST(Verification, SpinningBarCarriesTheCentrifugalAxialStress) {
    const Cantilever bar;
    SolverJob job("spin", bar.mesh(20, 2, 2));
    JobText text = clampedSteel({"cx 0,0,0 0 0 1 1000"});  // about z through the origin, 1000 rad/s
    text.restraints = {"bor 1 0 1 1", "bor 3 1 0 1", "bor 5 1 1 0"};
    ASSERT_EQ(job.solve(text), "");
    const double rho = kRho * 1e-3;  // N s2 / mm4
    const auto sx = job.nodalStress(0);
    for (double x : {25.0, 50.0, 75.0}) {
        const double expected = rho * 1e6 * (bar.length * bar.length - x * x) / 2;
        EXPECT_NEAR(meanAtX(sx, job.mesh(), x), expected, 0.02 * expected) << "x = " << x;
    }
}

// A block on rollers (normal displacements of 0 on three sides), rotated so that the rollers
// are not along the axes, heated uniformly from another loadcase's temperatures: it expands
// freely, without stress.
TEST(Verification, FreeThermalExpansionOnInclinedRollersIsStressFree) {
    FeMesh mesh = makeBoxMesh({{}, {10, 6, 4}, 4, 2, 2, true});
    const double c = std::cos(0.5), s = std::sin(0.5);
    mapNodes(mesh, [&](const Vec3& p) { return Vec3{c * p.x - s * p.y, s * p.x + c * p.y, p.z}; });
    SolverJob job("expansion", mesh);
    JobText text = clampedSteel({"t " + job.writeTemperatures("hot.out", {{1, 120}})}, 0,
                                "20,0,0,0,0");  // initial temperature 20
    text.restraints.clear();
    text.constraints = {"bocn 1 0", "bocn 3 0", "boc 5 0,0,-2,0"};  // the last: no motion along -z
    ASSERT_EQ(job.solve(text), "");
    const auto u = job.nodeBlock("DISP 1");
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const Vec3 p = mesh.node(n);
        for (int a = 0; a < 3; ++a) EXPECT_NEAR(u[3 * n + a], 1.2e-5 * 100 * p[a], 1e-9) << "node " << n + 1;
    }
    for (int component = 0; component < 6; ++component)
        for (double v : job.nodalStress(component)) {
            if (std::isnan(v)) continue;
            EXPECT_NEAR(v, 0.0, 1e-4);  // against E alpha dT = 252
        }
}

}  // namespace
}  // namespace tarvsolv::testing
