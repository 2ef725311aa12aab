#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "difference_quotients.h"
#include "fem/box_mesh.h"
#include "fem/dual_mesh.h"
#include "io/run_log.h"
#include "physics/gas_flux_jacobian.h"
#include "physics/gas_jacobian_assembly.h"
#include "physics/gas_pseudo_time.h"
#include "solver_fixture.h"
#include "support/scratch_folder.h"

namespace tarvsolv {
namespace steady_gas_test {

using testing::dense;
using testing::expectDerivativeOf;

const IdealGas kGas{1.4, 1.0 / 1.4};  // p = rho T / 1.4: at rho 1, p 1 the sound speed is 1.18

std::vector<double> asVector(const GasConserved& q) {
    return {q.begin(), q.end()};
}
GasConserved asState(const std::vector<double>& x, std::size_t at = 0) {
    GasConserved q;
    std::copy_n(x.begin() + static_cast<std::ptrdiff_t>(at), kGasFields, q.begin());
    return q;
}

// A box whose sides are far fields at one free stream, but for the sides given other kinds (walls,
// and pressure outlets whose ghost is the inside state at the stream's pressure), with the
// first-order Rusanov residual. Its wave speeds can be frozen at a state, so that
// its derivative is exactly the Jacobian the implicit steps take.
class RusanovBox : public GasProblem {
  public:
    RusanovBox(const BoxSpec& box, GasPrimitive freeStream, std::map<int, GasBoundaryKind> sides = {})
        : dual_(buildDualMesh(makeBoxMesh(box))), freeStream_(freeStream) {
        held_.assign(static_cast<std::size_t>(dual_.vertexCount()), 0);
        for (const DualBoundaryPiece& piece : dual_.boundary) {
            const auto side = sides.find(piece.tag);
            kinds_.push_back(side == sides.end() ? GasBoundaryKind::FarField : side->second);
            if (kinds_.back() == GasBoundaryKind::NoSlipWall)
                held_[static_cast<std::size_t>(piece.vertex)] = 1;
        }
    }

    const DualMesh& dual() const override { return dual_; }
    const IdealGas& gas() const override { return kGas; }
    const std::vector<GasBoundaryKind>& boundaryKinds() const override { return kinds_; }
    GasPrimitive ghostState(std::size_t piece, const GasPrimitive& inside, double) const override {
        if (kinds_[piece] != GasBoundaryKind::PressureOutlet) return freeStream_;
        GasPrimitive ghost = inside;
        ghost.p = freeStream_.p;
        return ghost;
    }
    const std::vector<char>& heldVelocity() const override { return held_; }

    void residual(const std::vector<double>& U, double, std::vector<double>& R, bool) const override {
        const std::vector<double>& speeds = frozen_.empty() ? U : frozen_;
        R.assign(U.size(), 0.0);
        const auto add = [&](int v, const GasConserved& f, double sign) {
            for (int k = 0; k < kGasFields; ++k)
                R[kGasFields * static_cast<std::size_t>(v) + k] += sign * f[k];
        };
        const auto state = [](const std::vector<double>& x, int v) {
            return asState(x, kGasFields * static_cast<std::size_t>(v));
        };
        const auto rusanov = [&](const GasConserved& a, const GasConserved& b, double lambda, Vec3 n) {
            const GasConserved fa = eulerFlux(kGas, a, n), fb = eulerFlux(kGas, b, n);
            GasConserved f;
            for (int k = 0; k < kGasFields; ++k) f[k] = 0.5 * (fa[k] + fb[k]) - 0.5 * lambda * (b[k] - a[k]);
            return f;
        };
        for (const DualEdge& e : dual_.edges) {
            const double lambda = std::max(spectralRadius(kGas, state(speeds, e.a), e.normal),
                                           spectralRadius(kGas, state(speeds, e.b), e.normal));
            const GasConserved f = rusanov(state(U, e.a), state(U, e.b), lambda, e.normal);
            add(e.a, f, 1);
            add(e.b, f, -1);
        }
        const auto ghostOf = [&](std::size_t k, const GasConserved& inside) {
            return kGas.conserved(ghostState(k, kGas.primitive(inside), 0));
        };
        for (std::size_t k = 0; k < dual_.boundary.size(); ++k) {
            const DualBoundaryPiece& piece = dual_.boundary[k];
            const GasConserved inside = state(U, piece.vertex);
            if (kinds_[k] == GasBoundaryKind::SlipWall || kinds_[k] == GasBoundaryKind::NoSlipWall) {
                add(piece.vertex, wallFlux(kGas, inside, piece.normal), 1);
                continue;
            }
            const GasConserved frozen = state(speeds, piece.vertex);
            const double lambda = std::max(spectralRadius(kGas, frozen, piece.normal),
                                           spectralRadius(kGas, ghostOf(k, frozen), piece.normal));
            add(piece.vertex, rusanov(inside, ghostOf(k, inside), lambda, piece.normal), 1);
        }
        for (std::size_t v = 0; v < held_.size(); ++v)
            if (held_[v])
                for (std::size_t k = 1; k <= 3; ++k) R[kGasFields * v + k] = U[kGasFields * v + k];
    }

    void freezeWaveSpeedsAt(std::vector<double> U) { frozen_ = std::move(U); }

    // The free stream disturbed by a smooth bump that vanishes on the sides.
    std::vector<double> disturbed(double amount) const {
        std::vector<double> U;
        for (const Vec3& p : dual_.position) {
            const double bump = amount * std::sin(std::numbers::pi * p.x) * std::sin(std::numbers::pi * p.y) *
                                std::sin(std::numbers::pi * p.z);
            GasPrimitive w = freeStream_;
            w.rho *= 1 + bump;
            w.p *= 1 - 0.5 * bump;
            w.u = w.u + Vec3{0.3 * bump, -0.2 * bump, 0.1 * bump};
            const GasConserved q = kGas.conserved(w);
            U.insert(U.end(), q.begin(), q.end());
        }
        return U;
    }

  private:
    DualMesh dual_;
    GasPrimitive freeStream_;
    std::vector<GasBoundaryKind> kinds_;
    std::vector<char> held_;
    std::vector<double> frozen_;
};

// The flux Jacobian and the wall's against central differences of the fluxes, through area
// vectors that are not unit, at rest, subsonic and supersonic; and the flux is homogeneous of
// degree one in U (A(U) U = F(U)), which a wrong entry of the Jacobian and the flux alike breaks.
TEST(GasFluxJacobian, MatchesDifferencesOfTheFlux) {
    const Vec3 n{0.3, -0.7, 0.45};
    for (const GasPrimitive& w : {GasPrimitive{1.2, {0, 0, 0}, 1.0}, GasPrimitive{0.8, {0.4, -0.3, 0.2}, 0.9},
                                  GasPrimitive{1.1, {2.5, 0.8, -1.1}, 0.6}}) {
        const GasConserved U = kGas.conserved(w);
        const GasBlock A = eulerFluxJacobian(kGas, U, n);
        expectDerivativeOf(
            A, [&](const std::vector<double>& x) { return asVector(eulerFlux(kGas, asState(x), n)); },
            asVector(U), 1e-6, 1e-7);
        expectDerivativeOf(
            wallFluxJacobian(kGas, U, n),
            [&](const std::vector<double>& x) { return asVector(wallFlux(kGas, asState(x), n)); },
            asVector(U), 1e-6, 1e-7);
        const GasConserved F = eulerFlux(kGas, U, n);
        for (int i = 0; i < kGasFields; ++i) {
            double AU = 0;
            for (int j = 0; j < kGasFields; ++j) AU += A[static_cast<std::size_t>(i * kGasFields + j)] * U[j];
            EXPECT_NEAR(AU, F[i], 1e-12) << i;
        }
    }
    // At rest only the pressure passes: (0, p n, 0).
    const GasConserved rest = eulerFlux(kGas, kGas.conserved({1.2, {}, 1.0}), n);
    EXPECT_EQ(rest[0], 0.0);
    EXPECT_DOUBLE_EQ(rest[2], -0.7);
    EXPECT_EQ(rest[4], 0.0);
}

// The assembled matrix is the derivative of the first-order residual (wave speeds frozen) on a
// sheared box with far fields, a pressure outlet (whose ghost follows the inside state), a slip wall
// and a no-slip wall whose vertices hold their velocity;
// the pseudo-time diagonal goes on every row but the held momentum rows.
TEST(GasJacobianAssembly, IsTheDerivativeOfTheFirstOrderResidual) {
    RusanovBox problem({{}, {1, 1, 1}, 2, 2, 1, false}, {1.0, {0.6, 0.3, -0.2}, 1.0},
                       {{1, GasBoundaryKind::SlipWall},
                        {3, GasBoundaryKind::PressureOutlet},
                        {5, GasBoundaryKind::NoSlipWall}});
    const std::vector<double> U = problem.disturbed(0.3);
    // The bump vanishes on the sides, where most vertices of so coarse a box lie: shear it everywhere.
    std::vector<double> at = U;
    for (std::size_t i = 0; i < at.size(); ++i) at[i] *= 1 + 0.05 * std::sin(1.7 * static_cast<double>(i));
    problem.freezeWaveSpeedsAt(at);

    GasJacobianAssembler assembler(problem);
    assembler.assemble(at, 1, {});
    const std::vector<double> J = dense(assembler.matrix());
    expectDerivativeOf(
        J,
        [&](const std::vector<double>& x) {
            std::vector<double> R;
            problem.residual(x, 1, R, true);
            return R;
        },
        at, 1e-6, 1e-7);

    const std::size_t n = at.size();
    assembler.assemble(at, 1, std::vector<double>(n / kGasFields, 2.0));
    const std::vector<double> shifted = dense(assembler.matrix());
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t v = i / kGasFields, k = i % kGasFields;
        const bool heldRow = problem.heldVelocity()[v] && k >= 1 && k <= 3;
        for (std::size_t j = 0; j < n; ++j)
            ASSERT_NEAR(shifted[i * n + j] - J[i * n + j], i == j && !heldRow ? 2.0 : 0.0, 1e-12)
                << i << ", " << j;
    }
}

double largestDeparture(const std::vector<double>& U, const GasConserved& from) {
    double largest = 0;
    for (std::size_t i = 0; i < U.size(); ++i)
        largest = std::max(largest, std::abs(U[i] - from[i % kGasFields]));
    return largest;
}

// A steady run of `problem` from `U` at the tolerance 1e-10, and what it logged.
struct LoggedRun {
    SteadyGasOutcome out;
    std::string log;
};
LoggedRun runSteady(const GasProblem& problem, std::vector<double>& U, SteadyGasOptions options) {
    ScratchFolder scratch;
    RunLog log(scratch.file("gas.slog"), false, true);
    options.tolerance = 1e-10;
    LoggedRun run{solveSteadyGas(problem, U, options, log), ""};
    run.log = readFile(scratch.file("gas.slog"));
    return run;
}

// From a disturbed start in a box of far fields, or with a slip wall along the stream, the steps
// return to the free stream: the residual falls below the tolerance as the CFL grows, the limiter
// is frozen once on the way, and the log holds the history and the outcome.
TEST(SteadyGas, ConvergesToTheFreeStream) {
    const GasPrimitive stream{1.0, {0.5, 0.2, 0.0}, 1.0};
    for (const auto& sides :
         {std::map<int, GasBoundaryKind>{}, std::map<int, GasBoundaryKind>{{5, GasBoundaryKind::SlipWall}}}) {
        const RusanovBox problem({{}, {1, 1, 1}, 4, 4, 4, false}, stream, sides);
        std::vector<double> U = problem.disturbed(0.2);
        SteadyGasOptions options;
        int freezes = 0;
        options.freezeLimiter = [&] { ++freezes; };
        const auto [out, text] = runSteady(problem, U, options);

        EXPECT_EQ(out.status, SteadyGasStatus::Converged) << out.message;
        EXPECT_LE(out.relativeResidual, 1e-10);
        EXPECT_LT(out.steps, 60);
        EXPECT_GT(out.cfl, 100 * options.cfl);
        EXPECT_EQ(freezes, 1);
        EXPECT_LT(largestDeparture(U, kGas.conserved(stream)), 1e-8);
        EXPECT_NE(text.find("pseudo-time step 1: residuals"), std::string::npos) << text;
        EXPECT_NE(text.find("the flow converged in " + std::to_string(out.steps) + " steps"),
                  std::string::npos)
            << text;
    }
}

// A residual with a term that flips its sign on every call until the limiter is frozen, as a
// limiter switching to and fro at an extremum of a smooth flow does.
class ChatteringBox : public RusanovBox {
  public:
    ChatteringBox(const BoxSpec& box, GasPrimitive stream, double amount)
        : RusanovBox(box, stream), amount_(amount) {}
    void residual(const std::vector<double>& U, double t, std::vector<double>& R,
                  bool firstOrder) const override {
        RusanovBox::residual(U, t, R, firstOrder);
        if (!frozen) R[kGasFields * 13] += (++calls_ % 2 ? 1 : -1) * amount_;
    }
    mutable bool frozen = false;

  private:
    double amount_;
    mutable int calls_ = 0;
};

// A residual that stalls below a hundredth of its largest (but above the freezing level) has its
// limiter frozen after the stall's steps, once, and then converges; the log says why. One that
// stalls higher, as while a flow is still forming, keeps its limiter.
TEST(SteadyGas, FreezesTheLimiterOfAResidualThatStallsLow) {
    const GasPrimitive stream{1.0, {0.5, 0.2, 0.0}, 1.0};
    for (const double amount : {3e-4, 0.02}) {
        const ChatteringBox problem({{}, {1, 1, 1}, 3, 3, 3, false}, stream, amount);
        std::vector<double> U = problem.disturbed(0.2);
        SteadyGasOptions options;
        options.freezeAfterStall = 30;
        options.iterationLimit = 300;
        int freezes = 0;
        options.freezeLimiter = [&] { ++freezes, problem.frozen = true; };
        const auto [out, text] = runSteady(problem, U, options);
        if (amount > 0.01) {
            EXPECT_EQ(out.status, SteadyGasStatus::NotConverged) << out.message;
            EXPECT_EQ(freezes, 0);
            continue;
        }
        EXPECT_EQ(out.status, SteadyGasStatus::Converged) << out.message;
        EXPECT_EQ(freezes, 1);
        EXPECT_GT(out.steps, options.freezeAfterStall);
        EXPECT_LT(largestDeparture(U, kGas.conserved(stream)), 1e-8);
        EXPECT_NE(text.find(", the residual not having fallen for 30 steps"), std::string::npos);
    }
}

// A residual that drives the energy at one vertex below 0, on its calls from `from` to before
// `to` (the start's residual is the first call, each step's new state the next).
class SinkingBox : public RusanovBox {
  public:
    SinkingBox(const BoxSpec& box, GasPrimitive stream, double sink, int from, int to = 1 << 30)
        : RusanovBox(box, stream), sink_(sink), from_(from), to_(to) {}
    void residual(const std::vector<double>& U, double t, std::vector<double>& R,
                  bool firstOrder) const override {
        RusanovBox::residual(U, t, R, firstOrder);
        ++calls_;
        if (calls_ >= from_ && calls_ < to_) R[kGasFields * 31 + 4] += sink_;
    }

  private:
    double sink_;
    int from_, to_;
    mutable int calls_ = 0;
};

// A sink in the start's residual makes the first step leave a negative pressure until the CFL is
// halved 5 times; the run goes on to the free stream. A sink far too strong for any halving, in
// the residual of step 5's state: step 6 cannot be taken, and the state is the one of step 5, the
// very state a run stopped there by its iteration limit ends with (and says so).
TEST(SteadyGas, HalvesTheCflOfAStepThatLeavesANegativePressure) {
    const BoxSpec box{{}, {1, 1, 1}, 3, 3, 3, false};
    const GasPrimitive stream{1.0, {0.5, 0.2, 0.1}, 1.0};
    ScratchFolder scratch;
    RunLog log(scratch.file("gas.slog"), false, true);
    SteadyGasOptions options;
    options.tolerance = 1e-10;
    std::vector<double> U = RusanovBox(box, stream).disturbed(0.2), reference = U;
    const SteadyGasOutcome mended = solveSteadyGas(SinkingBox(box, stream, 5, 1, 2), U, options, log);
    EXPECT_EQ(mended.status, SteadyGasStatus::Converged) << mended.message;
    EXPECT_LT(largestDeparture(U, kGas.conserved(stream)), 1e-8);
    EXPECT_NE(readFile(scratch.file("gas.slog"))
                  .find("pseudo-time step 1 taken again at CFL 0.156 after 5 halvings"),
              std::string::npos);

    U = reference;
    const SteadyGasOutcome out = solveSteadyGas(SinkingBox(box, stream, 1e12, 6), U, options, log);
    EXPECT_EQ(out.status, SteadyGasStatus::Diverged);
    EXPECT_EQ(out.steps, 5);
    EXPECT_NE(out.reason.find("negative"), std::string::npos) << out.reason;
    EXPECT_NE(out.message.find("the flow diverged at step 6: "), std::string::npos) << out.message;
    EXPECT_NE(out.message.find("10 halvings"), std::string::npos) << out.message;

    options.iterationLimit = 5;
    const SteadyGasOutcome stopped = solveSteadyGas(RusanovBox(box, stream), reference, options, log);
    EXPECT_EQ(stopped.status, SteadyGasStatus::NotConverged);
    EXPECT_NE(stopped.message.find("did not converge in 5 steps"), std::string::npos) << stopped.message;
    EXPECT_NE(stopped.message.find("; the largest residual is at node "), std::string::npos)
        << stopped.message;
    EXPECT_EQ(U, reference);
    for (std::size_t v = 0; v * kGasFields < U.size(); ++v)
        EXPECT_TRUE(IdealGas::admissible(kGas.primitive(asState(U, kGasFields * v)))) << v;
}

// The solve rows: 0 takes the defaults, values are taken as given, a negative CFL number or a
// limit that is not a whole number of steps is refused.
TEST(SteadyGas, OptionsFromTheSolveRows) {
    SolverInput input;
    SteadyGasOptions options = steadyGasOptions(input);
    EXPECT_EQ(options.tolerance, 1e-6);
    EXPECT_EQ(options.iterationLimit, 2000);
    EXPECT_EQ(options.cfl, 5);
    input.tolerance = 1e-9;
    input.solve = {300, 0, 0, 0, 20};
    options = steadyGasOptions(input);
    EXPECT_EQ(options.tolerance, 1e-9);
    EXPECT_EQ(options.iterationLimit, 300);
    EXPECT_EQ(options.cfl, 20);
    input.solve[4] = -1;
    EXPECT_THROW(steadyGasOptions(input), std::runtime_error);
    input.solve = {2.5, 0, 0, 0, 0};
    EXPECT_THROW(steadyGasOptions(input), std::runtime_error);
}

}  // namespace steady_gas_test
}  // namespace tarvsolv
