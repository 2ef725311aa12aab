// A flow that carries heat (header code 10): the energy element's Newton Jacobian against
// difference quotients, a fluid at rest conducting as the heat solver's solid does and heated
// evenly in time, and natural convection in a square cavity against de Vahl Davis (1983).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "difference_quotients.h"
#include "fem/flow_heat_element.h"
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
    std::vector<double> state(kFlowHeatElementDofs), history(10);
    for (int k = 0; k < kFlowHeatElementDofs; ++k) state[k] = std::sin(1.3 * k + 0.4) * (k < 30 ? 2.0 : 5.0);
    for (int k = 0; k < 10; ++k) history[k] = std::cos(0.7 * k);
    const std::function<Vec3(const Vec3&)> gravity = [](const Vec3& x) {
        return Vec3{x.y, -9.81, x.x * x.z};
    };
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
    const std::string key = "mean Nusselt number of face " + std::to_string(face) + ": ";
    const auto at = log.rfind(key);
    return at == std::string::npos ? std::nan("") : std::atof(log.c_str() + at + key.size());
}

TEST(FlowHeat, NaturalConvectionInASquareCavityMatchesTheBenchmarkNusseltNumbers) {
    struct Case {
        double rayleigh, nusselt;
        int cells;
    };
    for (const Case c : {Case{1e3, 1.118, 8}, Case{1e4, 2.243, 8}, Case{1e5, 4.519, 12}}) {
        SCOPED_TRACE("Ra " + std::to_string(c.rayleigh));
        SolverJob job("cavity", makeBoxMesh({{}, {1, 1, 1.0 / c.cells}, c.cells, c.cells, 1, true}));
        if (c.rayleigh == 1e3) {
            // The iterative solver's field split, with the temperatures in the velocities' block,
            // finds the direct solver's temperatures.
            const SolverAgreement agreement = solveBothWays(job, cavity(c.rayleigh), "TEMP 1");
            EXPECT_LT(agreement.relativeDifference, 1e-6);
        } else {
            ASSERT_EQ(job.solve(cavity(c.rayleigh), SolverChoice::Direct), "");
        }
        const std::string log = job.logText();
        EXPECT_NEAR(nusselt(log, 1), c.nusselt, 0.02 * c.nusselt);
        EXPECT_NEAR(nusselt(log, 2), nusselt(log, 1), 1e-3 * c.nusselt);
        const HeatBalance balance = job.heatBalance();
        EXPECT_NEAR(balance.in, balance.out, 1e-3 * balance.in);
    }
}

}  // namespace
}  // namespace tarvsolv::testing
