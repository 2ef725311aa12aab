#include "linalg/tangent_solver.h"

#include <cmath>
#include <stdexcept>

#include "base/petsc_handles.h"

namespace tarvsolv {

void TangentSolver::solve(Mat k, Vec b, Vec x, double tolerance, bool symmetric) {
    ++solves_;
    if (symmetric && !indefinite_) {
        try {
            definite_.solve(k, b, x, tolerance);
            return;
        } catch (const std::runtime_error&) {
            // Negative pivots or a conjugate-gradient breakdown: the tangent is not positive
            // definite (or singular, which the factorisation below reports).
        }
        indefinite_ = true;
    }
    // solveLinear marked the matrix positive definite; MUMPS would then take the Cholesky path.
    TARV_PETSC(MatSetOption(k, MAT_SPD, PETSC_FALSE));
    TARV_PETSC(MatSetOption(k, MAT_SYMMETRIC, symmetric ? PETSC_TRUE : PETSC_FALSE));
    KspHandle ksp;
    TARV_PETSC(KSPCreate(layout_.comm(), ksp.out()));
    TARV_PETSC(KSPSetOperators(ksp, k, k));
    TARV_PETSC(KSPSetType(ksp, KSPPREONLY));
    PC pc;
    TARV_PETSC(KSPGetPC(ksp, &pc));
    TARV_PETSC(PCSetType(pc, symmetric ? PCCHOLESKY : PCLU));
    TARV_PETSC(PCFactorSetMatSolverType(pc, MATSOLVERMUMPS));
    TARV_PETSC(PCFactorSetUpMatSolverType(pc));
    Mat factor;
    TARV_PETSC(PCFactorGetMatrix(pc, &factor));
    TARV_PETSC(MatMumpsSetIcntl(factor, 4, 0));   // quiet
    TARV_PETSC(MatMumpsSetIcntl(factor, 24, 1));  // detect null pivots
    if (KSPSolve(ksp, b, x) != 0)
        throw std::runtime_error("the tangent stiffness cannot be factorised: it is singular");
    KSPConvergedReason reason;
    TARV_PETSC(KSPGetConvergedReason(ksp, &reason));
    PetscInt nullPivots = 0, negative = 0;
    TARV_PETSC(MatMumpsGetInfog(factor, 28, &nullPivots));
    if (symmetric) TARV_PETSC(MatMumpsGetInfog(factor, 12, &negative));
    negativePivots_ = static_cast<int>(negative);
    PetscReal norm = 0;
    TARV_PETSC(VecNorm(x, NORM_INFINITY, &norm));
    if (reason < 0 || nullPivots > 0 || !std::isfinite(norm))
        throw std::runtime_error("the tangent stiffness is singular (" + std::to_string(nullPivots) +
                                 " null pivots): a limit or bifurcation point, or the model is not "
                                 "restrained enough");
}

}  // namespace tarvsolv
