// Forced vibrations of a bar on a plane: its base moved by a table, standing on it, and dropped
// onto it, against the same bar held on its base (the end-to-end runs check a cantilever's swing
// under a sudden tip load and the decay of Rayleigh damping through the add-on).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

// The z displacement of every node in every "DISP n" block, in block order, with the block
// numbers.
struct History {
    std::vector<int> steps;
    std::vector<std::vector<double>> z;
};

History displacementHistory(const SolverJob& job) {
    History history{job.blockSteps("DISP "), {}};
    for (int step : history.steps) {
        const auto disp = job.nodeBlock("DISP " + std::to_string(step));
        std::vector<double>& z = history.z.emplace_back();
        for (std::size_t k = 2; k < disp.size(); k += 3) z.push_back(disp[k]);
    }
    return history;
}

// The mean z displacement of the bar's top (z = kBarHeight) in every block.
constexpr double kBarHeight = 40;

std::vector<double> topHistory(const SolverJob& job) {
    const auto top = nodesWhere(job.mesh(), [](const Vec3& p) { return std::abs(p.z - kBarHeight) < 1e-9; });
    std::vector<double> history;
    for (const std::vector<double>& z : displacementHistory(job).z) history.push_back(mean(z, top));
    return history;
}

// A 10 x 10 x 40 steel bar standing upright, its face 5 (z = 0) facing a rigid plane below, on
// rollers (x held on face 1, y on face 3), with an acceleration of `g` (m/s2) toward the plane and
// stiffness damping `beta`.
FeMesh bar() {
    return makeBoxMesh({{}, {10, 10, kBarHeight}, 2, 2, 8, false});
}

JobText barText(double g, int steps, double dt, const std::string& support, double beta = 0) {
    char solve[64], damping[64];
    std::snprintf(solve, sizeof solve, "20,%d,%.9g,1,0", steps, dt);
    std::snprintf(damping, sizeof damping, " 0 %g", beta);
    // The DYNAMIC section after the solve line as the add-on writes it, with its damping line.
    JobText text = clampedSteel({"al 0, 0, " + std::to_string(-g)}, 5, solve);
    text.stepSection = {"DYNAMIC", damping};
    text.restraints = {"bor 1 0 1 1", "bor 3 1 0 1"};
    if (support.rfind("bor", 0) == 0)
        text.restraints.push_back(support);
    else
        text.constraints = {support};
    return text;
}

// The bar's base (face 5) moved along z by a prescribed displacement, far slower than its axial
// period (3e-5 s): the whole bar rides on its base. A table rising from 0 at t = 0 to 1 at t = 1
// puts every node at t; a plain number holds the base at its value from the first step on (and
// the bar, suddenly displaced, swings about it).
TEST(ForcedVibration, PrescribedDisplacementFollowsItsTableInTime) {
    const double dt = 1e-3;
    const int steps = 10;
    SolverJob job("riding", bar());
    for (const std::string value : {"tabl1", "0.5"}) {
        JobText text = barText(0, steps, dt, "boc 5 0,0,1," + value);
        text.tables = {"tabl1, 2, 0, 1, 0, 1"};
        ASSERT_EQ(job.solve(text, SolverChoice::Direct), "") << value;
        const History history = displacementHistory(job);
        ASSERT_EQ(history.steps.size(), static_cast<std::size_t>(steps)) << value;
        for (std::size_t i = 0; i < history.steps.size(); ++i) {
            const double expected = value == "0.5" ? 0.5 : history.steps[i] * dt;
            for (int n = 0; n < job.mesh().nodeCount(); ++n) {
                if (value == "0.5" && job.mesh().node(n).z != 0) continue;
                ASSERT_NEAR(history.z[i][n], expected, 1e-3 * expected)
                    << value << ", step " << history.steps[i] << ", node " << n + 1;
            }
        }
    }
}

// The axial period of the bar held at its base: 4 L / c.
double barPeriod() {
    return 4 * kBarHeight / std::sqrt(210000 / 7.85e-6 * 1e3);
}

// The most iterations of any step's solve in a forced vibration's log.
std::vector<int> stepIterations(const SolverJob& job) {
    const std::string text = job.logText();
    std::vector<int> iterations;
    for (std::size_t at = text.find(" iterations, residual"); at != std::string::npos;
         at = text.find(" iterations, residual", at + 1)) {
        const std::size_t start = text.rfind(' ', at - 1) + 1;
        iterations.push_back(std::stoi(text.substr(start, at - start)));
    }
    return iterations;
}

// A stiffness-damped quadratic cantilever, suddenly loaded at its tip: the stiffness outweighs the
// mass in the step matrix at the mesh's finer modes, so the step solves need the static solves'
// multigrid (corner level, rigid-body modes); with the corner level factorised once for the run
// the first step takes 18 iterations (36 with a multigrid cycle there). Later steps start from
// the projection on the earlier solutions and take a few. PCG follows MF to the printed digits.
TEST(ForcedVibration, StiffnessDampedStepsTakeTheStaticMultigrid) {
    SolverJob job("damped", makeBoxMesh({{}, {80, 4, 4}, 40, 2, 2, true}));
    JobText text = clampedSteel({"bol 2 0 0, 0, -1"}, 5, "0,10,2e-4,1,0");
    text.stepSection = {"DYNAMIC", " 0 1.5e-4"};
    const SolverAgreement agreement = solveBothWays(job, text, "DISP 10");
    EXPECT_GT(agreement.largest, 0);
    EXPECT_LT(agreement.relativeDifference, 1e-7);
    ASSERT_EQ(job.solve(text, SolverChoice::Iterative), "");
    const std::vector<int> iterations = stepIterations(job);
    ASSERT_EQ(iterations.size(), 10u);
    EXPECT_GT(iterations.front(), 0);
    EXPECT_LT(iterations.front(), 25);
    EXPECT_LE(3 * iterations.back(), iterations.front()) << ::testing::PrintToString(iterations);
}

// Suddenly accelerated toward the plane it stands on through a closed gap, the bar moves as the
// same bar held on that face by a normal restraint: its base stays on the plane.
TEST(ForcedVibrationContact, BarStandingOnAPlaneMovesAsTheBarHeldOnIt) {
    const double dt = barPeriod() / 50;
    const int steps = 100;
    SolverJob held("held", bar()), standing("standing", bar());
    ASSERT_EQ(held.solve(barText(1e5, steps, dt, "bor 5 1 1 0"), SolverChoice::Direct), "");
    ASSERT_EQ(standing.solve(barText(1e5, steps, dt, "bog 5 0,0,-1,0"), SolverChoice::Iterative), "");
    const std::vector<double> reference = topHistory(held), top = topHistory(standing);
    ASSERT_EQ(top.size(), static_cast<std::size_t>(steps));
    const double largest = largestMagnitude(reference);
    EXPECT_LT(largestDifference(top, reference), 1e-2 * largest);
    std::vector<double> base;
    const History all = displacementHistory(standing);
    for (const std::vector<double>& z : all.z)
        for (int n = 0; n < standing.mesh().nodeCount(); ++n)
            if (standing.mesh().node(n).z == 0) base.push_back(z[n]);
    EXPECT_LT(largestMagnitude(base), 1e-3 * largest);
}

// Dropped across an open gap, the bar falls freely (every node at -g t^2 / 2, no contact force)
// until the gap closes after one period, then stops at the plane with a penetration far below
// what the bare penalty would leave under the impact stress rho c v. With stiffness damping of the
// mesh's highest modes, which the impact excites, it bounces off but not above its start.
TEST(ForcedVibrationContact, BarDroppedOntoAPlaneFallsFreelyThenStopsAtIt) {
    const double period = barPeriod(), dt = period / 50, gap = 0.01;
    const double g = 2 * gap / (period * period);  // mm/s2: the gap closes at step 50
    const int steps = 150, closing = 50;
    {
        // Without its rollers nothing holds the bar sideways, gap or not.
        SolverJob loose("loose", bar());
        JobText text = barText(g / 1e3, steps, dt, "bog 5 0,0,-1,0.01");
        text.restraints.clear();
        EXPECT_THAT(loose.solve(text), HasSubstr("can move along X"));
    }
    for (const double damping : {0.0, dt / 2.5}) {  // damping ratio 0.2 at omega = 1 / dt
        SCOPED_TRACE(damping > 0 ? "stiffness damping" : "undamped");
        SolverJob dropped("dropped", bar());
        ASSERT_EQ(
            dropped.solve(barText(g / 1e3, steps, dt, "bog 5 0,0,-1,0.01", damping), SolverChoice::Direct),
            "");
        const History all = displacementHistory(dropped);
        // The contact force and largest penetration the status line of each printed step logs.
        const std::vector<double> force = loggedHistory(dropped, 5, "force "),
                                  penetration = loggedHistory(dropped, 5, "penetration ");
        ASSERT_EQ(all.z.size(), static_cast<std::size_t>(steps));
        ASSERT_EQ(force.size(), all.z.size());
        std::vector<double> centre;
        for (std::size_t i = 0; i < all.z.size(); ++i) {
            const double t = dt * all.steps[i], fall = -0.5 * g * t * t;
            centre.push_back(mean(all.z[i]));
            if (all.steps[i] >= closing) continue;
            for (double z : all.z[i]) ASSERT_NEAR(z, fall, 1e-9 * gap) << "step " << all.steps[i];
            EXPECT_EQ(force[i], 0) << "step " << all.steps[i];
        }
        EXPECT_GT(*std::max_element(force.begin(), force.end()), 0);
        const double lamePlusTwoMu = 210000 * 0.7 / (1.3 * 0.4),
                     penalty = 10 * lamePlusTwoMu / std::sqrt(12.5);
        const double impactStress = 7.85e-9 * std::sqrt(210000 / 7.85e-9) * g * closing * dt;
        EXPECT_LT(largestMagnitude(penetration), 0.05 * impactStress / penalty);
        if (damping == 0) continue;
        // The centre rises again after the impact, but stays below where it started.
        const auto lowest = std::min_element(centre.begin(), centre.end());
        const double rebound = *std::max_element(lowest, centre.end());
        EXPECT_GT(rebound - *lowest, 0.1 * gap);
        EXPECT_LT(rebound, 0);
    }
}

}  // namespace
}  // namespace tarvsolv::testing
