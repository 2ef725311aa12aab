// Forced vibrations: M a + C v + K u = f(t) from rest, with Rayleigh damping C = alpha M + beta K,
// stepped by Newmark's average acceleration rule (beta = 1/4, gamma = 1/2), which is
// unconditionally stable and adds no numerical damping, so a decay seen in the results is the
// damping typed in. Each step solves for the new accelerations,
//   (M + gamma dt C + beta dt^2 K) a1 = f1 - C v* - K u*,
//   u* = u0 + dt v0 + (1/2 - beta) dt^2 a0,  v* = v0 + (1 - gamma) dt a0,
// and then u1 = u* + beta dt^2 a1, v1 = v* + gamma dt a1. The step matrix stays the same for the
// whole run: it is factorised once (MF) or given to the multigrid once (PCG). The loads at t = 0
// give the initial accelerations through the mass matrix. Prescribed displacements that are
// plain numbers hold their values from t = 0 on, their accelerations and velocities 0; those
// that follow time (tables, formulas in t) move as physics/prescribed_motion says.
//
// Gaps and contact add their forces at the step's displacements to the right-hand side, which
// makes each step nonlinear: physics/contact_time_steps solves it by Newton's method and changes
// the step matrix only when the set of points in contact does. A step that does not converge ends
// the run with the printed steps before it.
#include <petscksp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <tuple>

#include "fem/system_assembler.h"
#include "physics/analyses.h"
#include "physics/contact_constraints.h"
#include "physics/contact_time_steps.h"
#include "physics/elastic_assembly.h"
#include "physics/error_report.h"
#include "physics/load_stepping.h"
#include "physics/prescribed_motion.h"
#include "physics/structural_conditions.h"
#include "physics/structural_setup.h"
#include "physics/structural_statics.h"
#include "physics/time_step_driver.h"
#include "physics/time_stepping.h"

namespace tarvsolv {
namespace {

constexpr double kNewmarkBeta = 0.25, kNewmarkGamma = 0.5;
// Whether any load changes with time: only values that are not plain numbers can.
bool loadsFollowTime(const Job& job) {
    for (const Load& load : job.entries.loads)
        for (const Expression& value : load.values)
            if (!value.isConstant()) return true;
    return false;
}

// Stiffness, mass and the loads that do not follow time (thermal strains and what the prescribed
// displacements put on their neighbours).
struct StructuralMatrices {
    MatHandle k, m;
    VecHandle steady;
};

StructuralMatrices assembleMatrices(const Job& job, const MatrixPattern& pattern,
                                    const TemperatureField& temperatures) {
    const DofLayout& layout = pattern.layout();
    StructuralMatrices out{pattern.createMatrix(), pattern.createMatrix(), layout.createVector()};
    SystemAssembler stiffness(pattern, out.k, out.steady), mass(pattern, out.m, nullptr);
    ElasticTargets targets;
    targets.stiffness = &stiffness;
    targets.mass = &mass;
    targets.thermal = true;
    targets.noDensity = "forced vibrations need a density above 0 in every material (no mass)";
    assembleElastic(job, layout, temperatures, targets);
    stiffness.holdStrayNodes(job.mesh);
    mass.holdStrayNodes(job.mesh);
    stiffness.finish();
    mass.finish();
    return out;
}

// The loads at `time`: the steady part, body forces and the boundary loads.
void loadsAt(const Job& job, const DofLayout& layout, const TemperatureField& temperatures, Vec steady,
             double time, Vec f, RunLog& log) {
    TARV_PETSC(VecCopy(steady, f));
    assembleBodyLoads(job, layout, temperatures, false, f, time);
    assembleBoundaryLoads(job, layout, f, log, time);
}

// The initial accelerations M a0 = r0: the consistent mass is well conditioned whatever the mesh,
// so Jacobi-preconditioned conjugate gradients solve it in a few dozen iterations for either
// solver choice, and the direct solver factorises only the step matrix.
void solveMass(Mat m, Vec r, Vec a, MPI_Comm comm) {
    KspHandle ksp;
    TARV_PETSC(KSPCreate(comm, ksp.out()));
    TARV_PETSC(KSPSetOperators(ksp, m, m));
    TARV_PETSC(KSPSetType(ksp, KSPCG));
    PC pc;
    TARV_PETSC(KSPGetPC(ksp, &pc));
    TARV_PETSC(PCSetType(pc, PCJACOBI));
    TARV_PETSC(KSPSetTolerances(ksp, 1e-12, 1e-300, PETSC_DEFAULT, 10000));
    TARV_PETSC(KSPSetNormType(ksp, KSP_NORM_UNPRECONDITIONED));
    TARV_PETSC(KSPSolve(ksp, r, a));
    KSPConvergedReason reason;
    TARV_PETSC(KSPGetConvergedReason(ksp, &reason));
    if (reason < 0)
        throw std::runtime_error("the initial accelerations could not be solved (a density is invalid)");
}

// The set-up of the run: displacement conditions that follow time at their values at t = 0, lifted
// out of the layout (PrescribedMotion moves them), the constant ones at their values; gaps and
// contact stepped with the state, open gaps holding as the body moves.
StructuralOptions setupOptions(bool moving) {
    StructuralOptions options;
    options.values = moving ? StructuralOptions::Values::Lifted : StructuralOptions::Values::AtTime;
    options.time = moving ? 0.0 : 1.0;
    options.openGaps = OpenGaps::Hold;
    return options;
}

void checkDamping(double alpha, double beta) {
    if (!(alpha >= 0) || !(beta >= 0) || !std::isfinite(alpha) || !std::isfinite(beta))
        throw std::runtime_error("forced vibrations need damping coefficients of 0 or more (found " +
                                 number(alpha) + " and " + number(beta) + ")");
}

// Newmark's average acceleration steps from rest, with the contact's Newton iterations when the
// model has gaps or contact.
class NewmarkStepper : public TimeStepper {
  public:
    NewmarkStepper(const Job& job, const StepPlan& plan, RunLog& log);
    void start() override;
    TimeStepOutcome advance(int step, double time, bool written) override;
    std::optional<StepResult> results() override;
    std::string progress() override;
    void finish(RunLog& log) override;

  private:
    void buildStepMatrix();
    void setInitialState();
    void residualInto(Vec uPart, Vec vPart);
    TimeStepOutcome solveStep();

    const Job& job_;
    RunLog& log_;
    const StepPlan plan_;
    const double alpha_, beta_, dt_;
    const bool moving_;
    StructuralSetup setup_;
    const DofLayout& start_;  // the prescribed values at t = 0
    const DofLayout& layout_;
    ContactConstraints* contact_;
    const TemperatureField& temperatures_;
    StructuralMatrices system_;
    MatHandle a_;
    StepSolver solver_;
    VecHandle freeMask_, u_, v_, acc_, f_, r_, work_, uStar_, vStar_;
    std::optional<ContactTimeSteps> contactSteps_;
    std::optional<PrescribedMotion> motion_;
    bool varying_ = false;
    int step_ = 0;                    // the last step advanced to, for the estimate's log line
    RunLog quiet_{"", false, false};  // later load evaluations repeat the first one's lines
};

NewmarkStepper::NewmarkStepper(const Job& job, const StepPlan& plan, RunLog& log)
    : job_(job),
      log_(log),
      plan_(plan),
      alpha_(job.input.massDamping),
      beta_(job.input.stiffnessDamping),
      dt_(plan.size),
      moving_(displacementsFollowTime(job)),
      setup_(job, log, setupOptions(moving_)),
      start_(setup_.valuedLayout()),
      layout_(setup_.layout()),
      contact_(setup_.contact()),
      temperatures_(setup_.temperatures()),
      solver_(job.solver, layout_, job.mesh, stepTolerance(job.tolerance)) {
    log.line("forced vibrations: " + std::to_string(layout_.dofCount()) + " unknowns (" +
             std::to_string(layout_.prescribedCount()) + " prescribed), " + std::to_string(plan.steps) +
             " steps of " + number(plan.size) + " s, results every " + std::to_string(plan.printEvery) +
             " steps, damping " + number(alpha_) + " M + " + number(beta_) + " K");
    buildStepMatrix();
    setInitialState();
    if (contact_)
        contactSteps_.emplace(job, layout_, *contact_, a_, kNewmarkBeta * dt_ * dt_, freeMask_, solver_);
    else
        solver_.setMatrix(a_);
    if (moving_) {
        motion_.emplace(job, layout_, temperatures_, dt_);
        log.line("prescribed displacements follow time: evaluated at every step");
    }
    varying_ = moving_ || loadsFollowTime(job);
}

// The step matrix (1 + gamma dt alpha) M + (gamma dt beta + beta_N dt^2) K.
void NewmarkStepper::buildStepMatrix() {
    system_ = assembleMatrices(job_, setup_.pattern(), temperatures_);
    TARV_PETSC(MatDuplicate(system_.k, MAT_COPY_VALUES, a_.out()));
    TARV_PETSC(MatScale(a_, kNewmarkGamma * dt_ * beta_ + kNewmarkBeta * dt_ * dt_));
    TARV_PETSC(MatAXPY(a_, 1 + kNewmarkGamma * dt_ * alpha_, system_.m, SAME_NONZERO_PATTERN));
}

// Free unknowns 1 in the mask, prescribed 0: the prescribed ones never accelerate. The prescribed
// displacements start at their values at t = 0.
void NewmarkStepper::setInitialState() {
    for (VecHandle* v : {&freeMask_, &u_, &v_, &acc_, &f_, &r_, &work_, &uStar_, &vStar_})
        *v = layout_.createVector();
    PetscInt begin = 0, end = 0;
    TARV_PETSC(VecGetOwnershipRange(u_, &begin, &end));
    for (PetscInt i = begin; i < end; ++i) {
        const bool held = layout_.isPrescribed(static_cast<int>(i));
        TARV_PETSC(VecSetValue(freeMask_, i, held ? 0.0 : 1.0, INSERT_VALUES));
        TARV_PETSC(
            VecSetValue(u_, i, held ? start_.prescribedValue(static_cast<int>(i)) : 0.0, INSERT_VALUES));
    }
    for (Vec v : {static_cast<Vec>(freeMask_), static_cast<Vec>(u_)}) {
        TARV_PETSC(VecAssemblyBegin(v));
        TARV_PETSC(VecAssemblyEnd(v));
    }
}

// r = f - K (u + beta v) - alpha M v on the free unknowns. Without mass damping the product with
// M is left out: it was one of the five products with a matrix that a step takes when the
// projection alone meets its solve.
void NewmarkStepper::residualInto(Vec uPart, Vec vPart) {
    TARV_PETSC(VecWAXPY(work_, beta_, vPart, uPart));
    TARV_PETSC(MatMult(system_.k, work_, r_));
    TARV_PETSC(VecAYPX(r_, -1.0, f_));
    if (alpha_ != 0) {
        TARV_PETSC(MatMult(system_.m, vPart, work_));
        TARV_PETSC(VecAXPY(r_, -alpha_, work_));
    }
    TARV_PETSC(VecPointwiseMult(r_, r_, freeMask_));
}

// The loads at t = 0 give the initial accelerations: with v = 0, M a0 = f - K u0.
void NewmarkStepper::start() {
    loadsAt(job_, layout_, temperatures_, system_.steady, 0.0, f_, log_);
    if (motion_) motion_->addLoad(0, alpha_, beta_, f_);
    residualInto(u_, v_);
    if (contactSteps_) contactSteps_->addForces(u_, r_);
    solveMass(system_.m, r_, acc_, layout_.comm());
    TARV_PETSC(VecPointwiseMult(acc_, acc_, freeMask_));
}

TimeStepOutcome NewmarkStepper::advance(int step, double time, bool written) {
    step_ = step;
    // Predictors u* = u + dt v + (1/2 - beta) dt^2 a, v* = v + (1 - gamma) dt a.
    TARV_PETSC(VecCopy(u_, uStar_));
    TARV_PETSC(VecAXPBYPCZ(uStar_, dt_, (0.5 - kNewmarkBeta) * dt_ * dt_, 1.0, v_, acc_));
    TARV_PETSC(VecCopy(v_, vStar_));
    TARV_PETSC(VecAXPY(vStar_, (1 - kNewmarkGamma) * dt_, acc_));
    if (varying_) loadsAt(job_, layout_, temperatures_, system_.steady, time, f_, quiet_);
    if (motion_) motion_->addLoad(step, alpha_, beta_, f_);
    residualInto(uStar_, vStar_);
    const TimeStepOutcome outcome = solveStep();
    if (!outcome.converged) return outcome;
    TARV_PETSC(VecWAXPY(u_, kNewmarkBeta * dt_ * dt_, acc_, uStar_));
    TARV_PETSC(VecWAXPY(v_, kNewmarkGamma * dt_, acc_, vStar_));
    if (motion_) motion_->setState(step, u_, v_, acc_);
    if (contactSteps_) contactSteps_->accept(u_, written ? &log_ : nullptr);
    return outcome;
}

// Solves the step's accelerations into acc, by Newton's method with the contact.
TimeStepOutcome NewmarkStepper::solveStep() {
    TimeStepOutcome outcome;
    if (!contactSteps_) {
        std::tie(outcome.iterations, outcome.residual) = solver_.solve(r_, acc_);
        TARV_PETSC(VecPointwiseMult(acc_, acc_, freeMask_));
        return outcome;
    }
    const ContactTimeSteps::Outcome newton = contactSteps_->solve(r_, uStar_, acc_);
    outcome.converged = newton.converged;
    outcome.failure = "with the contact (" + newton.failure + ")";
    // The tail's residual is then the step's Newton residual, relative to its right-hand side.
    outcome.iterations = newton.linearIterations;
    outcome.residual = newton.residual;
    outcome.detail = std::to_string(newton.newtonIterations) + " Newton iterations, " +
                     std::to_string(newton.augmentations) + " augmentations, ";
    return outcome;
}

std::optional<StepResult> NewmarkStepper::results() {
    std::vector<double> displacements = gatherOnFirst(u_), velocities = gatherOnFirst(v_);
    if (!layout_.onFirstProcess()) return std::nullopt;
    layout_.toGlobal(displacements);
    layout_.toGlobal(velocities);
    CornerResults corners = elementStresses(job_, temperatures_, displacements);
    StepResult result;
    result.add(NodeQuantity::Displacement, std::move(displacements));
    result.add(NodeQuantity::Velocity, std::move(velocities));
    result.corners.nodes = std::move(corners.nodes);
    result.corners.stresses = std::move(corners.stresses);
    // At rest (the start) there is no solution to measure an error against.
    if (step_ > 0)
        addStressErrorEstimate(job_, temperatures_, true, result.nodeFields.front().values, result, log_,
                               "step " + std::to_string(step_) + ": ");
    return result;
}

// The largest displacement and the kinetic plus strain energy of the free unknowns.
std::string NewmarkStepper::progress() {
    PetscReal largest = 0;
    TARV_PETSC(VecNorm(u_, NORM_INFINITY, &largest));
    PetscScalar kinetic = 0, strain = 0;
    TARV_PETSC(VecPointwiseMult(uStar_, u_, freeMask_));
    TARV_PETSC(MatMult(system_.m, v_, work_));
    TARV_PETSC(VecDot(v_, work_, &kinetic));
    TARV_PETSC(MatMult(system_.k, uStar_, work_));
    TARV_PETSC(VecDot(uStar_, work_, &strain));
    char text[96];
    std::snprintf(text, sizeof text, "largest displacement %.6g, energy %.6g, ", largest,
                  0.5 * (kinetic + strain));
    return text;
}

void NewmarkStepper::finish(RunLog& log) {
    if (!contactSteps_) return;
    log.line("contact: the step matrix was " +
             std::string(job_.solver == SolverChoice::Direct ? "factorised" : "set up for the multigrid") +
             " again " + std::to_string(contactSteps_->matrixChanges()) + " times in " +
             std::to_string(plan_.steps) + " steps, when the set of points in contact changed");
}

}  // namespace

void solveForcedVibration(const Job& job, RunLog& log, ResultSink& results) {
    const StepPlan plan = stepPlan(job.input, "forced vibrations");
    checkDamping(job.input.massDamping, job.input.stiffnessDamping);
    NewmarkStepper stepper(job, plan, log);
    runTimeSteps("forced vibrations", plan, job.solver, stepper, results, log);
}

}  // namespace tarvsolv
