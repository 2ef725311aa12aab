#include "physics/load_stepping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "fem/matrix_pattern.h"
#include "linalg/linear_solvers.h"
#include "linalg/tangent_solver.h"
#include "physics/reactions.h"

namespace tarvsolv {

namespace {

// Backtracking tries the Newton step at 1, 1/2, ... 1/128 of its length; a step that keeps every
// element admissible is only cut to 1/8 for a lower residual. The first Newton step of a bent
// slender part raises the residual a thousandfold (its rotation stretches the fibres along a
// straight line) and yet is the step to take: a cut to 1/128 that lowers it by a hair would crawl.
constexpr int kLineSearchCuts = 8;
constexpr int kResidualCuts = 4;

std::string number(const char* pattern, double v) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, v);
    return text;
}

// The Newton system of a state: the tangent and the residual lambda f - f_int(u) of the free
// unknowns, on a layout whose prescribed unknowns hold still (their increments are 0), so that
// solving it gives the correction of the free unknowns only.
class NewtonSystem {
  public:
    NewtonSystem(const Job& job, const DofLayout& layout, Vec external, NonlinearSystem& system,
                 bool symmetric)
        : job_(job),
          layout_(layout),
          increments_(layout.withoutPrescribedValues()),
          external_(external),
          system_(system),
          r_(increments_.createVector()),
          du_(increments_.createVector()),
          tangent_(job.solver, increments_, job.mesh),
          symmetric_(symmetric) {
        followCouplings();
    }

    // Builds the matrix again when the system couples other nodes than it did (contact pairs
    // found again on a deformed state).
    void followCouplings() {
        std::vector<std::vector<int>> couplings = system_.couplings();
        if (pattern_ && couplings == couplings_) return;
        couplings_ = std::move(couplings);
        pattern_.emplace(job_.mesh, increments_, couplings_);
        k_ = pattern_->createMatrix();
    }

    // Assembles at `u` and answers the residual norm; throws when the state is not admissible.
    double assemble(const std::vector<double>& u, double lambda) {
        TARV_PETSC(MatZeroEntries(k_));
        TARV_PETSC(VecZeroEntries(r_));
        std::vector<double> global = u;
        layout_.toGlobal(global);
        {
            SystemAssembler assembler(*pattern_, k_, r_);
            system_.assemble(u, global, lambda, assembler);
            assembler.holdStrayNodes(job_.mesh);
            assembler.finish();
        }
        TARV_PETSC(VecAXPY(r_, lambda, external_));
        double norm = 0;
        TARV_PETSC(VecNorm(r_, NORM_2, &norm));
        if (!std::isfinite(norm)) throw std::runtime_error("the residual is not finite");
        return norm;
    }

    // The prescribed unknowns of the next correction move by `factor` times their prescribed
    // values (0: they hold still).
    void prescribeIncrement(double factor) { increments_.setPrescribedValues(layout_, factor); }

    // Solves the assembled system for the Newton correction of every unknown.
    std::vector<double> correction() {
        tangent_.solve(k_, r_, du_, kIterativeTolerance, symmetric_);
        return gatherOnAll(du_);
    }
    const TangentSolver& tangent() const { return tangent_; }

  private:
    const Job& job_;
    const DofLayout& layout_;
    DofLayout increments_;
    std::vector<std::vector<int>> couplings_;
    std::optional<MatrixPattern> pattern_;
    Vec external_;
    NonlinearSystem& system_;
    MatHandle k_;
    VecHandle r_, du_;
    TangentSolver tangent_;
    bool symmetric_;
};

// The reaction table of the converged state `global` at `lambda`: the held nodes take what the
// internal forces leave over of the applied loads and the gap forces there, the gaps to rigid
// planes their forces; the applied loads are the dead loads at `lambda` and the loads that follow
// the state.
ReactionBalance finalReactions(const Job& job, const DofLayout& layout, NonlinearSystem& system,
                               const LoadSteppingOptions& options, double lambda,
                               const std::vector<double>& global) {
    const DofLayout free(job.mesh, 3, layout.comm());
    VecHandle state = free.createVector(), dead = free.createVector(), follower = free.createVector();
    {
        SystemAssembler assembler(free, state);
        system.assemble(global, global, lambda, assembler);
        assembler.finish();
    }
    options.loads(free, dead);
    {
        SystemAssembler assembler(free, follower);
        system.addFollowerLoads(global, lambda, assembler);
        assembler.finish();
    }
    // `state` holds the follower loads less the internal forces.
    std::vector<double> supports = gatherOnAll(state), loads = gatherOnAll(dead);
    const std::vector<double> following = gatherOnAll(follower);
    for (std::size_t i = 0; i < supports.size(); ++i) {
        supports[i] = -(supports[i] + lambda * loads[i]);
        loads[i] = lambda * loads[i] + following[i];
    }
    std::vector<double> planes(supports.size(), 0.0), positions;
    system.addSupportForces(global, planes);
    if (options.deformedArms) {
        positions = job.mesh.xyz;
        for (std::size_t i = 0; i < positions.size(); ++i) positions[i] += global[i];
    }
    return balanceOf(job, layout, supports, loads, positions, planes);
}

struct StepOutcome {
    bool converged = false;
    int iterations = 0;
    double residual = 0;  // relative to the step's reference force
    std::string failure;  // why it did not converge
};

class LoadStepper {
  public:
    LoadStepper(const Job& job, const DofLayout& layout, Vec external, NonlinearSystem& system,
                const LoadSteppingOptions& options)
        : layout_(layout),
          newton_(job, layout, external, system, options.symmetricTangent),
          options_(options) {
        TARV_PETSC(VecNorm(external, NORM_2, &loadNorm_));
    }

    // Newton iterations from `u` (the last converged state, at load factor `previous`) to load
    // factor `lambda`; `u` is the converged state when the outcome says so.
    StepOutcome solveStep(std::vector<double>& u, double previous, double lambda) {
        StepOutcome outcome;
        newton_.followCouplings();
        try {
            // The first correction is taken on the tangent of the converged state, with the
            // prescribed unknowns moved by the step's increment: the whole body follows them. Moved
            // alone, they would strain only the elements next to them, which may then yield and
            // leave a body held by those unknowns without stiffness.
            newton_.prescribeIncrement(lambda - previous);
            const double first = newton_.assemble(u, lambda);
            const std::vector<double> predictor = newton_.correction();
            newton_.prescribeIncrement(0);
            for (std::size_t i = 0; i < u.size(); ++i) u[i] += predictor[i];
            for (int d = 0; d < layout_.dofCount(); ++d)
                if (layout_.isPrescribed(d)) u[d] = lambda * layout_.prescribedValue(d);
            outcome.iterations = 1;
            double norm = newton_.assemble(u, lambda);
            const double reference = std::max(std::abs(lambda) * loadNorm_, first);
            while (norm > options_.tolerance * reference) {
                if (outcome.iterations == options_.maxIterations) {
                    outcome.failure =
                        "no convergence in " + std::to_string(options_.maxIterations) + " iterations";
                    outcome.residual = norm / reference;
                    return outcome;
                }
                ++outcome.iterations;
                norm = lineSearch(u, newton_.correction(), lambda, norm);
            }
            outcome.residual = reference > 0 ? norm / reference : 0;
            outcome.converged = true;
        } catch (const std::runtime_error& e) {
            newton_.prescribeIncrement(0);
            outcome.failure = e.what();
        }
        return outcome;
    }

    const TangentSolver& tangent() const { return newton_.tangent(); }

  private:
    // Moves `u` along `d` by the longest of 1, 1/2, ... that lowers the residual norm `norm` and
    // answers the new norm, with the system assembled there. When no cut lowers it, takes the
    // full Newton step (the residual of a yielding or sliding state may rise before it falls).
    double lineSearch(std::vector<double>& u, const std::vector<double>& d, double lambda, double norm) {
        if (!options_.lineSearch) {
            for (std::size_t i = 0; i < u.size(); ++i) u[i] += d[i];
            return newton_.assemble(u, lambda);
        }
        std::vector<double> candidate(u.size());
        double scale = 1;
        std::optional<double> fullStep;
        for (int cut = 0; cut < kLineSearchCuts; ++cut, scale /= 2) {
            for (std::size_t i = 0; i < u.size(); ++i) candidate[i] = u[i] + scale * d[i];
            double next = 0;
            try {
                next = newton_.assemble(candidate, lambda);
            } catch (const std::runtime_error&) {
                continue;  // an element turned inside out: try a shorter step
            }
            if (cut == 0) fullStep = next;
            if (next < norm) {
                u.swap(candidate);
                return next;
            }
            if (fullStep && cut + 1 == kResidualCuts) break;
        }
        if (!fullStep) throw std::runtime_error("every Newton step turns an element inside out");
        for (std::size_t i = 0; i < u.size(); ++i) u[i] += d[i];
        return newton_.assemble(u, lambda);
    }

    const DofLayout& layout_;
    NewtonSystem newton_;
    const LoadSteppingOptions& options_;
    double loadNorm_ = 0;
};

// The run stops at load step `step` + 1 (load factor `target`), after `step` steps converged up to
// load factor `reached`.
PartialResults stopAt(const std::string& analysis, int step, double target, double reached) {
    return PartialResults(analysis + ": load step " + std::to_string(step + 1) + " (load factor " +
                          number("%.6g", target) + ") does not converge; " +
                          (step == 0 ? std::string("no step converged")
                                     : "the results of the " + std::to_string(step) +
                                           " converged steps (load factor " + number("%.6g", reached) +
                                           ") are kept"));
}

// A step's results go on with its number and load factor.
void handOn(std::optional<StepResult> result, int step, double lambda, ResultSink& results) {
    if (!result) return;
    result->number = step;
    result->time = lambda;
    results.step(*result);
}

void warnUnstable(const std::string& analysis, int negativePivots, double lambda, RunLog& log) {
    log.warning(analysis + ": the tangent stiffness has " + std::to_string(negativePivots) +
                " negative pivots at load factor " + number("%.6g", lambda) +
                ": this equilibrium is unstable (a buckling or bifurcation point lies behind)");
}

}  // namespace

void solveInLoadSteps(const Job& job, const DofLayout& layout, Vec external, NonlinearSystem& system,
                      const LoadSteppingOptions& options, RunLog& log, ResultSink& results) {
    if (!(options.finalFactor > 0) || options.steps < 1)
        throw std::runtime_error(options.analysis + ": the load factor must be above 0");
    LoadStepper stepper(job, layout, external, system, options);
    const double nominal = options.finalFactor / options.steps;
    double lambda = 0, increment = nominal;
    int cuts = 0, step = 0;
    bool unstableLogged = false;
    std::vector<double> u(static_cast<std::size_t>(layout.dofCount()), 0.0);
    const double last = options.finalFactor * (1 - 1e-9);  // a sum of steps may fall short by rounding
    while (lambda < last) {
        const double target = lambda + increment < last ? lambda + increment : options.finalFactor;
        std::vector<double> trial = u;
        const StepOutcome outcome = stepper.solveStep(trial, lambda, target);
        if (!outcome.converged) {
            log.line(options.analysis + ": load factor " + number("%.6g", target) + " not reached (" +
                     outcome.failure + ")");
            if (++cuts > options.maxHalvings) throw stopAt(options.analysis, step, target, lambda);
            increment /= 2;
            continue;
        }
        u.swap(trial);
        lambda = target;
        ++step;
        std::vector<double> global = u;
        layout.toGlobal(global);
        // Before the step is accepted, which moves the contact multipliers on.
        std::optional<ReactionBalance> reactions;
        if (lambda >= last && options.loads)
            reactions = finalReactions(job, layout, system, options, lambda, global);
        handOn(system.acceptStep(step, lambda, u, global), step, lambda, results);
        log.line("step " + std::to_string(step) + ": load factor " + number("%.6g", lambda) + ", " +
                 std::to_string(outcome.iterations) + " Newton iterations, residual " +
                 number("%.3g", outcome.residual));
        if (reactions) logReactions(*reactions, log);
        if (stepper.tangent().negativePivots() > 0 && !unstableLogged) {
            unstableLogged = true;
            warnUnstable(options.analysis, stepper.tangent().negativePivots(), lambda, log);
        }
        // A cut step grows back toward the nominal size once it converges.
        if (cuts > 0) {
            --cuts;
            increment = std::min(nominal, 2 * increment);
        }
    }
    if (stepper.tangent().setUps() > 0)
        log.line(options.analysis + ": the solver's preconditioner was set up " +
                 std::to_string(stepper.tangent().setUps()) + " times for " +
                 std::to_string(stepper.tangent().solves()) + " tangent solves");
}

}  // namespace tarvsolv
