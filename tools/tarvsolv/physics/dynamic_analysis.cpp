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

#include "fem/rigid_motion_check.h"
#include "fem/system_assembler.h"
#include "formats/result_writer.h"
#include "physics/analyses.h"
#include "physics/contact_constraints.h"
#include "physics/contact_time_steps.h"
#include "physics/free_body_check.h"
#include "physics/load_stepping.h"
#include "physics/prescribed_motion.h"
#include "physics/structural_conditions.h"
#include "physics/structural_statics.h"
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
    std::vector<double> ke, me, fe, part;
    for (int e = 0; e < job.mesh.elementCount(); ++e) {
        if (!layout.assemblesElement(job.mesh, e)) continue;
        const ElasticMaterial mat = elementMaterial(job, temperatures, e);
        if (!(mat.density > 0))
            throw std::runtime_error("forced vibrations need a density above 0 in every material (no mass)");
        elasticStiffness(job.mesh, e, mat, ke);
        consistentMass(job.mesh, e, mat.density * job.units.massScale, me);
        fe.assign(ke.size() ? 3 * job.mesh.nodesPerElement : 0, 0.0);
        if (!temperatures.nodal.empty()) {
            thermalLoad(job.mesh, e, mat, temperatures.changes(job.mesh, e), part);
            for (std::size_t i = 0; i < fe.size(); ++i) fe[i] += part[i];
        }
        stiffness.addElement(job.mesh.elementNodes(e), ke, &fe);
        mass.addElement(job.mesh.elementNodes(e), me, nullptr);
    }
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

// The run ends at a step that does not converge, keeping the printed steps before it.
PartialResults stopBefore(int step, double dt, int printedSteps, const std::string& why,
                          const std::string& blocks) {
    return PartialResults(
        "forced vibrations: time step " + std::to_string(step) + " (t = " + number(step * dt) +
            " s) does not converge with the contact (" + why +
            "); the run reached t = " + number((step - 1) * dt) + " s" +
            (printedSteps == 0 ? std::string(", before any printed step")
                               : " and keeps its " + std::to_string(printedSteps) + " printed steps"),
        blocks);
}

}  // namespace

std::string solveForcedVibration(const Job& job, RunLog& log) {
    const StepPlan plan = stepPlan(job.input, "forced vibrations");
    const double alpha = job.input.massDamping, beta = job.input.stiffnessDamping;
    if (!(alpha >= 0) || !(beta >= 0) || !std::isfinite(alpha) || !std::isfinite(beta))
        throw std::runtime_error("forced vibrations need damping coefficients of 0 or more (found " +
                                 number(alpha) + " and " + number(beta) + ")");
    DofLayout layout(job.mesh, 3, PETSC_COMM_WORLD);
    // Values that follow time start from those at t = 0 and are the load of PrescribedMotion at
    // every step; constant ones are lifted once, into the steady loads.
    const bool moving = displacementsFollowTime(job);
    applyDisplacementConditions(job, layout, false, log, moving ? 0.0 : 1.0);
    const DofLayout start = layout;
    if (moving) layout = layout.withoutPrescribedValues();
    std::optional<ContactConstraints> contact;
    std::vector<std::vector<int>> couplings;
    if (!job.entries.contacts.empty()) {
        contact.emplace(job, log);
        checkHeldWithContact(job, layout, *contact, OpenGaps::Hold);
        couplings = contact->couplings();
    } else if (const auto free = findFreeRigidMotion(job.mesh, layout)) {
        throw std::runtime_error(*free);
    }
    const TemperatureField temperatures = temperatureField(job, log);
    log.line("forced vibrations: " + std::to_string(layout.dofCount()) + " unknowns (" +
             std::to_string(layout.prescribedCount()) + " prescribed), " + std::to_string(plan.steps) +
             " steps of " + number(plan.size) + " s, results every " + std::to_string(plan.printEvery) +
             " steps, damping " + number(alpha) + " M + " + number(beta) + " K");
    const MatrixPattern pattern(job.mesh, layout, couplings);
    StructuralMatrices system = assembleMatrices(job, pattern, temperatures);

    const double dt = plan.size;
    // The step matrix (1 + gamma dt alpha) M + (gamma dt beta + beta_N dt^2) K.
    MatHandle a;
    TARV_PETSC(MatDuplicate(system.k, MAT_COPY_VALUES, a.out()));
    TARV_PETSC(MatScale(a, kNewmarkGamma * dt * beta + kNewmarkBeta * dt * dt));
    TARV_PETSC(MatAXPY(a, 1 + kNewmarkGamma * dt * alpha, system.m, SAME_NONZERO_PATTERN));
    StepSolver solver(job.solver, layout.comm(), stepTolerance(job.tolerance));

    // Free unknowns 1, prescribed 0: the prescribed ones never accelerate.
    VecHandle freeMask = layout.createVector(), u = layout.createVector(), v = layout.createVector(),
              acc = layout.createVector(), f = layout.createVector(), r = layout.createVector(),
              work = layout.createVector();
    {
        PetscInt begin = 0, end = 0;
        TARV_PETSC(VecGetOwnershipRange(u, &begin, &end));
        for (PetscInt i = begin; i < end; ++i) {
            const bool held = layout.isPrescribed(static_cast<int>(i));
            TARV_PETSC(VecSetValue(freeMask, i, held ? 0.0 : 1.0, INSERT_VALUES));
            TARV_PETSC(
                VecSetValue(u, i, held ? start.prescribedValue(static_cast<int>(i)) : 0.0, INSERT_VALUES));
        }
        TARV_PETSC(VecAssemblyBegin(freeMask));
        TARV_PETSC(VecAssemblyEnd(freeMask));
        TARV_PETSC(VecAssemblyBegin(u));
        TARV_PETSC(VecAssemblyEnd(u));
    }
    std::optional<ContactTimeSteps> contactSteps;
    if (contact)
        contactSteps.emplace(job, layout, *contact, a, kNewmarkBeta * dt * dt, freeMask, solver);
    else
        solver.setMatrix(a);

    std::optional<PrescribedMotion> motion;
    if (moving) {
        motion.emplace(job, layout, temperatures, dt);
        log.line("prescribed displacements follow time: evaluated at every step");
    }
    const bool varying = moving || loadsFollowTime(job);
    loadsAt(job, layout, temperatures, system.steady, 0.0, f, log);
    if (motion) motion->addLoad(0, alpha, beta, f);
    RunLog quiet("", false, false);  // later load evaluations repeat the first one's lines
    // r = f - K (u + beta v) - alpha M v; with v = 0 at the start, M a0 = f - K u0.
    const auto residualInto = [&](Vec uPart, Vec vPart) {
        TARV_PETSC(VecWAXPY(work, beta, vPart, uPart));
        TARV_PETSC(MatMult(system.k, work, r));
        TARV_PETSC(VecAYPX(r, -1.0, f));
        TARV_PETSC(MatMult(system.m, vPart, work));
        TARV_PETSC(VecAXPY(r, -alpha, work));
        TARV_PETSC(VecPointwiseMult(r, r, freeMask));
    };
    residualInto(u, v);
    if (contactSteps) contactSteps->addForces(u, r);
    solveMass(system.m, r, acc, layout.comm());
    TARV_PETSC(VecPointwiseMult(acc, acc, freeMask));

    VecHandle uStar = layout.createVector(), vStar = layout.createVector();
    const auto energy = [&] {  // kinetic plus strain energy of the free unknowns
        PetscScalar kinetic = 0, strain = 0;
        TARV_PETSC(VecPointwiseMult(uStar, u, freeMask));
        TARV_PETSC(MatMult(system.m, v, work));
        TARV_PETSC(VecDot(v, work, &kinetic));
        TARV_PETSC(MatMult(system.k, uStar, work));
        TARV_PETSC(VecDot(uStar, work, &strain));
        return 0.5 * (kinetic + strain);
    };

    std::string blocks;
    int printedSteps = 0;
    const double started = log.seconds();
    for (int step = 1; step <= plan.steps; ++step) {
        const double time = step * dt;
        // Predictors u* = u + dt v + (1/2 - beta) dt^2 a, v* = v + (1 - gamma) dt a.
        TARV_PETSC(VecCopy(u, uStar));
        TARV_PETSC(VecAXPBYPCZ(uStar, dt, (0.5 - kNewmarkBeta) * dt * dt, 1.0, v, acc));
        TARV_PETSC(VecCopy(v, vStar));
        TARV_PETSC(VecAXPY(vStar, (1 - kNewmarkGamma) * dt, acc));
        if (varying) loadsAt(job, layout, temperatures, system.steady, time, f, quiet);
        if (motion) motion->addLoad(step, alpha, beta, f);
        residualInto(uStar, vStar);
        int iterations = 0;
        double residual = 0;
        std::string newton;
        if (contactSteps) {
            const ContactTimeSteps::Outcome outcome = contactSteps->solve(r, uStar, acc);
            if (!outcome.converged) throw stopBefore(step, dt, printedSteps, outcome.failure, blocks);
            // The tail's residual is then the step's Newton residual, relative to its right-hand side.
            iterations = outcome.linearIterations;
            residual = outcome.residual;
            newton = std::to_string(outcome.newtonIterations) + " Newton iterations, " +
                     std::to_string(outcome.augmentations) + " augmentations, ";
        } else {
            std::tie(iterations, residual) = solver.solve(r, acc);
            TARV_PETSC(VecPointwiseMult(acc, acc, freeMask));
        }
        TARV_PETSC(VecWAXPY(u, kNewmarkBeta * dt * dt, acc, uStar));
        TARV_PETSC(VecWAXPY(v, kNewmarkGamma * dt, acc, vStar));
        if (motion) motion->setState(step, u, v, acc);

        const bool printed = plan.printed(step);
        if (contactSteps) contactSteps->accept(u, printed ? &log : nullptr);
        if (printed) {
            ++printedSteps;
            std::vector<double> displacements = gatherOnFirst(u), velocities = gatherOnFirst(v);
            if (layout.onFirstProcess()) {
                layout.toGlobal(displacements);
                layout.toGlobal(velocities);
                const CornerResults corners = elementStresses(job, temperatures, displacements);
                blocks += results::nodeVectorBlock("DISP", step, displacements) +
                          results::nodeVectorBlock("VELO", step, velocities) +
                          results::stressBlock(step, corners.nodes, corners.stresses);
            }
        }
        if (plan.logged(step)) {
            PetscReal largest = 0;
            TARV_PETSC(VecNorm(u, NORM_INFINITY, &largest));
            const double spent = log.seconds() - started;
            char text[160];
            std::snprintf(text, sizeof text, "step %d/%d, t = %g s: largest displacement %.6g, energy %.6g, ",
                          step, plan.steps, time, largest, energy());
            log.line(text + newton +
                     stepProgressTail(job.solver, iterations, residual, spent, step, plan.steps) +
                     (printed ? " (written as DISP, VELO, STRES " + std::to_string(step) + ")" : ""));
        }
    }
    if (contactSteps)
        log.line("contact: the step matrix was " +
                 std::string(job.solver == SolverChoice::Direct ? "factorised" : "set up for the multigrid") +
                 " again " + std::to_string(contactSteps->matrixChanges()) + " times in " +
                 std::to_string(plan.steps) + " steps, when the set of points in contact changed");
    return blocks;
}

}  // namespace tarvsolv
