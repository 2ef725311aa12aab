// Incompressible flow (Navier-Stokes) on quadratic tetrahedra, Taylor-Hood P2/P1, and (header
// code 10) the heat it carries: the energy equation with quadratic temperatures, coupled in the
// same Newton solve, buoyancy by Boussinesq; results TEMP with the flow's. Steady flow is
// Newton's method from the Stokes flow; when Newton alone does not reach the full density, the
// density of the convective term (the Reynolds number) is continued from the last converged
// share toward 1, halving the step after a failure. Transient flow starts from rest and steps with
// BDF2 at a fixed step size (the first step BDF1), a Newton solve per step. Results: VELO, PRES
// (every node; mid-side nodes the mean of their edge's corners) and VORT per printed step.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "physics/analyses.h"
#include "physics/error_report.h"
#include "physics/flow_bodies.h"
#include "physics/flow_conditions.h"
#include "physics/flow_heat_terms.h"
#include "physics/flow_newton.h"
#include "physics/flow_report.h"
#include "physics/flow_system.h"
#include "physics/partial_results.h"
#include "physics/time_step_driver.h"
#include "physics/time_stepping.h"

namespace tarvsolv {
namespace {

constexpr const char* kAnalysis = "incompressible flow";
// Loads and inlets of a steady flow are taken at t = 1, as every steady analysis takes them.
constexpr double kSteadyTime = 1;
// The relative residual and the Newton iterations when the solve rows give 0.
constexpr double kDefaultTolerance = 1e-6;
constexpr int kDefaultIterationLimit = 25;
// Halvings of a continuation step in a row before a steady run gives up.
constexpr int kMaxHalvings = 8;

std::string text(const char* format, double value) {
    char out[64];
    std::snprintf(out, sizeof out, format, value);
    return out;
}

// The held values into `x` (the rest of it as it is).
void setHeldValues(const FlowLayout& layout, Vec x) {
    PetscInt first = 0, end = 0;
    TARV_PETSC(VecGetOwnershipRange(x, &first, &end));
    for (PetscInt dof = first; dof < end; ++dof)
        if (layout.isHeld(static_cast<int>(dof)))
            TARV_PETSC(VecSetValue(x, dof, layout.heldValue(static_cast<int>(dof)), INSERT_VALUES));
    TARV_PETSC(VecAssemblyBegin(x));
    TARV_PETSC(VecAssemblyEnd(x));
}

void checkFlowModel(const Job& job) {
    if (job.mesh.nodesPerElement != 10)
        throw std::runtime_error(
            "incompressible flow needs a quadratic mesh (10-node tetrahedra): its velocities live on the "
            "mid-side nodes too; mesh the model again with quadratic elements");
}

// Everything a flow run holds: the unknowns, the boundary, the equations and Newton's method.
struct FlowRun {
    // `timeFactor`: the time steps' du/dt factor (0: steady).
    FlowRun(const Job& job, double time, double timeFactor, RunLog& log)
        : job(job),
          layout(job.mesh, PETSC_COMM_WORLD, carriesHeat(job)),
          bodies(job, carriesHeat(job), log),
          conditions(job, layout, bodies, time, log),
          heat(carriesHeat(job)
                   ? std::make_optional<FlowHeatTerms>(job, layout, bodies, time, timeFactor == 0, log)
                   : std::nullopt),
          system(job, layout, bodies, conditions, heat ? &*heat : nullptr),
          newton(system, layout, job.solver, tolerance(job), iterationLimit(job), timeFactor) {
        log.line(std::string(kAnalysis) + ": " + std::to_string(3 * job.mesh.nodeCount()) + " velocities, " +
                 std::to_string(layout.cornerCount()) + " pressures, " +
                 (heat ? std::to_string(job.mesh.nodeCount()) + " temperatures, " : std::string()) +
                 std::to_string(layout.heldCount()) + " held; Newton to a relative residual of " +
                 number(tolerance(job)) + " in at most " + std::to_string(iterationLimit(job)) +
                 " iterations; linear solver: " + newton.solverName());
    }

    static bool carriesHeat(const Job& job) { return job.kind == SolveKind::Multiphysics; }
    static double tolerance(const Job& job) {
        return job.input.tolerance == 0 ? kDefaultTolerance : job.tolerance;
    }
    static int iterationLimit(const Job& job) {
        const double limit = job.input.row2();
        return limit >= 1 && limit < 1e6 ? static_cast<int>(limit) : kDefaultIterationLimit;
    }

    // The start of a run: at rest, every temperature at the initial temperature, the held values
    // held.
    void startState(Vec x) const {
        TARV_PETSC(VecZeroEntries(x));
        if (heat)
            for (int node = layout.nodes().firstNode(); node < layout.nodes().endNode(); ++node)
                TARV_PETSC(VecSetValue(x, layout.temperatureDof(node), heat->reference(), INSERT_VALUES));
        TARV_PETSC(VecAssemblyBegin(x));
        TARV_PETSC(VecAssemblyEnd(x));
        setHeldValues(layout, x);
    }

    // The fields of state `x` as a result step (on the first process; none elsewhere), with the
    // error estimate of its strain rate logged to `log` after `label`.
    std::optional<StepResult> results(Vec x, RunLog& log, const std::string& label = "") const {
        const std::vector<double> state = gatherOnFirst(x);
        if (!layout.onFirstProcess()) return std::nullopt;
        StepResult step;
        std::vector<double> u = system.velocities(state);
        step.add(NodeQuantity::Velocity, u);
        step.add(NodeQuantity::Pressure, system.pressures(state));
        step.add(NodeQuantity::Vorticity, nodalVorticity(job.mesh, u));
        if (heat) {
            std::vector<double> t = heat->temperatures(state), q = heat->heatFlux(t);
            step.add(NodeQuantity::Temperature, std::move(t));
            step.add(NodeQuantity::HeatFlux, std::move(q));
        }
        addStrainRateErrorEstimate(job, u, system.viscosities(), step, log, label);
        return step;
    }

    // The fluid's force on the walls, the flow through the openings and the mass balance; with
    // heat, the heat balance of the state solved at `at` and the Nusselt numbers.
    void report(Vec x, const FlowInstant& at, RunLog& log) const {
        const std::vector<double> state = gatherOnFirst(x);
        if (!layout.onFirstProcess()) return;
        const std::vector<double> u = system.velocities(state), p = system.pressures(state);
        logFlowReport(log, faceFlows(*job.geometry, conditions.walls(), u, p, system.viscosities()),
                      faceFlows(*job.geometry, conditions.openings(), u, p, system.viscosities()), job.units);
        if (heat) heat->report(state, at, conditions.openings(), log);
    }

    const Job& job;
    FlowLayout layout;
    FlowBodies bodies;
    FlowConditions conditions;
    std::optional<FlowHeatTerms> heat;
    FlowSystem system;
    FlowNewton newton;
};

// Steady flow: Stokes, then Newton at the full density, or the density continued toward it.
void solveSteadyFlow(const Job& job, RunLog& log, ResultSink& results) {
    FlowRun run(job, kSteadyTime, 0, log);
    VecHandle x = run.layout.createVector(), last = run.layout.createVector();
    run.startState(x);
    const double reference = run.newton.residualNorm(x, {kSteadyTime, 0.0});
    double converged = -1;  // the density share of the last converged solve
    const auto attempt = [&](double share) {
        log.line(share == 0 ? std::string("Stokes flow (no convection)")
                            : "Navier-Stokes at " + number(share) + " of the density");
        const NewtonOutcome out = run.newton.solve(x, {kSteadyTime, share}, reference, &log);
        if (out.converged) {
            TARV_PETSC(VecCopy(x, last));
            converged = share;
        } else {
            log.line("  not converged at " + number(share) + " of the density: " + out.failure);
            TARV_PETSC(VecCopy(last, x));
        }
        return out;
    };
    const NewtonOutcome stokes = attempt(0);
    if (!stokes.converged)
        throw std::runtime_error(std::string(kAnalysis) + ": the Stokes flow does not converge (" +
                                 stokes.failure + ")");
    NewtonOutcome out = attempt(1);
    std::string why = out.failure;
    for (double step = 0.25, halvings = 0; converged < 1 && halvings <= kMaxHalvings;) {
        out = attempt(std::min(1.0, converged + step));
        if (out.converged) {
            step = std::min(2 * step, 1 - converged);
            halvings = 0;
        } else {
            why = out.failure;
            step /= 2;
            ++halvings;
        }
    }
    if (std::optional<StepResult> step = run.results(x, log)) results.step(*step);
    if (converged < 1)
        throw PartialResults(
            std::string(kAnalysis) + ": Newton's method does not converge at the full density (" + why +
            ", also when the density is continued in steps); the result file holds the flow at " +
            number(converged) + " of the density" +
            (converged == 0 ? " (Stokes flow, without convection)" : ""));
    log.line("converged at the full density");
    run.report(x, FlowInstant{kSteadyTime}, log);
}

// Transient flow from rest: BDF2 steps (the first BDF1), each a Newton solve.
class FlowStepper : public TimeStepper {
  public:
    FlowStepper(const Job& job, const StepPlan& plan, RunLog& log)
        : plan_(plan),
          log_(log),
          run_(job, plan.size, 1.5 / plan.size, log),
          x_(run_.layout.createVector()),
          saved_(run_.layout.createVector()) {}

    void start() override {
        run_.startState(x_);
        current_.assign(3 * static_cast<std::size_t>(run_.job.mesh.nodeCount()), 0.0);
        previous_ = current_;
        if (run_.heat) currentT_ = previousT_ = run_.heat->temperatures(gatherOnAll(x_));
    }

    TimeStepOutcome advance(int step, double time, bool) override {
        step_ = step;
        TARV_PETSC(VecCopy(x_, saved_));
        run_.conditions.holdInletsAt(time);
        if (run_.heat) run_.heat->holdAt(time);
        setHeldValues(run_.layout, x_);
        // du/dt = (3 u - 4 u_n + u_n-1) / (2 dt), or (u - u_n) / dt on the first step.
        const double dt = plan_.size;
        const bool first = step == 1;
        history_.resize(current_.size());
        for (std::size_t i = 0; i < current_.size(); ++i)
            history_[i] = first ? -current_[i] / dt : (-4 * current_[i] + previous_[i]) / (2 * dt);
        historyT_.resize(currentT_.size());
        for (std::size_t i = 0; i < currentT_.size(); ++i)
            historyT_[i] = first ? -currentT_[i] / dt : (-4 * currentT_[i] + previousT_[i]) / (2 * dt);
        const FlowInstant at{time, 1.0, first ? 1 / dt : 1.5 / dt, &history_,
                             run_.heat ? &historyT_ : nullptr};
        const NewtonOutcome out = run_.newton.solve(x_, at, reference_, plan_.logged(step) ? &log_ : nullptr);
        TimeStepOutcome outcome;
        outcome.converged = out.converged;
        outcome.iterations = out.linearIterations;
        outcome.residual = out.relative;
        outcome.detail = "Newton " + std::to_string(out.iterations) + " iterations, linear: ";
        if (!out.converged) {
            outcome.failure = "(Newton's method: " + out.failure + ", relative residual " +
                              text("%.3g", out.relative) + ")";
            TARV_PETSC(VecCopy(saved_, x_));
            return outcome;
        }
        reference_ = std::max(reference_, out.residual / std::max(out.relative, 1e-300));
        const std::vector<double> state = gatherOnAll(x_);
        previous_ = std::move(current_);
        current_ = run_.system.velocities(state);
        if (run_.heat) previousT_ = std::move(currentT_), currentT_ = run_.heat->temperatures(state);
        // The next step overwrites the history: the balance of the last step keeps its own.
        solvedHistoryT_ = historyT_;
        solved_ = FlowInstant{time, 1.0, at.timeFactor, nullptr, run_.heat ? &solvedHistoryT_ : nullptr};
        return outcome;
    }

    std::optional<StepResult> results() override {
        return run_.results(x_, log_, "step " + std::to_string(step_) + ": ");
    }

    std::string progress() override {
        double fastest = 0;
        for (std::size_t n = 0; n + 2 < current_.size(); n += 3)
            fastest = std::max(fastest, std::hypot(current_[n], current_[n + 1], current_[n + 2]));
        return text("largest speed %.6g, ", fastest);
    }

    void finish(RunLog& log) override { run_.report(x_, solved_, log); }

  private:
    const StepPlan plan_;
    RunLog& log_;
    FlowRun run_;
    VecHandle x_, saved_;
    std::vector<double> current_, previous_, history_;     // velocities at steps n, n-1; du/dt's history
    std::vector<double> currentT_, previousT_, historyT_;  // the same of the temperatures
    std::vector<double> solvedHistoryT_;                   // dT/dt's history of the last step taken
    FlowInstant solved_;                                   // the last step taken
    int step_ = 0;                                         // the step being taken
    double reference_ = 0;                                 // the largest first residual of the steps so far
};

}  // namespace

void solveIncompressibleFlow(const Job& job, RunLog& log, ResultSink& results) {
    checkFlowModel(job);
    if (job.input.solve[1] == 0) return solveSteadyFlow(job, log, results);
    const StepPlan plan = stepPlan(job.input, kAnalysis);
    FlowStepper stepper(job, plan, log);
    runTimeSteps(kAnalysis, plan, job.solver, stepper, results, log);
}

}  // namespace tarvsolv
