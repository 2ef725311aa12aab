#include "physics/gas_pseudo_time.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "base/petsc_handles.h"
#include "physics/gas_flux_jacobian.h"
#include "physics/gas_jacobian_assembly.h"
#include "physics/time_stepping.h"

namespace tarvsolv {
namespace {

constexpr int kN = kGasFields;

std::string text(const char* format, double value) {
    char out[48];
    std::snprintf(out, sizeof out, format, value);
    return out;
}

// "node 12 (0.5, 1, 0)": the mesh node of vertex `v`, numbered from 1, and its position.
std::string nodeText(const DualMesh& dual, std::size_t v) {
    const Vec3& p = dual.position[v];
    char out[96];
    std::snprintf(out, sizeof out, "node %d (%g, %g, %g)", dual.fileNode[v] + 1, p.x, p.y, p.z);
    return out;
}

// What makes a state unusable, and where: a value that is not finite first, then the lowest
// density not above 0, then the lowest pressure; a residual that is not finite last.
std::optional<std::string> inadmissible(const GasProblem& problem, const std::vector<double>& U,
                                        const std::vector<double>& R) {
    const DualMesh& dual = problem.dual();
    const IdealGas& gas = problem.gas();
    std::optional<std::size_t> nonFinite, density, pressure, residual;
    double lowestDensity = 0, lowestPressure = 0;
    for (std::size_t v = 0; v < static_cast<std::size_t>(dual.vertexCount()); ++v) {
        const GasPrimitive w = gas.primitive(conservedAt(U, v));
        if (!std::isfinite(w.rho) || !std::isfinite(w.p) || !std::isfinite(w.u.x) || !std::isfinite(w.u.y) ||
            !std::isfinite(w.u.z)) {
            if (!nonFinite) nonFinite = v;
            continue;
        }
        if (w.rho <= lowestDensity) lowestDensity = w.rho, density = v;
        if (w.rho > 0 && w.p <= lowestPressure) lowestPressure = w.p, pressure = v;
        for (int k = 0; k < kN && !residual; ++k)
            if (!std::isfinite(R[kN * v + static_cast<std::size_t>(k)])) residual = v;
    }
    if (nonFinite) return "a value that is not finite at " + nodeText(dual, *nonFinite);
    if (density) return "negative density at " + nodeText(dual, *density);
    if (pressure) return "negative pressure at " + nodeText(dual, *pressure);
    if (residual) return "a residual that is not finite at " + nodeText(dual, *residual);
    return std::nullopt;
}

// The residual's 2-norm per equation, and over all equations with the momentum rows divided by a
// speed and the energy rows by its square, so that each weighs as the mass fluxes do. The momentum
// rows of held velocities (the momentum itself, not a flux) are left out.
struct ResidualNorms {
    std::array<double, kGasFields> equation{};
    double scaled = 0;
    std::size_t worst = 0;  // the vertex of the largest scaled residual
};

ResidualNorms residualNorms(const std::vector<double>& R, const std::vector<char>& held, double speed) {
    ResidualNorms out;
    for (std::size_t v = 0; v * kN < R.size(); ++v)
        for (int k = 0; k < kN; ++k) {
            if (k >= 1 && k <= 3 && v < held.size() && held[v]) continue;
            const double r = R[kN * v + static_cast<std::size_t>(k)];
            out.equation[static_cast<std::size_t>(k)] += r * r;
        }
    const std::array<double, kGasFields> scale{1, speed, speed, speed, speed * speed};
    double worst = -1;
    for (std::size_t v = 0; v * kN < R.size(); ++v) {
        double sum = 0;
        for (std::size_t k = 0; k < kN; ++k) {
            if (k >= 1 && k <= 3 && v < held.size() && held[v]) continue;
            sum += std::pow(R[kN * v + k] / scale[k], 2);
        }
        if (sum > worst) worst = sum, out.worst = v;
    }
    for (std::size_t k = 0; k < kN; ++k) {
        out.scaled += out.equation[k] / (scale[k] * scale[k]);
        out.equation[k] = std::sqrt(out.equation[k]);
    }
    out.scaled = std::sqrt(out.scaled);
    return out;
}

// The largest |u| + c of a state: the speed the energy and momentum rows are scaled by.
double fastestWave(const IdealGas& gas, const std::vector<double>& U) {
    double fastest = 0;
    for (std::size_t v = 0; v * kN < U.size(); ++v) {
        const GasPrimitive w = gas.primitive(conservedAt(U, v));
        fastest = std::max(fastest, norm(w.u) + gas.soundSpeed(w));
    }
    return fastest > 0 ? fastest : 1;
}

double largestMach(const IdealGas& gas, const std::vector<double>& U) {
    double largest = 0;
    for (std::size_t v = 0; v * kN < U.size(); ++v)
        largest = std::max(largest, gas.mach(gas.primitive(conservedAt(U, v))));
    return largest;
}

// Per vertex of the rows [first, last) this process assembles, the sum over its dual faces of
// |u.n| + c |n|: V_i / dtau_i is this over the CFL (0 at the other vertices, whose rows it skips).
std::vector<double> waveSums(const GasProblem& problem, const std::vector<double>& U, int first, int last) {
    const DualMesh& dual = problem.dual();
    const IdealGas& gas = problem.gas();
    std::vector<double> sum(static_cast<std::size_t>(dual.vertexCount()), 0.0);
    const auto add = [&](int v, const Vec3& normal) {
        if (v >= first && v < last)
            sum[static_cast<std::size_t>(v)] +=
                spectralRadius(gas, conservedAt(U, static_cast<std::size_t>(v)), normal);
    };
    for (const DualEdge& e : dual.edges) add(e.a, e.normal), add(e.b, e.normal);
    for (const DualBoundaryPiece& piece : dual.boundary) add(piece.vertex, piece.normal);
    return sum;
}

class PseudoTimeRun {
  public:
    PseudoTimeRun(const GasProblem& problem, const SteadyGasOptions& options, RunLog& log);
    SteadyGasOutcome run(std::vector<double>& U);

  private:
    std::string solverText() const;
    struct Trial {
        std::vector<double> U, R;
        int iterations = 0;
        std::optional<std::string> failure;  // why the step cannot be kept
    };
    Trial takeStep(const std::vector<double>& U, const std::vector<double>& R, double& cfl, int& halvings);
    Trial attempt(const std::vector<double>& U, const std::vector<double>& R,
                  const std::vector<double>& waves, double cfl);
    std::optional<std::string> solveLinear(const std::vector<double>& R, std::vector<double>& dU,
                                           int& iterations);
    std::vector<double> residual(const std::vector<double>& U) const;
    bool logged(int step) const;
    std::string progress(int step, const ResidualNorms& norms, double cfl, int iterations,
                         const std::vector<double>& U, double secondsLeft) const;
    double secondsLeft(int step) const;
    SteadyGasOutcome finish(SteadyGasOutcome out, const std::string& lastLine);

    const GasProblem& problem_;
    const SteadyGasOptions& options_;
    RunLog& log_;
    GasJacobianAssembler assembler_;
    KspHandle ksp_;
    VecHandle rhs_, solution_;
    // Several processes: the solution gathered whole onto every process.
    ScatterHandle gather_;
    VecHandle whole_;
    ResidualNorms largest_;
    std::vector<double> history_;  // the scaled residual after every step kept, the start first
    double started_ = 0;
    int lastLogged_ = -1;
};

PseudoTimeRun::PseudoTimeRun(const GasProblem& problem, const SteadyGasOptions& options, RunLog& log)
    : problem_(problem), options_(options), log_(log), assembler_(problem) {
    int processes = 1;
    MPI_Comm_size(PETSC_COMM_WORLD, &processes);
    const MPI_Comm comm = processes > 1 ? PETSC_COMM_WORLD : PETSC_COMM_SELF;
    TARV_PETSC(MatCreateVecs(assembler_.matrix(), solution_.out(), rhs_.out()));
    if (processes > 1) TARV_PETSC(VecScatterCreateToAll(solution_, gather_.out(), whole_.out()));
    TARV_PETSC(KSPCreate(comm, ksp_.out()));
    TARV_PETSC(KSPSetOptionsPrefix(ksp_, "gas_"));
    TARV_PETSC(KSPSetType(ksp_, KSPGMRES));
    TARV_PETSC(KSPGMRESSetRestart(ksp_, 30));
    TARV_PETSC(KSPSetTolerances(ksp_, options.linearTolerance, PETSC_DEFAULT, PETSC_DEFAULT, 300));
    PC pc;
    TARV_PETSC(KSPGetPC(ksp_, &pc));
    // ILU needs the whole matrix on one process: several take block Jacobi, ILU in each block.
    TARV_PETSC(PCSetType(pc, processes > 1 ? PCBJACOBI : PCILU));
    TARV_PETSC(KSPSetFromOptions(ksp_));
}

std::vector<double> PseudoTimeRun::residual(const std::vector<double>& U) const {
    std::vector<double> R(U.size(), 0.0);
    problem_.residual(U, options_.time, R, false);
    return R;
}

// Solves (V/dtau I + dR1/dU) dU = -R with the matrix as assembled; the failure of the linear solver,
// if any. A solve that ends at its iteration limit still gives a usable step.
std::optional<std::string> PseudoTimeRun::solveLinear(const std::vector<double>& R, std::vector<double>& dU,
                                                      int& iterations) {
    PetscScalar* b = nullptr;
    const auto first = static_cast<std::size_t>(kN * assembler_.firstOwned()),
               last = static_cast<std::size_t>(kN * assembler_.lastOwned());
    TARV_PETSC(VecGetArray(rhs_, &b));
    for (std::size_t i = first; i < last; ++i) b[i - first] = -R[i];
    TARV_PETSC(VecRestoreArray(rhs_, &b));
    TARV_PETSC(KSPSetOperators(ksp_, assembler_.matrix(), assembler_.matrix()));
    const PetscErrorCode code = KSPSolve(ksp_, rhs_, solution_);
    PetscInt its = 0;
    KSPGetIterationNumber(ksp_, &its);
    iterations += static_cast<int>(its);
    if (code != 0) return "the linear solver failed (" + petscErrorText(code) + ")";
    KSPConvergedReason reason = KSP_CONVERGED_ITERATING;
    TARV_PETSC(KSPGetConvergedReason(ksp_, &reason));
    if (reason < 0 && reason != KSP_DIVERGED_ITS)
        return std::string("the linear solver failed (") + KSPConvergedReasons[reason] + ")";
    Vec whole = solution_;
    if (whole_) {
        TARV_PETSC(VecScatterBegin(gather_, solution_, whole_, INSERT_VALUES, SCATTER_FORWARD));
        TARV_PETSC(VecScatterEnd(gather_, solution_, whole_, INSERT_VALUES, SCATTER_FORWARD));
        whole = whole_;
    }
    const PetscScalar* x = nullptr;
    TARV_PETSC(VecGetArrayRead(whole, &x));
    dU.assign(x, x + R.size());
    TARV_PETSC(VecRestoreArrayRead(whole, &x));
    return std::nullopt;
}

PseudoTimeRun::Trial PseudoTimeRun::attempt(const std::vector<double>& U, const std::vector<double>& R,
                                            const std::vector<double>& waves, double cfl) {
    std::vector<double> diagonal(waves.size());
    for (std::size_t v = 0; v < waves.size(); ++v) diagonal[v] = waves[v] / cfl;
    assembler_.assemble(U, options_.time, diagonal);
    Trial trial;
    std::vector<double> dU;
    trial.failure = solveLinear(R, dU, trial.iterations);
    if (trial.failure) return trial;
    trial.U = U;
    for (std::size_t i = 0; i < U.size(); ++i) trial.U[i] += dU[i];
    trial.R = residual(trial.U);
    trial.failure = inadmissible(problem_, trial.U, trial.R);
    return trial;
}

// A step from `U` at `cfl`, taken again at half the CFL as long as it cannot be kept, at most
// `options_.halvings` times; `cfl` and `halvings` end as the last try's. The iterations are summed
// over the tries.
PseudoTimeRun::Trial PseudoTimeRun::takeStep(const std::vector<double>& U, const std::vector<double>& R,
                                             double& cfl, int& halvings) {
    const std::vector<double> waves = waveSums(problem_, U, assembler_.firstOwned(), assembler_.lastOwned());
    int iterations = 0;
    for (halvings = 0;; ++halvings, cfl /= 2) {
        Trial trial = attempt(U, R, waves, cfl);
        iterations += trial.iterations;
        if (!trial.failure || halvings == options_.halvings) {
            trial.iterations = iterations;
            return trial;
        }
    }
}

// Every step of the first hundred, then about a hundred more over the iteration limit.
bool PseudoTimeRun::logged(int step) const {
    const int every = std::max(1, (options_.iterationLimit + 99) / 100);
    return step <= 100 || step % every == 0;
}

// The steps still needed at the residual's mean rate of fall over the last ten steps (the
// iteration limit's worth when it does not fall), at the mean time a step took.
double PseudoTimeRun::secondsLeft(int step) const {
    const int back = std::min(step, 10);
    const double now = history_.back(),
                 before = history_[history_.size() - 1 - static_cast<std::size_t>(back)];
    const double goal = options_.tolerance * largest_.scaled;
    double steps = options_.iterationLimit - step;
    if (back > 0 && now < before && now > goal)
        steps = std::min(steps, std::log(goal / now) / (std::log(now / before) / back));
    if (now <= goal) steps = 0;
    return std::max(0.0, steps) * (log_.seconds() - started_) / std::max(step, 1);
}

std::string PseudoTimeRun::progress(int step, const ResidualNorms& norms, double cfl, int iterations,
                                    const std::vector<double>& U, double left) const {
    std::string line = "pseudo-time step " + std::to_string(step) + ": residuals";
    for (std::size_t k = 0; k < kN; ++k)
        line += text(" %.2e", largest_.equation[k] > 0 ? norms.equation[k] / largest_.equation[k] : 0.0);
    line += " (mass, x, y, z momentum, energy) of their largest, CFL " + text("%.3g", cfl) +
            ", largest Mach number " + text("%.3g", largestMach(problem_.gas(), U)) + ", " +
            std::to_string(iterations) + " linear iterations, " + durationText(left) + " left";
    return line;
}

SteadyGasOutcome PseudoTimeRun::finish(SteadyGasOutcome out, const std::string& lastLine) {
    if (lastLogged_ != out.steps && !lastLine.empty()) log_.line(lastLine);
    out.seconds = log_.seconds() - started_;
    log_.line(out.message + " (" + std::to_string(out.linearIterations) + " linear iterations, " +
              durationText(out.seconds) + ")");
    return out;
}

// The linear solver as the options left it: "gmres (restart 30) with ilu".
std::string PseudoTimeRun::solverText() const {
    KSPType method = nullptr;
    PCType preconditioner = nullptr;
    PC pc;
    TARV_PETSC(KSPGetType(ksp_, &method));
    TARV_PETSC(KSPGetPC(ksp_, &pc));
    TARV_PETSC(PCGetType(pc, &preconditioner));
    std::string out = method ? method : "?";
    PetscInt restart = 0;
    if (out == KSPGMRES && KSPGMRESGetRestart(ksp_, &restart) == 0)
        out += " (restart " + std::to_string(restart) + ")";
    return out + " with " + (preconditioner ? preconditioner : "?");
}

SteadyGasOutcome PseudoTimeRun::run(std::vector<double>& U) {
    log_.line("steady flow by implicit pseudo-time steps: local steps from CFL " + text("%g", options_.cfl) +
              ", growing with the residual's fall to at most " + text("%g", options_.largestCfl) +
              "; each step by PETSc's " + solverText() +
              " on the first-order Rusanov Jacobian (options -gas_...); converged at " +
              text("%g", options_.tolerance) + " of the largest residual within " +
              std::to_string(options_.iterationLimit) + " steps");
    started_ = log_.seconds();
    if (U.size() != kN * static_cast<std::size_t>(problem_.dual().vertexCount()))
        throw std::logic_error("a gas state of " + std::to_string(U.size()) + " values for " +
                               std::to_string(problem_.dual().vertexCount()) + " vertices");
    const IdealGas& gas = problem_.gas();
    const std::vector<char>& held = problem_.heldVelocity();
    SteadyGasOutcome out;
    std::vector<double> R = residual(U);
    if (auto bad = inadmissible(problem_, U, R)) {
        out.status = SteadyGasStatus::Diverged;
        out.reason = *bad;
        out.message = "the flow cannot start: " + *bad;
        return finish(out, "");
    }
    const double speed = fastestWave(gas, U);
    ResidualNorms norms = residualNorms(R, held, speed);
    largest_ = norms;
    history_ = {norms.scaled};
    double cfl = options_.cfl;
    bool frozen = false;
    double lowest = norms.scaled;
    int lowestAt = 0;
    std::string lastLine;
    const auto relative = [&] { return largest_.scaled > 0 ? norms.scaled / largest_.scaled : 0.0; };
    const auto fell = [&](const char* how) {
        return std::string("the flow ") + how + std::to_string(out.steps) + " steps: the residual fell to " +
               text("%.3g", out.relativeResidual) + " of its largest";
    };
    for (int step = 1; step <= options_.iterationLimit && relative() > options_.tolerance; ++step) {
        int halvings = 0;
        Trial trial = takeStep(U, R, cfl, halvings);
        const int iterations = trial.iterations;
        out.linearIterations += iterations;
        if (trial.failure) {
            out.status = SteadyGasStatus::Diverged;
            out.relativeResidual = relative();
            out.reason = *trial.failure;
            out.message = "the flow diverged at step " + std::to_string(step) + ": " + *trial.failure +
                          ", which " + std::to_string(halvings) + " halvings of the CFL (to " +
                          text("%.3g", cfl) + ") did not mend";
            return finish(out, lastLine);
        }
        if (halvings > 0)
            log_.line("pseudo-time step " + std::to_string(step) + " taken again at CFL " +
                      text("%.3g", cfl) + " after " + std::to_string(halvings) + " halvings");
        U.swap(trial.U);
        R.swap(trial.R);
        const double before = norms.scaled;
        norms = residualNorms(R, held, speed);
        for (std::size_t k = 0; k < kN; ++k)
            largest_.equation[k] = std::max(largest_.equation[k], norms.equation[k]);
        largest_.scaled = std::max(largest_.scaled, norms.scaled);
        history_.push_back(norms.scaled);
        out.steps = step;
        out.cfl = cfl;
        lastLine = progress(step, norms, cfl, iterations, U, secondsLeft(step));
        if (logged(step)) log_.line(lastLine), lastLogged_ = step;
        if (norms.scaled < lowest) lowest = norms.scaled, lowestAt = step;
        const bool stalled =
            relative() <= options_.stallBelow && step - lowestAt >= options_.freezeAfterStall;
        if (!frozen && options_.freezeLimiter && (relative() <= options_.freezeAt || stalled)) {
            options_.freezeLimiter();
            frozen = true;
            R = residual(U);
            norms = residualNorms(R, held, speed);
            log_.line("the limiter is frozen from step " + std::to_string(step) + " on" +
                      (stalled ? ", the residual not having fallen for " +
                                     std::to_string(options_.freezeAfterStall) + " steps"
                               : ""));
        }
        // Switched evolution relaxation: the CFL follows the residual's fall, within bounds.
        const double fall = norms.scaled > 0 ? before / norms.scaled : options_.cflGrowth;
        cfl = std::min(options_.largestCfl, cfl * std::clamp(fall, 0.1, options_.cflGrowth));
    }
    out.relativeResidual = relative();
    const bool converged = out.relativeResidual <= options_.tolerance;
    out.status = converged ? SteadyGasStatus::Converged : SteadyGasStatus::NotConverged;
    out.message = fell(converged ? "converged in " : "did not converge in ");
    // Where the residual stays is where a user looks first: a boundary, a corner, a bad element.
    if (!converged) out.message += "; the largest residual is at " + nodeText(problem_.dual(), norms.worst);
    return finish(out, lastLine);
}

}  // namespace

SteadyGasOptions steadyGasOptions(const SolverInput& input) {
    SteadyGasOptions options;
    const double tolerance = input.tolerance, limit = input.solve[0], cfl = input.solve[4];
    if (!(tolerance >= 0 && tolerance < 1))
        throw std::runtime_error("compressible flow: the tolerance must be 0 or lie between 0 and 1 (found " +
                                 number(tolerance) + ")");
    if (!(limit >= 0 && limit <= 1e7) || limit != std::floor(limit))
        throw std::runtime_error(
            "compressible flow: the iteration limit must be a whole number from 0 to 10000000 "
            "(found " +
            number(limit) + ")");
    if (!(cfl >= 0 && std::isfinite(cfl)))
        throw std::runtime_error("compressible flow: the CFL number must not be below 0 (found " +
                                 number(cfl) + ")");
    if (tolerance > 0) options.tolerance = tolerance;
    if (limit > 0) options.iterationLimit = static_cast<int>(limit);
    if (cfl > 0) options.cfl = cfl;
    return options;
}

SteadyGasOutcome solveSteadyGas(const GasProblem& problem, std::vector<double>& U,
                                const SteadyGasOptions& options, RunLog& log) {
    PseudoTimeRun run(problem, options, log);
    return run.run(U);
}

}  // namespace tarvsolv
