#include "physics/contact_time_steps.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "fem/system_assembler.h"
#include "linalg/linear_solvers.h"

namespace tarvsolv {
namespace {

// Newton iterations per time step: each changes the set of points in contact where it must, and
// an impact closes a face within a few of them.
constexpr int kMaxIterations = 30;
// Residual of a converged step relative to the larger of its right-hand side without contact and
// its first residual; well above the linear solves' own error (1e-10 of the residual and less).
constexpr double kTolerance = 1e-8;
// A converged step is augmented until no multiplier changes by more than this share of the largest
// pressure. Points whose pressure is near 0 may open and close from one augmentation to the next
// and keep the multipliers from settling; after kMaxAugmentations the step is taken as it is, a
// penalty solution whose penetration the augmentations have already cut down.
constexpr double kAugmentedChange = 1e-3;
constexpr int kMaxAugmentations = 60;

}  // namespace

ContactTimeSteps::ContactTimeSteps(const Job& job, const DofLayout& layout, ContactConstraints& contact,
                                   Mat stepMatrix, double stiffnessFactor, Vec freeMask, StepSolver& solver)
    : layout_(layout),
      contact_(contact),
      increments_(layout.withoutPrescribedValues()),
      pattern_(job.mesh, increments_, contact.couplings()),
      stepMatrix_(stepMatrix),
      stiffnessFactor_(stiffnessFactor),
      freeMask_(freeMask),
      solver_(solver),
      tangent_(pattern_.createMatrix()),
      forces_(layout.createVector()),
      residual_(layout.createVector()),
      correction_(layout.createVector()),
      state_(layout.createVector()) {
    TARV_PETSC(MatDuplicate(stepMatrix, MAT_COPY_VALUES, newton_.out()));
}

std::vector<double> ContactTimeSteps::globalState(Vec u) const {
    std::vector<double> global = gatherOnAll(u);
    layout_.toGlobal(global);
    return global;
}

void ContactTimeSteps::addForces(Vec u, Vec r) {
    TARV_PETSC(VecZeroEntries(forces_));
    {
        SystemAssembler assembler(increments_, forces_);
        contact_.assemble(increments_, globalState(u), assembler, TouchingTangent::ClosedOnly);
        assembler.finish();
    }
    TARV_PETSC(VecPointwiseMult(forces_, forces_, freeMask_));
    TARV_PETSC(VecAXPY(r, 1.0, forces_));
}

// b - A a + f_c(u) on the free unknowns, into residual_; answers its norm.
double ContactTimeSteps::residualAt(Vec b, Vec acc, const std::vector<double>& global) {
    TARV_PETSC(MatMult(stepMatrix_, acc, residual_));
    TARV_PETSC(VecAYPX(residual_, -1.0, b));
    TARV_PETSC(VecZeroEntries(forces_));
    {
        SystemAssembler assembler(increments_, forces_);
        contact_.assemble(increments_, global, assembler, TouchingTangent::ClosedOnly);
        assembler.finish();
    }
    TARV_PETSC(VecAXPY(residual_, 1.0, forces_));
    TARV_PETSC(VecPointwiseMult(residual_, residual_, freeMask_));
    double norm = 0;
    TARV_PETSC(VecNorm(residual_, NORM_2, &norm));
    if (!std::isfinite(norm)) throw std::runtime_error("the residual is not finite");
    return norm;
}

// Makes the solver's matrix A + beta dt^2 K_c for the set of points at `global`, unless that set
// is the one it already has.
void ContactTimeSteps::useTangentOf(const std::vector<double>& global) {
    TangentSet set = contact_.tangentSet(global, TouchingTangent::ClosedOnly);
    if (hasMatrix_ && set == set_) return;
    TARV_PETSC(MatZeroEntries(tangent_));
    {
        SystemAssembler assembler(pattern_, tangent_, nullptr);
        contact_.assemble(increments_, global, assembler, TouchingTangent::ClosedOnly);
        assembler.finish();
    }
    TARV_PETSC(MatCopy(stepMatrix_, newton_, SAME_NONZERO_PATTERN));
    TARV_PETSC(MatAXPY(newton_, stiffnessFactor_, tangent_, SAME_NONZERO_PATTERN));
    solver_.setMatrix(newton_);
    if (hasMatrix_) ++changes_;
    hasMatrix_ = true;
    set_.swap(set);
}

bool ContactTimeSteps::newton(Vec b, Vec uStar, Vec acc, double& reference, Outcome& out,
                              std::vector<double>& global) {
    for (int iteration = 0;; ++iteration) {
        TARV_PETSC(VecWAXPY(state_, stiffnessFactor_, acc, uStar));
        global = globalState(state_);
        const double norm = residualAt(b, acc, global);
        if (reference < 0) {
            double bNorm = 0;
            TARV_PETSC(VecNorm(b, NORM_2, &bNorm));
            reference = std::max(bNorm, norm);
        }
        out.residual = reference > 0 ? norm / reference : 0;
        if (norm <= kTolerance * reference) return true;
        if (iteration == kMaxIterations) {
            out.failure = "no convergence in " + std::to_string(kMaxIterations) + " Newton iterations";
            return false;
        }
        useTangentOf(global);
        TARV_PETSC(VecZeroEntries(correction_));
        out.linearIterations += solver_.solve(residual_, correction_).first;
        ++out.newtonIterations;
        TARV_PETSC(VecAXPY(acc, 1.0, correction_));
        TARV_PETSC(VecPointwiseMult(acc, acc, freeMask_));
    }
}

ContactTimeSteps::Outcome ContactTimeSteps::solve(Vec b, Vec uStar, Vec acc) {
    Outcome out;
    try {
        double reference = -1;
        std::vector<double> global;
        while (newton(b, uStar, acc, reference, out, global)) {
            ++out.augmentations;
            if (contact_.augment(global) <= kAugmentedChange || out.augmentations == kMaxAugmentations) {
                out.converged = true;
                break;
            }
        }
    } catch (const std::runtime_error& e) {
        out.failure = e.what();
    }
    return out;
}

void ContactTimeSteps::accept(Vec u, RunLog* log) {
    const std::vector<double> global = globalState(u);
    if (log) contact_.logStatus(global, *log);
    contact_.acceptStep(global);
}

}  // namespace tarvsolv
