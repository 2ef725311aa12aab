// Incompressible flow: the element's Newton Jacobian against difference quotients of its residual,
// plane Poiseuille flow (quadratic velocity, linear pressure: exact in P2/P1), a lid-driven cavity
// by both solvers, a plug flow speeding up in time (exact under BDF2), and a run whose Newton
// iteration cannot reach the full density.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "difference_quotients.h"
#include "fem/flow_element.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

// Water in the add-on's millimetre units: kg/mm3, N-s/mm2.
constexpr double kWaterDensity = 1e-6, kWaterViscosity = 1e-9;

std::string fluid(double density, double viscosity) {
    char text[96];
    std::snprintf(text, sizeof text, "1  %g,%g,0.6,4180,0.0002", density, viscosity);
    return text;
}

// A flow job (header code 8): solve rows iteration limit, steps, step size, print interval.
JobText flowJob(std::vector<std::string> loads, std::vector<std::string> restraints,
                std::string solve = "0,0,0,0,0",
                std::string material = fluid(kWaterDensity, kWaterViscosity)) {
    JobText text = clampedSteel(std::move(loads), 8, std::move(solve));
    text.materials = {std::move(material)};
    text.restraints = std::move(restraints);
    return text;
}

TEST(FlowElement, JacobianIsTheDerivativeOfTheResidual) {
    const FeMesh mesh = bentQuadraticTetrahedron();
    const auto [state, history, gravity] = flowElementPoint(kFlowElementDofs, 30);
    // Steady Stokes, steady Navier-Stokes part way to the full density, and a time step.
    for (const FlowCoefficients c : {FlowCoefficients{1.5, 0.3, 0, 0}, FlowCoefficients{1.5, 0.3, 0.6, 0},
                                     FlowCoefficients{2, 0.1, 1, 40}}) {
        SCOPED_TRACE("convection " + std::to_string(c.convection) + ", time factor " +
                     std::to_string(c.timeFactor));
        std::vector<double> residual, jacobian;
        flowElement(mesh, 0, c, state, history, &gravity, residual, &jacobian);
        expectDerivativeOf(
            jacobian,
            [&](const std::vector<double>& x) {
                std::vector<double> r;
                flowElement(mesh, 0, c, x, history, &gravity, r, nullptr);
                return r;
            },
            state, 1e-6, 1e-7);
    }
}

// The flow between two walls 2 mm apart (y = 0 and y = H), slip walls at z = 0 and 1, driven by
// a pressure difference over L = 4 mm: u = G / (2 mu) y (H - y), G = dP / L, and the pressure falls
// linearly. Inertia plays no part (u.grad u = 0), so Newton converges at once from the Stokes flow.
// (The flow rate of that field through a face is the flow report's.)
TEST(IncompressibleFlow, PlanePoiseuilleFlowIsExact) {
    const double length = 4, height = 2, drop = 3.2e-6, g = drop / length;
    SolverJob job("poiseuille", makeBoxMesh({{}, {length, height, 1}, 4, 2, 1, true}));
    const JobText text = flowJob({"bol 1 1 3.2e-6", "bol 2 1 0"},
                                 {"bor 3 0 0 0", "bor 4 0 0 0", "bor 5 1 1 0", "bor 6 1 1 0"});
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    const std::vector<double> u = job.nodeBlock("VELO 1"), p = job.nodeBlock("PRES 1");
    ASSERT_EQ(u.size(), 3u * job.mesh().nodeCount());
    ASSERT_EQ(p.size(), static_cast<std::size_t>(job.mesh().nodeCount()));
    EXPECT_EQ(job.nodeBlock("VORT 1").size(), u.size());
    const double fastest = g * height * height / (8 * kWaterViscosity);
    for (int n = 0; n < job.mesh().nodeCount(); ++n) {
        const Vec3 x = job.mesh().node(n);
        const double along = g / (2 * kWaterViscosity) * x.y * (height - x.y);
        for (int a = 0; a < 3; ++a)
            EXPECT_NEAR(u[3 * n + a], a ? 0 : along, 1e-8 * fastest) << "node " << n + 1;
        EXPECT_NEAR(p[n], drop * (1 - x.x / length), 1e-8 * drop) << "node " << n + 1;
    }
    EXPECT_THAT(job.logText(), HasSubstr("Newton iteration 1: "));
    // Its strain rate is linear, which the recovery reproduces: no error anywhere.
    const std::vector<double> estimate = job.nodeBlock("ERRE 1");
    ASSERT_EQ(estimate.size(), p.size());
    EXPECT_LT(*std::max_element(estimate.begin(), estimate.end()), 1e-4);
}

// A unit cube of walls whose top face y = 1 moves along x at 100 x (1 - x) mm/s (Re 25): no face
// is open, so the pressure is held at one node. Convection needs Newton iterations beyond the
// Stokes flow; the iterative solver (field split) agrees with the direct one.
JobText cavity(std::string solve = "0,0,0,0,0", double density = kWaterDensity) {
    return flowJob({"bol 4 3 100*x*(1-x), 0, 0"},
                   {"bor 1 0 0 0", "bor 2 0 0 0", "bor 3 0 0 0", "bor 5 0 0 0", "bor 6 0 0 0"},
                   std::move(solve), fluid(density, kWaterViscosity));
}

TEST(IncompressibleFlow, ACavityHoldsItsPressureAtOneNodeBothSolversAgreeAndALinearMeshIsRefused) {
    SolverJob job("cavity", makeBoxMesh({{}, {1, 1, 1}, 3, 3, 3, true}));
    const SolverAgreement agreement = solveBothWays(job, cavity(), "VELO 1");
    EXPECT_NEAR(agreement.largest, 25, 1e-6);  // the lid's speed at x = 1/2
    EXPECT_LT(agreement.relativeDifference, 1e-6);
    const std::string log = job.logText();
    EXPECT_THAT(
        log,
        HasSubstr("no face is open: the pressure is fixed at node 1; it is known only up to a constant"));
    EXPECT_THAT(log, HasSubstr("Navier-Stokes at 1 of the density"));
    EXPECT_THAT(log, HasSubstr("Newton iteration 2: "));
    EXPECT_EQ(job.nodeBlock("PRES 1")[0], 0.0);
    // The lid's corners leave this coarse mesh a visible error.
    EXPECT_GT(loggedNumber(log, "error estimate: "), 1);
    // The P2/P1 element needs the mid-side nodes of a quadratic mesh.
    job.writeMesh(makeBoxMesh({{}, {1, 1, 1}, 2, 2, 2, false}));
    EXPECT_THAT(job.refused(cavity()), HasSubstr("incompressible flow needs a quadratic mesh"));
}

// Newton's method allowed one iteration (solve row 2) reaches the Stokes flow, which is linear, but
// neither the full density nor any share of it at Re 2500: the run keeps the Stokes flow, as a run
// with a negligible density finds it, and fails saying why.
TEST(IncompressibleFlow, ANewtonIterationThatCannotReachTheFullDensityKeepsTheLastConvergedFlow) {
    SolverJob job("stalled", makeBoxMesh({{}, {1, 1, 1}, 2, 2, 2, true}));
    ASSERT_EQ(job.solve(cavity("0,0,0,0,0", 1e-15), SolverChoice::Direct), "");
    const std::vector<double> stokes = job.nodeBlock("VELO 1");
    const std::string message = job.solve(cavity("1,0,0,0,0", 1e-4), SolverChoice::Direct);
    EXPECT_THAT(message, HasSubstr("does not converge at the full density"));
    EXPECT_THAT(message, HasSubstr("the result file holds the flow at 0 of the density (Stokes flow"));
    EXPECT_LT(largestDifference(job.nodeBlock("VELO 1"), stokes), 1e-6 * largestMagnitude(stokes));
    EXPECT_THAT(job.logText(), HasSubstr("not converged at 0.25 of the density"));
}

// Plug flow between slip walls whose inlet speeds up as 10 t from rest: u = 10 t everywhere, and
// the pressure that accelerates it falls linearly to the free outlet, rho 10 (L - x). Both are in
// the discrete spaces and linear in time, which BDF2 (and its BDF1 start) differentiates exactly.
// The steps' mass term outweighs the viscous one, so the iterative solver's field split takes the
// Schur complement of the velocity block's diagonal.
TEST(IncompressibleFlow, PlugFlowSpeedingUpFromRestIsExactUnderBdf2) {
    const double length = 4, rho = kWaterDensity * 1e-3;  // t/mm3
    SolverJob job("plug", makeBoxMesh({{}, {length, 1, 1}, 4, 1, 1, true}));
    const JobText text = flowJob({"bol 1 3 10*t, 0, 0"},
                                 {"bor 3 1 0 1", "bor 4 1 0 1", "bor 5 1 1 0", "bor 6 1 1 0"}, "0,5,0.1,2,0");
    for (SolverChoice solver : {SolverChoice::Iterative, SolverChoice::Direct}) {
        SCOPED_TRACE(solver == SolverChoice::Direct ? "direct" : "iterative");
        ASSERT_EQ(job.solve(text, solver), "");
        EXPECT_EQ(job.blockSteps("VELO "), (std::vector<int>{2, 4, 5}));
        EXPECT_EQ(job.blockSteps("PRES "), (std::vector<int>{2, 4, 5}));
        const std::vector<double> u = job.nodeBlock("VELO 5"), p = job.nodeBlock("PRES 5");
        ASSERT_EQ(p.size(), static_cast<std::size_t>(job.mesh().nodeCount()));
        for (int n = 0; n < job.mesh().nodeCount(); ++n) {
            EXPECT_NEAR(u[3 * n], 5.0, 1e-8) << "node " << n + 1;
            EXPECT_NEAR(p[n], rho * 10 * (length - job.mesh().node(n).x), 1e-8 * rho * 10 * length)
                << "node " << n + 1;
        }
        const std::string log = job.logText();
        EXPECT_THAT(log, HasSubstr("step 5/5, t = 0.5 s: largest speed 5,"));
        if (solver == SolverChoice::Iterative) {
            EXPECT_THAT(log, HasSubstr("that of the velocity block's diagonal"));
        }
    }
}

}  // namespace
}  // namespace tarvsolv::testing
