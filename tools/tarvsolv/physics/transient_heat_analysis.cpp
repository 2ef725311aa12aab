// Transient heat: C dT/dt + K(t) T = f(t) from the initial temperature of the solve rows, stepped
// with Crank-Nicolson. A sudden change (a face put into contact with a fluid of another
// temperature) excites the fast modes of the mesh, which Crank-Nicolson carries on undamped as a
// step-to-step oscillation; the first two steps are therefore each taken as two backward-Euler
// half steps, which damp them (Rannacher's start). Both use the same matrix: the backward-Euler
// half step solves (2C/dt + K) T = 2C/dt T0 + f, and Crank-Nicolson, times two,
// (2C/dt + K) T1 = (2C/dt - K) T0 + f0 + f1, so one factorisation serves the whole run unless
// convection coefficients follow time. Held temperatures are taken out of that matrix, and each
// step's right-hand side carries their values at the step's time, so they follow their tables.
#include <petscksp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "fem/element_kernels.h"
#include "fem/element_loop.h"
#include "physics/analyses.h"
#include "physics/error_report.h"
#include "physics/heat_assembly.h"
#include "physics/heat_balance.h"
#include "physics/heat_flux.h"
#include "physics/heat_solutions.h"
#include "physics/held_temperatures.h"
#include "physics/time_step_driver.h"
#include "physics/time_stepping.h"

namespace tarvsolv {
namespace {

// Whether the conduction matrix changes over time: only through convection coefficients that are
// not plain numbers (a time table or a formula). Conductivities are taken at the start.
bool matrixFollowsTime(const Job& job) {
    for (const Load& load : job.entries.loads)
        if (load.kind == LoadKind::Convection && !load.values[0].isConstant()) return true;
    return false;
}

// Consistent heat capacity, density times specific heat integrated against the shape functions.
// Nodes no element uses get a unit entry, so they keep the initial temperature.
void assembleCapacity(const Job& job, const DofLayout& layout, SystemAssembler& assembler) {
    const int degree = job.mesh.nodesPerElement == 4 ? 2 : 5;
    std::vector<double> ce;
    forEachAssembledElement(job.mesh, layout, [&](int e) {
        const auto nodes = job.mesh.elementNodes(e);
        const std::size_t p = nodes.size();
        const double rhoC = job.materials->forElement(*job.geometry, e)
                                .heatCapacityAt(elementPoint(job.mesh, e, 0.0, job.initialTemperature()));
        ce.assign(p * p, 0.0);
        for (const VolumePoint& g : volumePoints(job.mesh, e, degree))
            for (std::size_t i = 0; i < p; ++i)
                for (std::size_t j = 0; j < p; ++j) ce[i * p + j] += rhoC * g.weight * g.n[i] * g.n[j];
        assembler.addElement(nodes, ce, nullptr);
    });
    assembler.holdStrayNodes(job.mesh);
    assembler.finish();
}

// Conduction matrix K and heat loads f at one time; the matrix is rebuilt only when asked.
class HeatSystem {
  public:
    HeatSystem(const Job& job, const DofLayout& layout, const MatrixPattern& pattern)
        : job_(job), layout_(layout), pattern_(pattern), f_(layout.createVector()) {
        for (const Load& load : job.entries.loads)
            if (load.kind == LoadKind::HeatGeneration) internalHeat_ = true;
    }

    // `nodal`: the temperatures conductivities follow (none: the initial temperature).
    void evaluate(double time, bool withMatrix, RunLog* log, const std::vector<double>* nodal = nullptr) {
        TARV_PETSC(VecZeroEntries(f_));
        if (withMatrix) {
            k_ = pattern_.createMatrix();
            SystemAssembler assembler(pattern_, k_, f_);
            fill(assembler, time, true, log, nodal);
        } else {
            SystemAssembler assembler(layout_, f_);
            fill(assembler, time, internalHeat_, log, nodal);
        }
    }
    Mat k() const { return k_; }
    Vec f() const { return f_; }

  private:
    // The element loop is needed for the matrix and for internal heat; flux and convection alone
    // only need the boundary.
    void fill(SystemAssembler& assembler, double time, bool elements, RunLog* log,
              const std::vector<double>* nodal) {
        if (elements) assembleConduction(job_, layout_, assembler, time, nodal);
        if (layout_.onFirstProcess()) assembleBoundary(job_, assembler, time, log);
        assembler.finish();
    }

    const Job& job_;
    const DofLayout& layout_;
    const MatrixPattern& pattern_;
    MatHandle k_;
    VecHandle f_;
    bool internalHeat_ = false;
};

// The held temperatures in the stepping matrix a = K + 2C/dt, which is assembled with nothing
// held: their rows and columns are taken out (each keeps its own diagonal), and each solve's
// right-hand side hands the held values' share over to the other rows, so that the solution
// carries the held values exactly. The heat that holding them takes over a step is what the full
// equations lack at the held rows: dt/2 (K T + 2C/dt T - rhs), for a Crank-Nicolson step of dt
// and a backward-Euler half step alike.
class HeldRows {
  public:
    HeldRows(const HeldTemperatures& held, const DofLayout& layout) : held_(held), layout_(layout) {
        for (std::size_t i = 0; i < held.nodes().size(); ++i)
            if (layout.ownsNode(held.nodes()[i])) owned_.push_back(i);
        for (std::size_t i : owned_) rows_.push_back(held.nodes()[i]);
        if (held.empty()) return;
        full_ = layout.createVector();
        work_ = layout.createVector();
        share_ = layout.createVector();
    }

    // Takes the held rows and columns out of `a`, keeping their diagonal.
    void reduce(Mat a) {
        if (held_.empty()) return;
        TARV_PETSC(MatGetDiagonal(a, work_));
        diagonal_.assign(rows_.size(), 0.0);
        if (!rows_.empty())
            TARV_PETSC(
                VecGetValues(work_, static_cast<PetscInt>(rows_.size()), rows_.data(), diagonal_.data()));
        TARV_PETSC(
            MatZeroRowsColumns(a, static_cast<PetscInt>(rows_.size()), rows_.data(), 1.0, nullptr, nullptr));
        for (std::size_t r = 0; r < rows_.size(); ++r)
            TARV_PETSC(MatSetValue(a, rows_[r], rows_[r], diagonal_[r], INSERT_VALUES));
        TARV_PETSC(MatAssemblyBegin(a, MAT_FINAL_ASSEMBLY));
        TARV_PETSC(MatAssemblyEnd(a, MAT_FINAL_ASSEMBLY));
    }

    // Puts the held values at `time` into `t`.
    void setValues(Vec t, double time) { insert(t, held_.valuesAt(time), nullptr); }

    // Turns the full right-hand side `rhs` of a solve at `time` into the reduced one, keeping the
    // full one for stepHeat; `t`, the starting guess, takes the held values.
    void lift(Vec rhs, Vec t, Mat k, Mat c, double twoOverDt, double time) {
        if (held_.empty()) return;
        TARV_PETSC(VecCopy(rhs, full_));
        const std::vector<double> values = held_.valuesAt(time);
        TARV_PETSC(VecZeroEntries(work_));
        insert(work_, values, nullptr);
        TARV_PETSC(MatMult(k, work_, share_));
        TARV_PETSC(VecAXPY(rhs, -1.0, share_));
        TARV_PETSC(MatMult(c, work_, share_));
        TARV_PETSC(VecAXPY(rhs, -twoOverDt, share_));
        insert(rhs, values, &diagonal_);
        insert(t, values, nullptr);
    }

    // The heat into each node over the step just solved (on the first process; empty elsewhere).
    std::vector<double> stepHeat(Vec t, Mat k, Mat c, double twoOverDt, double halfStep) {
        TARV_PETSC(MatMult(c, t, work_));
        TARV_PETSC(VecScale(work_, twoOverDt));
        TARV_PETSC(MatMult(k, t, share_));
        TARV_PETSC(VecAXPY(work_, 1.0, share_));
        TARV_PETSC(VecAXPY(work_, -1.0, full_));
        TARV_PETSC(VecScale(work_, halfStep));
        return gatherOnFirst(work_);
    }

  private:
    // Sets the owned held rows of `v` to `values` (of every held node), times `scale` when given.
    void insert(Vec v, const std::vector<double>& values, const std::vector<double>* scale) {
        std::vector<double> own(rows_.size());
        for (std::size_t r = 0; r < rows_.size(); ++r)
            own[r] = values[owned_[r]] * (scale ? (*scale)[r] : 1.0);
        if (!rows_.empty())
            TARV_PETSC(VecSetValues(v, static_cast<PetscInt>(rows_.size()), rows_.data(), own.data(),
                                    INSERT_VALUES));
        TARV_PETSC(VecAssemblyBegin(v));
        TARV_PETSC(VecAssemblyEnd(v));
    }

    const HeldTemperatures& held_;
    const DofLayout& layout_;
    std::vector<std::size_t> owned_;  // positions in held_.nodes() of this process's held nodes
    std::vector<PetscInt> rows_;      // their rows
    std::vector<double> diagonal_;    // their diagonal in the stepping matrix
    VecHandle full_, work_, share_;
};

// The heat balance over the run, summed by the steps' own rules so that it holds to the solver's
// tolerance: a backward-Euler step of size h adds h times the flows at its end, a Crank-Nicolson
// step the mean of the flows at both ends. The heat stored is 1^T C (T_end - T_start).
class RunBalance {
  public:
    RunBalance(const Job& job, const HeldTemperatures& held, const DofLayout& layout, Mat capacity,
               Vec temperatures)
        : job_(job),
          held_(held),
          layout_(layout),
          capacity_(capacity),
          t_(temperatures),
          start_(layout.createVector()) {
        TARV_PETSC(VecCopy(t_, start_));
        last_ = at(0);
        if (layout.onFirstProcess()) heldTotal_ = held.flows(std::vector<double>(job.mesh.nodeCount(), 0.0));
    }
    // Adds the heat into the held nodes over one step (as HeldRows::stepHeat answers it).
    void addHeld(const std::vector<double>& nodalHeat) {
        if (!layout_.onFirstProcess()) return;
        const std::vector<HeatFlow> step = held_.flows(nodalHeat);
        for (std::size_t i = 0; i < step.size(); ++i) heldTotal_[i].flow += step[i].flow;
    }
    void backwardEuler(double time, double size) {
        last_ = at(time);
        addFlows(total_, last_, size);
    }
    void crankNicolson(double time, double size) {
        addFlows(total_, last_, size / 2);
        last_ = at(time);
        addFlows(total_, last_, size / 2);
    }
    void log(RunLog& log) {
        VecHandle change = layout_.createVector(), stored = layout_.createVector();
        TARV_PETSC(VecWAXPY(change, -1.0, start_, t_));
        TARV_PETSC(MatMult(capacity_, change, stored));
        TARV_PETSC(VecSum(stored, &total_.stored));
        total_.overRun = true;
        total_.held = heldTotal_;
        settle(total_);
        if (layout_.onFirstProcess()) logHeatBalance(total_, log);
    }

  private:
    HeatBalance at(double time) {
        const std::vector<double> nodal = gatherOnFirst(t_);
        return layout_.onFirstProcess() ? heatBalance(job_, nodal, time) : HeatBalance{};
    }

    const Job& job_;
    const HeldTemperatures& held_;
    const DofLayout& layout_;
    Mat capacity_;
    Vec t_;
    VecHandle start_;
    HeatBalance last_, total_;
    std::vector<HeatFlow> heldTotal_;
};

// The temperature layout, announced with the run's plan.
DofLayout announcedLayout(const Job& job, const StepPlan& plan, RunLog& log) {
    DofLayout layout(job.mesh, 1, PETSC_COMM_WORLD);
    log.line("transient heat: " + std::to_string(layout.dofCount()) + " temperatures, " +
             std::to_string(plan.steps) + " steps of " + number(plan.size) + " s, results every " +
             std::to_string(plan.printEvery) + " steps, initial temperature " +
             number(job.initialTemperature()));
    return layout;
}

// Crank-Nicolson steps, the first two taken as two backward-Euler half steps each.
class HeatStepper : public TimeStepper {
  public:
    HeatStepper(const Job& job, const StepPlan& plan, RunLog& log);
    void start() override;
    TimeStepOutcome advance(int step, double time, bool written) override;
    std::optional<StepResult> results() override;
    std::string progress() override;
    void finish(RunLog& log) override { balance_->log(log); }
    // Written steps carry the error estimate of their heat flux, logged to `log`. Off when the
    // stepper serves a thermal stress, whose steps carry the estimate of their stresses instead.
    void estimateErrors(RunLog& log) { estimateLog_ = &log; }

  private:
    void buildMatrix();
    void solveAt(double at);
    void backwardEulerHalfStep();
    void crankNicolsonStep();

    const Job& job_;
    const StepPlan plan_;
    const double twoOverDt_;
    // Conductivities that follow temperature are taken at each step's starting temperatures, so
    // the matrix is rebuilt every step like one whose convection follows time.
    const bool followsTemperature_, varying_;
    const DofLayout layout_;
    const HeldTemperatures held_;
    const MatrixPattern pattern_;
    MatHandle c_, a_;
    HeatSystem system_;
    StepSolver solver_;
    HeldRows heldRows_;
    VecHandle t_, rhs_, work_, previous_;
    std::optional<RunBalance> balance_;
    double time_ = 0;
    int step_ = 0;
    TimeStepOutcome outcome_;  // of the step being taken
    RunLog* estimateLog_ = nullptr;
};

HeatStepper::HeatStepper(const Job& job, const StepPlan& plan, RunLog& log)
    : job_(job),
      plan_(plan),
      twoOverDt_(2 / plan.size),
      followsTemperature_(job.materials->conductivityMayVary()),
      varying_(matrixFollowsTime(job) || followsTemperature_),
      layout_(announcedLayout(job, plan, log)),
      held_(job, &log),
      pattern_(job.mesh, layout_),
      c_(pattern_.createMatrix()),
      system_(job, layout_, pattern_),
      solver_(job.solver, layout_, job.mesh, stepTolerance(job.tolerance)),
      heldRows_(held_, layout_),
      t_(layout_.createVector()),
      rhs_(layout_.createVector()),
      work_(layout_.createVector()),
      previous_(layout_.createVector()) {
    {
        SystemAssembler assembler(pattern_, c_, nullptr);
        assembleCapacity(job, layout_, assembler);
    }
    system_.evaluate(0, true, &log);
    buildMatrix();
}

// a = K + 2C/dt, with the held rows taken out.
void HeatStepper::buildMatrix() {
    a_.reset();
    TARV_PETSC(MatDuplicate(system_.k(), MAT_COPY_VALUES, a_.out()));
    TARV_PETSC(MatAXPY(a_, twoOverDt_, c_, SAME_NONZERO_PATTERN));
    heldRows_.reduce(a_);
    solver_.setMatrix(a_);
}

// Held nodes start at their values at t = 0, the others at the initial temperature.
void HeatStepper::start() {
    TARV_PETSC(VecSet(t_, job_.initialTemperature()));
    heldRows_.setValues(t_, 0);
    balance_.emplace(job_, held_, layout_, c_, t_);
}

// Moves the system to `at`, adds its loads to rhs and solves into t.
void HeatStepper::solveAt(double at) {
    std::vector<double> start;
    if (followsTemperature_) start = gatherOnAll(t_);
    system_.evaluate(at, varying_, nullptr, followsTemperature_ ? &start : nullptr);
    if (varying_) buildMatrix();
    TARV_PETSC(VecAXPY(rhs_, 1.0, system_.f()));
    heldRows_.lift(rhs_, t_, system_.k(), c_, twoOverDt_, at);
    const auto [iterations, residual] = solver_.solve(rhs_, t_);
    outcome_.iterations += iterations;
    outcome_.residual = std::max(outcome_.residual, static_cast<double>(residual));
    if (!held_.empty())
        balance_->addHeld(heldRows_.stepHeat(t_, system_.k(), c_, twoOverDt_, plan_.size / 2));
}

void HeatStepper::backwardEulerHalfStep() {
    TARV_PETSC(MatMult(c_, t_, rhs_));
    TARV_PETSC(VecScale(rhs_, twoOverDt_));
    time_ += plan_.size / 2;
    solveAt(time_);
}

void HeatStepper::crankNicolsonStep() {
    TARV_PETSC(MatMult(c_, t_, rhs_));
    TARV_PETSC(VecScale(rhs_, twoOverDt_));
    TARV_PETSC(MatMult(system_.k(), t_, work_));
    TARV_PETSC(VecAXPY(rhs_, -1.0, work_));
    TARV_PETSC(VecAXPY(rhs_, 1.0, system_.f()));
    time_ += plan_.size;
    solveAt(time_);
}

TimeStepOutcome HeatStepper::advance(int step, double time, bool) {
    step_ = step;
    TARV_PETSC(VecCopy(t_, previous_));
    outcome_ = {};
    if (step <= 2) {
        backwardEulerHalfStep();
        balance_->backwardEuler(time_, plan_.size / 2);
        backwardEulerHalfStep();
        time_ = time;  // the two halves, without their rounding
        balance_->backwardEuler(time_, plan_.size / 2);
    } else {
        crankNicolsonStep();
        time_ = time;
        balance_->crankNicolson(time_, plan_.size);
    }
    return outcome_;
}

std::optional<StepResult> HeatStepper::results() {
    std::vector<double> temperatures = gatherOnFirst(t_);
    if (!layout_.onFirstProcess()) return std::nullopt;
    StepResult step = withHeat(job_, StepResult{}, std::move(temperatures), time_);
    if (estimateLog_)
        addHeatErrorEstimate(job_, step.nodeFields.front().values, time_, step, *estimateLog_,
                             "step " + std::to_string(step_) + ": ");
    return step;
}

std::string HeatStepper::progress() {
    TARV_PETSC(VecAXPY(previous_, -1.0, t_));
    PetscReal change = 0, lowest = 0, highest = 0;
    TARV_PETSC(VecNorm(previous_, NORM_INFINITY, &change));
    TARV_PETSC(VecMin(t_, nullptr, &lowest));
    TARV_PETSC(VecMax(t_, nullptr, &highest));
    char text[128];
    std::snprintf(text, sizeof text, "temperatures %.6g to %.6g, largest change %.3g, ", lowest, highest,
                  change);
    return text;
}

}  // namespace

std::unique_ptr<TimeStepper> transientHeatStepper(const Job& job, const StepPlan& plan, RunLog& log) {
    return std::make_unique<HeatStepper>(job, plan, log);
}

void solveTransientHeat(const Job& job, RunLog& log, ResultSink& results) {
    checkThermalEntries(job, log);
    const StepPlan plan = stepPlan(job.input, "transient heating");
    HeatStepper stepper(job, plan, log);
    stepper.estimateErrors(log);
    runTimeSteps("transient heating", plan, job.solver, stepper, results, log);
}

}  // namespace tarvsolv
