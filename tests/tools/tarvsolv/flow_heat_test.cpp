// A flow that carries heat (header code 10): the energy element's Newton Jacobian against
// difference quotients, a fluid at rest conducting as the heat solver's solid does and heated
// evenly in time, natural convection in a square cavity against de Vahl Davis (1983), and a solid
// body with a fluid on it (conjugate heat transfer): conduction in series through both, and a
// heated slab cooled by a channel flow.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "difference_quotients.h"
#include "fem/flow_heat_element.h"
#include "formats/companion_file.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

// A flow with heat: the flow's loads and walls, then the thermal sections.
JobText flowHeatJob(std::string material, std::vector<std::string> loads, std::vector<std::string> walls,
                    std::vector<std::string> thermalLoads, std::vector<std::string> temperatures,
                    std::string solve = "0,0,0,0,0") {
    JobText text = clampedSteel(std::move(loads), 10, std::move(solve));
    text.materials = {std::move(material)};
    text.restraints = std::move(walls);
    text.thermalLoads = std::move(thermalLoads);
    text.thermalRestraints = std::move(temperatures);
    return text;
}

const std::vector<std::string> kAllWalls = {"bor 1 0 0 0", "bor 2 0 0 0", "bor 3 0 0 0",
                                            "bor 4 0 0 0", "bor 5 0 0 0", "bor 6 0 0 0"};

TEST(FlowHeatElement, JacobianIsTheDerivativeOfTheResidual) {
    const FeMesh mesh = bentQuadraticTetrahedron();
    const auto [state, history, gravity] = flowElementPoint(kFlowHeatElementDofs, 10);
    const std::function<double(const Vec3&)> heat = [](const Vec3& x) { return 3 + x.x * x.y; };
    // Conduction-dominated (no streamline term), and advection-dominated part way to the full
    // density and in a time step (the streamline term and its parameter's dependence on the speed).
    for (const FlowHeatCoefficients c :
         {FlowHeatCoefficients{1.5, 2, 10, 0.3, 1, 1, 0}, FlowHeatCoefficients{1.5, 2, 0.01, 0.3, 1, 0.6, 0},
          FlowHeatCoefficients{2, 1, 0.02, 0.1, -2, 1, 40}}) {
        SCOPED_TRACE("conductivity " + std::to_string(c.conductivity) + ", time factor " +
                     std::to_string(c.timeFactor));
        std::vector<double> residual, jacobian;
        flowHeatElement(mesh, 0, c, state, history, &gravity, &heat, residual, &jacobian);
        expectDerivativeOf(
            jacobian,
            [&](const std::vector<double>& x) {
                std::vector<double> r;
                flowHeatElement(mesh, 0, c, x, history, &gravity, &heat, r, nullptr);
                return r;
            },
            state, 1e-6, 1e-6);
    }
}

// A fluid held still by walls all round, without gravity, conducts as a solid of its constants:
// two faces held at 100 and 20, a heat flux on face 3, convection on face 4 and internal heat give
// the heat solver's temperatures and heat flows. Heated evenly with nothing on its faces, it warms
// as T0 + Q t / (rho c) (linear in time: exact in the time steps), from the initial temperature of
// solve row 6.
TEST(FlowHeat, AFluidAtRestConductsAsTheHeatSolverSaysAndWarmsEvenlyInTime) {
    SolverJob job("still", makeBoxMesh({{}, {2, 1, 1}, 4, 2, 2, true}));
    const std::vector<std::string> loads = {"bol 3 0 0.5", "bol 4 2 3, 40", "al 7"},
                                   held = {"bor 1 temp 100", "bor 2 temp 20"};
    JobText solid = heatJob(loads);
    solid.materials = {"1  0.6,0,0,1e-06,4180"};
    solid.restraints = held;
    ASSERT_EQ(job.solve(solid, SolverChoice::Direct), "");
    const std::vector<double> conduction = job.nodeBlock("TEMP 1");
    const HeatBalance solidBalance = job.heatBalance();
    const std::string fluid = "1  1e-06,1e-09,0.6,4180,0.0002";
    ASSERT_EQ(job.solve(flowHeatJob(fluid, {}, kAllWalls, loads, held), SolverChoice::Direct), "");
    EXPECT_LT(largestDifference(job.nodeBlock("TEMP 1"), conduction), 1e-9 * largestMagnitude(conduction));
    EXPECT_LT(largestMagnitude(job.nodeBlock("VELO 1")), 1e-12);
    const HeatBalance balance = job.heatBalance();
    EXPECT_NEAR(balance.in, solidBalance.in, 1e-9 * solidBalance.in);
    EXPECT_NEAR(balance.out, solidBalance.out, 1e-9 * solidBalance.out);
    EXPECT_NEAR(balance.in, balance.out, 1e-9 * balance.in);
    // Four steps of 0.5 s from 15 degrees, each printed.
    ASSERT_EQ(
        job.solve(flowHeatJob(fluid, {}, kAllWalls, {"al 7"}, {}, "0,4,0.5,1,15"), SolverChoice::Direct), "");
    const double capacity = 1e-6 * 4180;
    for (int step = 1; step <= 4; ++step) {
        const std::vector<double> t = job.nodeBlock("TEMP " + std::to_string(step));
        ASSERT_EQ(t.size(), static_cast<std::size_t>(job.mesh().nodeCount()));
        const double expected = 15 + 7 * 0.5 * step / capacity;
        for (double v : t) EXPECT_NEAR(v, expected, 1e-9 * expected) << "step " << step;
    }
    // A steady run needs something to fix the temperature level.
    EXPECT_THAT(job.refused(flowHeatJob(fluid, {}, kAllWalls, {"al 7"}, {})),
                HasSubstr("nothing fixes the temperature level"));
}

// The relative imbalance of the log's last heat balance.
double imbalance(const std::string& log) {
    return loggedNumber(log, "they balance to ", true);
}

// The square cavity of side 1 m as a slab one cell thick between slip walls, the side x = 0 held
// at 1 and x = 1 at 0, top and bottom adiabatic, in a fluid of unit density, heat capacity,
// conductivity and expansion with viscosity 0.71 (Pr 0.71, thermal diffusivity 1): gravity
// Ra Pr along -y gives the Rayleigh number Ra. The hot wall's mean Nusselt number against de Vahl
// Davis's benchmark solution, within 2 %; the cold wall gives the same heat back.
JobText cavity(double rayleigh) {
    char gravity[64];
    std::snprintf(gravity, sizeof gravity, "al 0, %g, 0", -0.71 * rayleigh);
    JobText text = flowHeatJob(
        "1  1,0.71,1,1,1", {gravity},
        {"bor 1 0 0 0", "bor 2 0 0 0", "bor 3 0 0 0", "bor 4 0 0 0", "bor 5 1 1 0", "bor 6 1 1 0"}, {},
        {"bor 1 temp 1", "bor 2 temp 0"}, "0,0,0,0,0.5,1e-8");
    text.unit = "m";
    return text;
}

double nusselt(const std::string& log, int face) {
    return loggedNumber(log, "mean Nusselt number of face " + std::to_string(face) + ": ", true);
}

// At Ra 1e3 the iterative solver's field split, with the temperatures in the velocities' block,
// finds the direct solver's temperatures, and the continuity's share of the heat closes the balance
// to Newton's residual. Ra 1e3 to 1e5 against the benchmark through the add-on: natconv.run.
TEST(FlowHeat, NaturalConvectionInASquareCavityMatchesTheBenchmarkNusseltNumbers) {
    SolverJob job("cavity", makeBoxMesh({{}, {1, 1, 1.0 / 8}, 8, 8, 1, true}));
    EXPECT_LT(solveBothWays(job, cavity(1e3), "TEMP 1").relativeDifference, 1e-6);
    const std::string log = job.logText();
    EXPECT_NEAR(nusselt(log, 1), 1.118, 0.02 * 1.118);
    EXPECT_NEAR(nusselt(log, 2), nusselt(log, 1), 1e-3 * 1.118);
    const HeatBalance balance = job.heatBalance();
    EXPECT_NEAR(balance.in, balance.out, 1e-6 * balance.in);
    EXPECT_LT(imbalance(log), 1e-6);
}

// A box split at a plane of cells into a solid (body 1) and a fluid (body 2) meshed together, with
// the mesher's companion giving each body its elements; the result file lists both bodies.
void writeTwoBodies(SolverJob& job, const BoxSpec& box) {
    const FeMesh mesh = makeBoxMesh(box);
    job.writeMesh(mesh);
    std::FILE* file = std::fopen(formats::companionPathFor(job.meshPath()).c_str(), "w");
    ASSERT_TRUE(file && formats::writeCompanionFile(file, boxCompanion(box, mesh)));
    std::fclose(file);
}

JobText twoBodies(JobText text) {
    text.bodies = "BODIES 2\n 1 6 12 8\n 2 12 24 16\nEND\n";
    text.unit = "m";
    return text;
}

// The heat of the log's line on the faces bodies 1 and 2 share.
double sharedHeat(const std::string& log) {
    return loggedNumber(log, "heat through the faces shared by body 1 and body 2 (faces 6/11): ", true);
}

// A solid slab (k 2, 0.4 thick) under a layer of fluid held still by walls (k 0.5, 0.6 thick),
// 100 degrees under the slab and 0 over the fluid: the heat passes the two in series,
// q = 100 / (0.4 / 2 + 0.6 / 0.5) per area, and the temperature is linear in each, which the
// quadratic elements hold exactly: the shared face at 100 - 0.2 q. In time from 0 degrees the heat
// stored closes the balance of every step. A fluid's walls on its faces, nothing on the solid's.
TEST(ConjugateHeat, ConductionInSeriesThroughASolidAndAStillFluidIsExact) {
    SolverJob job("series");
    const BoxSpec box{{}, {1, 0.25, 1}, 2, 1, 5, true, 2, 2};
    writeTwoBodies(job, box);
    JobText text = twoBodies(flowHeatJob(
        "1  3,0,2,1.5,0", {}, {"bor 7 0 0 0", "bor 8 0 0 0", "bor 9 0 0 0", "bor 10 0 0 0", "bor 12 0 0 0"},
        {}, {"bor 5 temp 100", "bor 12 temp 0"}));
    text.materials.push_back("2  1,0.1,0.5,2,0.001");
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    const double q = 100 / (0.4 / 2 + 0.6 / 0.5), area = 0.25;
    const std::vector<double> t = job.nodeBlock("TEMP 1"), flux = job.nodeBlock("FLUX 1");
    ASSERT_EQ(t.size(), static_cast<std::size_t>(job.mesh().nodeCount()));
    ASSERT_EQ(flux.size(), 3 * t.size());
    for (int n = 0; n < job.mesh().nodeCount(); ++n) {
        const double z = job.mesh().node(n).z;
        EXPECT_NEAR(t[n], z <= 0.4 ? 100 - q * z / 2 : q * (1 - z) / 0.5, 1e-9 * 100) << "z " << z;
        EXPECT_NEAR(flux[3 * n + 2], q, 1e-9 * q) << "z " << z;
    }
    EXPECT_LT(largestMagnitude(job.nodeBlock("VELO 1")), 1e-12);
    const std::string log = job.logText();
    EXPECT_THAT(log, HasSubstr("body 1: solid (conducts heat only)"));
    EXPECT_THAT(log, HasSubstr("body 2: fluid"));
    EXPECT_NEAR(sharedHeat(log), q * area, 1e-5 * q * area);  // the log's six digits
    EXPECT_NEAR(heldHeat(job, "temperature held on face 5"), q * area, 1e-5 * q * area);
    EXPECT_LT(imbalance(log), 1e-9);
    // Without the walls the solid alone bounds the fluid (its other faces are then free outlets);
    // with nothing to drive it, it stays still and conducts alike.
    JobText open = text;
    open.restraints.clear();
    ASSERT_EQ(job.solve(open, SolverChoice::Direct), "");
    EXPECT_LT(largestDifference(job.nodeBlock("TEMP 1"), t), 1e-9 * 100);
    // From 0 degrees, held faces at their values from the start: a balance with the heat stored.
    text.solve = "0,3,0.05,1,0";
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    const std::string transient = job.logText();
    EXPECT_GT(loggedNumber(transient, "rate of heat stored (rho c dT/dt): ", true), 0.1 * q * area);
    EXPECT_LT(imbalance(transient), 1e-9);
    EXPECT_GT(sharedHeat(transient), q * area);  // the fluid still warms: more than the steady heat
    // Nothing flows in a solid: a velocity on its face is refused, not left without effect.
    text.loads = {"bol 1 3 1, 0, 0"};
    EXPECT_THAT(job.refused(text, SolverChoice::Direct), HasSubstr("face 1 is a face of a solid body"));
}

// A solid slab 0.25 thick (body 1, k 1) heated by 1 per area on its bottom, 2 long, under a
// fluid layer 0.5 high (body 2, Re and Pe 25 on its height) that water of 0 degrees enters through
// the top with the speed x (2 - x) downward and leaves at both ends through free faces; slip walls
// front and back (a two-dimensional flow), the solid's other faces insulated. The inlet is held
// off the solid, so the solid's temperature is smooth. At Newton's round-off the heat balance
// closes to round-off, all the heat put in passes the shared face, and the solid's peak
// temperature converges as the mesh is refined: 8.2774, 7.7595, 7.7296 on 8 x 3, 16 x 6 and
// 32 x 12 cells, 7.7102 on 64 x 24 (run by hand, 48 s): the differences 0.52, 0.030, 0.019 shrink,
// the last ones slowly (the peak lies at the ends, where the free outlets meet the solid's face).
struct ChannelRun {
    double peak = 0, imbalance = 0, shared = 0;
};

ChannelRun conjugateChannel(int cells, bool bothSolvers) {
    SolverJob job("impinging");
    writeTwoBodies(job, {{}, {2, 0.25, 0.75}, 8 * cells, 1, 3 * cells, true, 2, cells});
    JobText text =
        twoBodies(flowHeatJob("1  1,0,1,1,0", {"bol 12 3 0, 0, -x*(2-x)"}, {"bor 9 1 0 1", "bor 10 1 0 1"},
                              {"bol 5 0 1"}, {"bor 12 temp 0"}, "0,0,0,0,0,1e-10"));
    text.materials.push_back("2  1,0.02,0.02,1,0");
    if (bothSolvers)  // the field split holds the solid's unknowns as the factorisation does
        EXPECT_LT(solveBothWays(job, text, "TEMP 1").relativeDifference, 1e-6);
    else
        EXPECT_EQ(job.solve(text, SolverChoice::Direct), "");
    ChannelRun run;
    const std::vector<double> t = job.nodeBlock("TEMP 1"), u = job.nodeBlock("VELO 1");
    for (int n : nodesWhere(job.mesh(), [](const Vec3& p) { return p.z <= 0.25 + 1e-9; })) {
        run.peak = std::max(run.peak, t[n]);
        EXPECT_LT(std::hypot(u[3 * n], u[3 * n + 1], u[3 * n + 2]), 1e-15);
    }
    run.imbalance = imbalance(job.logText());
    run.shared = sharedHeat(job.logText());
    EXPECT_THAT(job.logText(), ::testing::Not(HasSubstr("Nusselt number of face 12")))
        << "the inlet is no wall";
    return run;
}

TEST(ConjugateHeat, AHeatedSlabCooledByAFlowBalancesItsHeatAndConverges) {
    std::vector<double> peaks;
    for (int cells : {1, 2, 4}) {
        SCOPED_TRACE(std::to_string(cells) + " cells through the solid");
        const ChannelRun r = conjugateChannel(cells, cells == 1);
        EXPECT_LT(r.imbalance, 1e-12);
        EXPECT_NEAR(r.shared, 0.5 * 1, 1e-6);  // the heat flux over the bottom, 2 x 0.25
        peaks.push_back(r.peak);
    }
    EXPECT_LT(std::abs(peaks[2] - peaks[1]), 0.1 * std::abs(peaks[1] - peaks[0]));
    EXPECT_NEAR(peaks[2], 7.7102, 0.005 * 7.7102);  // the 64 x 24 cells' peak
}

}  // namespace
}  // namespace tarvsolv::testing
