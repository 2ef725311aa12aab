// Transient heat against closed forms: a slab suddenly heated in long steps, a slab whose face is
// held on a ramp (the series solution of 1-D conduction), a small body cooling by convection (the
// lumped exponential, with the fluid temperature and the heat transfer coefficient also following
// time) or heated from inside, and a conductivity that follows temperature.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "closed_forms.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

// The fixture's heat steel: k W/(mm C), rho kg/mm3, c J/(kg C).
constexpr double kK = 0.05, kRho = 7.85e-6, kC = 460;

// A 20 mm slab at 0 C whose face x = 0 meets a fluid at 100 C through a coefficient so large that
// the face takes the fluid's temperature at once, in steps of 5 s, far past the slab's time
// constant of 12 s: the sudden change excites the mesh's fastest modes, which Crank-Nicolson alone
// carries on as a swing from step to step. Damped by the backward-Euler start, no node cools from
// one step to the next. (The end-to-end run checks a suddenly held face against the series.)
TEST(TransientHeat, LongStepsAfterASuddenChangeDoNotSwing) {
    const double length = 20, held = 100;
    SolverJob job("steps", makeBoxMesh({{}, {length, 5, 5}, 8, 1, 1, true}));
    ASSERT_EQ(job.solve(heatJob({"bol 1 2 100, 100"}, 2, "0,40,5,1,0"), SolverChoice::Direct), "");
    std::vector<double> previous(job.mesh().nodeCount(), 0.0);
    double fall = 0;
    for (int step = 1; step <= 40; ++step) {
        const auto t = job.nodeBlock("TEMP " + std::to_string(step));
        ASSERT_EQ(t.size(), previous.size()) << "step " << step;
        for (std::size_t n = 0; n < t.size(); ++n) fall = std::max(fall, previous[n] - t[n]);
        previous = t;
    }
    EXPECT_LT(fall, 1e-4 * held);  // one start step leaves a swing of 5e-4 here
}

// The slab at 0 C with its face x = 0 held on a ramp of r = 10 C/s from a time table, insulated
// elsewhere: u = r (t - x (2L - x) / (2a)) + sum 2r / (L a m^3) sin(m x) e^(-a m^2 t) with
// m = (2n + 1) pi / (2L), and the heat through the held face is what the slab stores, rho c A
// times the integral of u, r (t L - L^3 / (3a)) + sum 2r / (L a m^4) e^(-a m^2 t).
TEST(TransientHeat, AFaceHeldOnARampFollowsTheSeriesSolutionAndItsHeatIsStored) {
    const double length = 20, rate = 10, area = 25, a = kK / (kRho * kC);
    const auto series = [&](double t, auto term) {
        double sum = 0;
        for (int n = 0; n < 200; ++n) {
            const double m = (2 * n + 1) * std::numbers::pi / (2 * length);
            sum += term(m) * std::exp(-a * m * m * t);
        }
        return sum;
    };
    const auto exact = [&](double x, double t) {
        return rate * (t - x * (2 * length - x) / (2 * a)) +
               series(t, [&](double m) { return 2 * rate / (length * a * m * m * m) * std::sin(m * x); });
    };
    SolverJob job("ramp", makeBoxMesh({{}, {length, 5, 5}, 40, 1, 1, false}));
    JobText text = heatJob({}, 2, "0,100,0.1,10,0");
    text.tables = {"tabl1, 2, 0, 10, 0, 100"};
    text.restraints = {"bor 1 temp tabl1"};
    for (const SolverChoice solver : {SolverChoice::Iterative, SolverChoice::Direct}) {
        SCOPED_TRACE(solver == SolverChoice::Direct ? "direct" : "iterative");
        ASSERT_EQ(job.solve(text, solver), "");
        for (const int step : {20, 50, 100}) {
            const double t = 0.1 * step;
            const auto temperatures = job.nodeBlock("TEMP " + std::to_string(step));
            EXPECT_NEAR(meanAtX(temperatures, job.mesh(), 0), rate * t, 1e-9 * rate * t) << "held, t = " << t;
            for (const double x : {2.5, 7.5, length})
                EXPECT_NEAR(meanAtX(temperatures, job.mesh(), x), exact(x, t), 0.02 * rate * t)
                    << "x = " << x << ", t = " << t;
        }
        const std::string log = job.logText();
        const double held = heldHeat(job, "temperature held on face 1");
        const double stored = kRho * kC * area *
                              (rate * (10 * length - length * length * length / (3 * a)) +
                               series(10, [&](double m) { return 2 * rate / (length * a * m * m * m * m); }));
        EXPECT_NEAR(held, stored, 0.02 * stored) << log;
        const HeatBalance balance = job.heatBalance();
        EXPECT_EQ(balance.in, held) << log;
        EXPECT_LT(balance.imbalance, 1e-6) << "the heat through the held face is the heat stored";
    }
}

// A 10 mm cube at 100 C cooling through all six faces, Biot number h (a / 6) / k = 3e-3: its mean
// temperature against the lumped solution dT/dt = -(T - Tf) h(t) A / (rho c V), with a constant
// fluid and coefficient, a fluid warming at 1 C/s from a time table (T = t - tau (1 - e^(-t/tau))
// from 0), a coefficient rising as 1 + t / 60 (a formula, so the matrix changes every step); and
// insulated (no coefficient) under internal heat rising as 1e-5 t W/mm3 from a time table.
TEST(TransientHeat, SmallBodyFollowsTheLumpedSolutionAsLoadsFollowTime) {
    const double side = 10, h = 1e-4;
    const double tau = kRho * kC * side / (6 * h);
    struct Case {
        const char* name;
        std::string solve, h, fluid;
        double (*exact)(double t, double tau);
    };
    const Case cases[] = {
        {"constant", "100,180,1,30,0", "1e-4", "20",
         [](double t, double tc) { return 20 + 80 * std::exp(-t / tc); }},
        {"fluid from a table", "0,180,1,30,0", "1e-4", "tabl1",
         [](double t, double tc) { return t - tc * (1 - std::exp(-t / tc)); }},
        {"coefficient over time", "100,180,1,30,0", "1e-4*(1+t/60)", "20",
         [](double t, double tc) { return 20 + 80 * std::exp(-(t + t * t / 120) / tc); }},
        {"internal heat from a table", "100,180,1,30,0", "", "",
         [](double t, double) { return 100 + 1e-5 * t * t / (2 * kRho * kC); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SolverJob job("cube", makeBoxMesh({{}, {side, side, side}, 2, 2, 2, false}));
        JobText text = heatJob({}, 2, c.solve);
        text.tables = {"tabl1, 2, 0, 1000, 0, 1000"};
        for (int face = 1; face <= 6 && !c.h.empty(); ++face)
            text.loads.push_back("bol " + std::to_string(face) + " 2 " + c.h + ", " + c.fluid);
        if (c.h.empty()) text.loads.push_back("al 1e-5*tabl1");
        ASSERT_EQ(job.solve(text), "");
        const double start = c.exact(0, tau);
        for (const int step : {30, 90, 180}) {
            const double expected = c.exact(step, tau);
            const double average = testing::mean(job.nodeBlock("TEMP " + std::to_string(step)));
            // 2 % of the change from the start, the part the analysis computes.
            EXPECT_NEAR(average, expected, 0.02 * std::abs(expected - start) + 1e-9) << "t = " << step;
        }
        // The log's balance over the run: the heat stored is rho c V times the lumped change, and
        // what went in less what went out; insulated, the internal heat of 1e-5 t over 180 s.
        const auto [in, out, stored, imbalance] = job.heatBalance();
        const double change = kRho * kC * side * side * side * (c.exact(180, tau) - start);
        EXPECT_NEAR(stored, change, 0.02 * std::abs(change));
        EXPECT_NEAR(in - out, stored, 1e-6 * std::max(std::abs(in), std::abs(out)));
        EXPECT_LT(imbalance, 1e-6);
        if (c.h.empty()) {
            EXPECT_NEAR(in, 1e-5 * 180 * 180 / 2 * 1000, 1e-3 * 162);
        }
    }
}

// A flux-heated slab whose conductivity k0 (1 + b T) follows temperature settles, after ten times
// its slowest time constant, on the Kirchhoff profile of the steady problem (a conductivity kept at
// the initial temperature would miss the rise by a tenth).
TEST(TransientHeat, ConductivityFollowingTemperatureSettlesOnTheSteadyKirchhoffProfile) {
    const double thickness = 20, fluid = 20;
    SolverJob job("kslab", makeBoxMesh({{}, {thickness, 5, 5}, 16, 2, 2, false}));
    JobText text = heatJob({"bol 1 0 0.01", "bol 2 2 0.002, 20"}, 2, "20,300,2,300,0");
    text.materials = {"1  0.05*(1+0.01*T),0,0,7.85e-06,460"};
    ASSERT_EQ(job.solve(text), "");
    const auto t = job.nodeBlock("TEMP 300");
    for (double x : {0.0, 10.0, thickness}) {
        const double exact = kirchhoffSlab(x, thickness, 0.05, 0.01, 0.01, 0.002, fluid);
        EXPECT_NEAR(meanAtX(t, job.mesh(), x), exact, 0.01 * (exact - fluid)) << "x = " << x;
    }
}

}  // namespace
}  // namespace tarvsolv::testing
