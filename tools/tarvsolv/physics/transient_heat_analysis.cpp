// Transient heat: C dT/dt + K(t) T = f(t) from the initial temperature of the solve rows, stepped
// with Crank-Nicolson. A sudden change (a face put into contact with a fluid of another
// temperature) excites the fast modes of the mesh, which Crank-Nicolson carries on undamped as a
// step-to-step oscillation; the first two steps are therefore each taken as two backward-Euler
// half steps, which damp them (Rannacher's start). Both use the same matrix: the backward-Euler
// half step solves (2C/dt + K) T = 2C/dt T0 + f, and Crank-Nicolson, times two,
// (2C/dt + K) T1 = (2C/dt - K) T0 + f0 + f1, so one factorisation serves the whole run unless
// convection coefficients follow time.
#include <petscksp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "fem/element_kernels.h"
#include "formats/result_writer.h"
#include "physics/analyses.h"
#include "physics/heat_assembly.h"
#include "physics/heat_balance.h"
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
    for (int e = 0; e < job.mesh.elementCount(); ++e) {
        if (!layout.assemblesElement(job.mesh, e)) continue;
        const auto nodes = job.mesh.elementNodes(e);
        const std::size_t p = nodes.size();
        Vec3 c;
        for (int k = 0; k < 4; ++k) c = c + job.mesh.node(nodes[k]);
        const double rhoC = job.materials->forBody(job.geometry->bodyOfElement(e))
                                .heatCapacityAt(EvalPoint{0.25 * c, 0.0, job.initialTemperature()});
        ce.assign(p * p, 0.0);
        for (const VolumePoint& g : volumePoints(job.mesh, e, degree))
            for (std::size_t i = 0; i < p; ++i)
                for (std::size_t j = 0; j < p; ++j) ce[i * p + j] += rhoC * g.weight * g.n[i] * g.n[j];
        assembler.addElement(nodes, ce, nullptr);
    }
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

// The heat balance over the run, summed by the steps' own rules so that it holds to the solver's
// tolerance: a backward-Euler step of size h adds h times the flows at its end, a Crank-Nicolson
// step the mean of the flows at both ends. The heat stored is 1^T C (T_end - T_start).
class RunBalance {
  public:
    RunBalance(const Job& job, const DofLayout& layout, Mat capacity, Vec temperatures)
        : job_(job), layout_(layout), capacity_(capacity), t_(temperatures), start_(layout.createVector()) {
        TARV_PETSC(VecCopy(t_, start_));
        last_ = at(0);
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
        settle(total_);
        if (layout_.onFirstProcess()) logHeatBalance(total_, log);
    }

  private:
    HeatBalance at(double time) {
        const std::vector<double> nodal = gatherOnFirst(t_);
        return layout_.onFirstProcess() ? heatBalance(job_, nodal, time) : HeatBalance{};
    }

    const Job& job_;
    const DofLayout& layout_;
    Mat capacity_;
    Vec t_;
    VecHandle start_;
    HeatBalance last_, total_;
};

}  // namespace

std::string solveTransientHeat(const Job& job, RunLog& log) {
    checkThermalEntries(job, log);
    const StepPlan plan = stepPlan(job.input, "transient heating");
    // Conductivities that follow temperature are taken at each step's starting temperatures, so the
    // matrix is rebuilt every step like one whose convection follows time.
    const bool followsTemperature = job.materials->conductivityMayVary();
    const bool varying = matrixFollowsTime(job) || followsTemperature;
    DofLayout layout(job.mesh, 1, PETSC_COMM_WORLD);
    log.line("transient heat: " + std::to_string(layout.dofCount()) + " temperatures, " +
             std::to_string(plan.steps) + " steps of " + number(plan.size) + " s, results every " +
             std::to_string(plan.printEvery) + " steps, initial temperature " +
             number(job.initialTemperature()));
    const MatrixPattern pattern(job.mesh, layout);
    MatHandle c = pattern.createMatrix();
    {
        SystemAssembler assembler(pattern, c, nullptr);
        assembleCapacity(job, layout, assembler);
    }
    const double twoOverDt = 2 / plan.size;
    HeatSystem system(job, layout, pattern);
    system.evaluate(0, true, &log);

    MatHandle a;
    StepSolver solver(job.solver, layout.comm(), stepTolerance(job.tolerance));
    const auto buildMatrix = [&] {  // a = K + 2C/dt
        a.reset();
        TARV_PETSC(MatDuplicate(system.k(), MAT_COPY_VALUES, a.out()));
        TARV_PETSC(MatAXPY(a, twoOverDt, c, SAME_NONZERO_PATTERN));
        solver.setMatrix(a);
    };
    buildMatrix();

    VecHandle t = layout.createVector(), rhs = layout.createVector(), work = layout.createVector(),
              previous = layout.createVector();
    TARV_PETSC(VecSet(t, job.initialTemperature()));
    double time = 0;
    int iterations = 0;
    double residual = 0;
    // Moves the system to `at`, adds its loads to rhs and solves into t.
    const auto solveAt = [&](double at) {
        std::vector<double> start;
        if (followsTemperature) start = gatherOnAll(t);
        system.evaluate(at, varying, nullptr, followsTemperature ? &start : nullptr);
        if (varying) buildMatrix();
        TARV_PETSC(VecAXPY(rhs, 1.0, system.f()));
        const auto [its, res] = solver.solve(rhs, t);
        iterations += its;
        residual = std::max(residual, static_cast<double>(res));
    };
    const auto backwardEulerHalfStep = [&] {
        TARV_PETSC(MatMult(c, t, rhs));
        TARV_PETSC(VecScale(rhs, twoOverDt));
        time += plan.size / 2;
        solveAt(time);
    };
    const auto crankNicolsonStep = [&] {
        TARV_PETSC(MatMult(c, t, rhs));
        TARV_PETSC(VecScale(rhs, twoOverDt));
        TARV_PETSC(MatMult(system.k(), t, work));
        TARV_PETSC(VecAXPY(rhs, -1.0, work));
        TARV_PETSC(VecAXPY(rhs, 1.0, system.f()));
        time += plan.size;
        solveAt(time);
    };

    RunBalance balance(job, layout, c, t);

    std::string blocks;
    const double started = log.seconds();
    for (int step = 1; step <= plan.steps; ++step) {
        TARV_PETSC(VecCopy(t, previous));
        iterations = 0;
        residual = 0;
        if (step <= 2) {
            backwardEulerHalfStep();
            balance.backwardEuler(time, plan.size / 2);
            backwardEulerHalfStep();
            time = step * plan.size;  // the two halves, without their rounding
            balance.backwardEuler(time, plan.size / 2);
        } else {
            crankNicolsonStep();
            time = step * plan.size;
            balance.crankNicolson(time, plan.size);
        }
        const bool printed = plan.printed(step);
        if (printed) {
            const std::vector<double> temperatures = gatherOnFirst(t);
            if (layout.onFirstProcess()) blocks += results::temperatureBlock(step, temperatures);
        }
        if (plan.logged(step)) {
            TARV_PETSC(VecAXPY(previous, -1.0, t));
            PetscReal change = 0, lowest = 0, highest = 0;
            TARV_PETSC(VecNorm(previous, NORM_INFINITY, &change));
            TARV_PETSC(VecMin(t, nullptr, &lowest));
            TARV_PETSC(VecMax(t, nullptr, &highest));
            const double spent = log.seconds() - started;
            char text[160];
            std::snprintf(text, sizeof text,
                          "step %d/%d, t = %g s: temperatures %.6g to %.6g, largest change %.3g, ", step,
                          plan.steps, time, lowest, highest, change);
            log.line(text + stepProgressTail(job.solver, iterations, residual, spent, step, plan.steps) +
                     (printed ? " (written as TEMP " + std::to_string(step) + ")" : ""));
        }
    }
    balance.log(log);
    return blocks;
}

}  // namespace tarvsolv
