#include "physics/time_stepping.h"

#include "linalg/symmetric_copy.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace tarvsolv {
std::string durationText(double seconds) {
    char text[32];
    if (seconds < 60)
        std::snprintf(text, sizeof text, "%.1f s", seconds);
    else
        std::snprintf(text, sizeof text, "%d min %02d s", static_cast<int>(seconds / 60),
                      static_cast<int>(seconds) % 60);
    return text;
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

StepPlan stepPlan(const SolverInput& input, const std::string& analysis) {
    const double steps = input.solve[1], size = input.solve[2], every = input.solve[3];
    if (!(steps >= 1) || steps > 1e7)
        throw std::runtime_error(analysis + ": a number of steps from 1 to 10000000 is needed (found " +
                                 number(steps) + ")");
    if (!(size > 0) || !std::isfinite(size))
        throw std::runtime_error(analysis + ": a step size above 0 is needed (found " + number(size) + ")");
    StepPlan plan;
    plan.steps = static_cast<int>(steps);
    plan.size = size;
    plan.printEvery = every >= 1 && every < 1e9 ? static_cast<int>(every) : 1;
    return plan;
}

StepSolver::StepSolver(SolverChoice choice, const DofLayout& layout, const FeMesh& mesh, double tolerance)
    : choice_(choice), layout_(layout), mesh_(mesh), tolerance_(tolerance) {
    TARV_PETSC(KSPCreate(layout.comm(), ksp_.out()));
}

namespace {

// Directions kept of the earlier steps' solutions: at most 50, and at most half the matrix's own
// memory (a matrix entry is 12 bytes, a vector entry 8), so that linear heat conduction, with few
// entries a row and steps that take few iterations, does not keep 50 whole vectors.
PetscInt guessDirections(Mat a) {
    MatInfo info;
    TARV_PETSC(MatGetInfo(a, MAT_GLOBAL_SUM, &info));
    PetscInt rows = 0;
    TARV_PETSC(MatGetSize(a, &rows, nullptr));
    const double entriesPerRow = rows > 0 ? info.nz_used / rows : 0;
    return std::clamp(static_cast<PetscInt>(entriesPerRow * 12 / 8 / 2), PetscInt{10}, PetscInt{50});
}

}  // namespace

// Each step starts from the part of its solution that lies in the span of the earlier steps'
// solutions, kept orthonormal in the energy of the step matrix. A vibration driven by steady or
// smooth loads lives in few directions, so after the first steps most solves are met by the
// projection alone. The convergence test stays on the true residual, so the answer is held to the
// same tolerance. A new matrix gets an empty space: the old directions are not orthonormal in it.
// The span is kept here rather than by PETSc's Fischer guess (the same projection), which spends
// two products with the matrix after every solve, also after those the projection alone met.
void StepSolver::startFromEarlierSolutions(Mat a, Mat products) {
    earlier_.emplace(products, guessDirections(a));
    TARV_PETSC(MatCreateVecs(a, start_.out(), nullptr));
}

// The corner multigrid's products (the smoothing, its residual, conjugate gradients' own, the
// span's) run on a copy of the step matrix's upper blocks, which moves about a third of the bytes
// of the assembled matrix a product; the corner level, built before, comes from the assembled
// one. A preconditioner chosen by a PETSc option (-pc_type gamg) keeps the assembled matrix:
// algebraic multigrid takes AIJ only.
void StepSolver::useSymmetricCopy(Mat a) {
    PC pc;
    PCType type = nullptr;
    TARV_PETSC(KSPGetPC(ksp_, &pc));
    TARV_PETSC(PCGetType(pc, &type));
    if (!type || std::string(type) != PCMG) return;
    symmetric_ = symmetricBlockCopy(a);
    TARV_PETSC(KSPSetOperators(ksp_, symmetric_, symmetric_));
}

void StepSolver::setMatrix(Mat a) {
    TARV_PETSC(MatSetOption(a, MAT_SYMMETRIC, PETSC_TRUE));
    TARV_PETSC(MatSetOption(a, MAT_SPD, PETSC_TRUE));
    if (choice_ == SolverChoice::Iterative) {
        // The corner level is a product of the matrix: a new matrix gets a new multigrid.
        ksp_.reset();
        symmetric_.reset();
        TARV_PETSC(KSPCreate(layout_.comm(), ksp_.out()));
        TARV_PETSC(KSPSetOperators(ksp_, a, a));
        configureIterativeSolver(ksp_, a, tolerance_, layout_, mesh_, corners_);
        // The matrix stays for many steps, so the corner level's factor pays for itself.
        if (corners_.interpolation) solveCornerLevelExactly(ksp_);
        TARV_PETSC(KSPSetInitialGuessNonzero(ksp_, PETSC_TRUE));
        TARV_PETSC(KSPSetFromOptions(ksp_));
        if (corners_.interpolation) useSymmetricCopy(a);
        startFromEarlierSolutions(a, symmetric_ ? symmetric_.get() : a);
        return;
    }
    TARV_PETSC(KSPSetOperators(ksp_, a, a));
    factor_.reset();
    factor_ = std::make_unique<SinglePrecisionCholesky>(a);
    factor_->precondition(ksp_);
    startFromEarlierSolutions(a, a);
    if (configured_) return;
    TARV_PETSC(KSPSetInitialGuessNonzero(ksp_, PETSC_TRUE));
    TARV_PETSC(KSPSetFromOptions(ksp_));
    configured_ = true;
}

std::pair<int, double> StepSolver::solve(Vec b, Vec x) {
    earlier_->project(b, x);
    TARV_PETSC(VecCopy(x, start_));
    if (KSPSolve(ksp_, b, x) != 0)
        throw std::runtime_error("the linear solver failed on a time step (a material or load is invalid)");
    KSPConvergedReason reason;
    TARV_PETSC(KSPGetConvergedReason(ksp_, &reason));
    PetscInt iterations = 0;
    TARV_PETSC(KSPGetIterationNumber(ksp_, &iterations));
    if (reason < 0)
        throw std::runtime_error("the solver did not converge on a time step after " +
                                 std::to_string(iterations) + " iterations");
    PetscReal residual = 0;
    TARV_PETSC(KSPGetResidualNorm(ksp_, &residual));
    // A solve met by the projection adds nothing to the span.
    if (iterations > 0) earlier_->update(start_, x);
    return {static_cast<int>(iterations), residual};
}

std::string stepProgressTail(SolverChoice choice, int iterations, double residual, double spent, int step,
                             int steps) {
    char solved[64];
    std::snprintf(solved, sizeof solved, "%s%d iterations, residual %.2e",
                  choice == SolverChoice::Direct ? "direct, " : "", iterations, residual);
    return std::string(solved) + ", " + durationText(spent / step * (steps - step)) + " left";
}

}  // namespace tarvsolv
