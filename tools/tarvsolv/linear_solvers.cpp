#include "linear_solvers.h"

#include <petscsys.h>

#include "corner_space.h"

#include <algorithm>
#include <cmath>

namespace tarvsolv {
namespace {

// Rigid-body modes of the node coordinates as the near null space of an elasticity matrix.
void setRigidBodyModes(Mat a, const DofLayout& layout, const FeMesh& mesh) {
    VecHandle coordinates = layout.createVector();
    PetscScalar* c = nullptr;
    petscCheck(VecGetArray(coordinates, &c), "VecGetArray");
    for (int n = layout.firstNode(); n < layout.endNode(); ++n)
        for (int d = 0; d < 3; ++d)
            c[3 * (n - layout.firstNode()) + d] = mesh.xyz[3 * static_cast<std::size_t>(n) + d];
    petscCheck(VecRestoreArray(coordinates, &c), "VecRestoreArray");
    NullSpaceHandle space;
    petscCheck(MatNullSpaceCreateRigidBody(coordinates, space.out()), "MatNullSpaceCreateRigidBody");
    petscCheck(MatSetNearNullSpace(a, space), "MatSetNearNullSpace");
}

// The corner level's matrices, which the solver refers to and which must outlive it.
struct CornerLevel {
    MatHandle interpolation, coarse;
};

// The corners' Galerkin operator, with their rigid-body modes as its near null space.
void buildCornerLevel(Mat a, const DofLayout& layout, const FeMesh& mesh, CornerLevel& level) {
    const CornerSpace corners(mesh, layout);
    level.interpolation = corners.interpolation();
    petscCheck(MatPtAP(a, level.interpolation, MAT_INITIAL_MATRIX, 1.0, level.coarse.out()), "MatPtAP");
    petscCheck(MatSetOption(level.coarse, MAT_SYMMETRIC, PETSC_TRUE), "MatSetOption");
    petscCheck(MatSetOption(level.coarse, MAT_SPD, PETSC_TRUE), "MatSetOption");
    VecHandle xyz = corners.coordinates();
    NullSpaceHandle space;
    petscCheck(MatNullSpaceCreateRigidBody(xyz, space.out()), "MatNullSpaceCreateRigidBody");
    petscCheck(MatSetNearNullSpace(level.coarse, space), "MatSetNearNullSpace");
}

// Two levels: two Chebyshev-Jacobi steps on the quadratic unknowns, one GAMG cycle on the corners.
void setCornerMultigrid(PC pc, const CornerLevel& level) {
    petscCheck(PCSetType(pc, PCMG), "PCSetType");
    petscCheck(PCMGSetLevels(pc, 2, nullptr), "PCMGSetLevels");
    petscCheck(PCMGSetGalerkin(pc, PC_MG_GALERKIN_NONE), "PCMGSetGalerkin");
    petscCheck(PCMGSetInterpolation(pc, 1, level.interpolation), "PCMGSetInterpolation");
    KSP smoother, coarseSolve;
    PC smootherPc, coarsePc;
    petscCheck(PCMGGetSmoother(pc, 1, &smoother), "PCMGGetSmoother");
    petscCheck(KSPSetType(smoother, KSPCHEBYSHEV), "KSPSetType");
    petscCheck(KSPChebyshevEstEigSet(smoother, 0, 0.1, 0, 1.1), "KSPChebyshevEstEigSet");
    petscCheck(KSPSetTolerances(smoother, PETSC_DEFAULT, PETSC_DEFAULT, PETSC_DEFAULT, 2),
               "KSPSetTolerances");
    petscCheck(KSPGetPC(smoother, &smootherPc), "KSPGetPC");
    petscCheck(PCSetType(smootherPc, PCJACOBI), "PCSetType");
    petscCheck(PCMGGetCoarseSolve(pc, &coarseSolve), "PCMGGetCoarseSolve");
    petscCheck(KSPSetOperators(coarseSolve, level.coarse, level.coarse), "KSPSetOperators");
    petscCheck(KSPSetType(coarseSolve, KSPPREONLY), "KSPSetType");
    petscCheck(KSPGetPC(coarseSolve, &coarsePc), "KSPGetPC");
    petscCheck(PCSetType(coarsePc, PCGAMG), "PCSetType");
}

// Conjugate gradients preconditioned by one multigrid cycle. Quadratic elasticity goes through the
// corner level first; algebraic multigrid straight on the quadratic matrix spends most of its time
// forming its first coarse operator, whose stencil is very wide. Everything else gets algebraic
// multigrid directly. All of it stays open to PETSc options.
void configureIterative(KSP ksp, Mat a, double tolerance, const DofLayout& layout, const FeMesh& mesh,
                        CornerLevel& level) {
    PC pc;
    petscCheck(KSPSetType(ksp, KSPCG), "KSPSetType");
    petscCheck(KSPGetPC(ksp, &pc), "KSPGetPC");
    petscCheck(KSPSetTolerances(ksp, tolerance, 1e-300, PETSC_DEFAULT, 5000), "KSPSetTolerances");
    petscCheck(KSPSetNormType(ksp, KSP_NORM_UNPRECONDITIONED), "KSPSetNormType");
    const bool elastic = layout.dofsPerNode() == 3;
    if (elastic) setRigidBodyModes(a, layout, mesh);
    if (!elastic || mesh.nodesPerElement != 10) {
        petscCheck(PCSetType(pc, PCGAMG), "PCSetType");
        return;
    }
    buildCornerLevel(a, layout, mesh, level);
    setCornerMultigrid(pc, level);
}

// What the iterative solve runs, after the command line had its say.
std::string iterativeMethodName(KSP ksp) {
    PC pc;
    PCType type = nullptr;
    petscCheck(KSPGetPC(ksp, &pc), "KSPGetPC");
    petscCheck(PCGetType(pc, &type), "PCGetType");
    const std::string name = type ? type : "";
    if (name == PCMG) return "conjugate gradients with multigrid (corner level, then algebraic)";
    if (name == PCGAMG) return "conjugate gradients with algebraic multigrid";
    return "conjugate gradients with the " + name + " preconditioner";
}

// Cholesky by MUMPS; with `operatorsSet` also quiet output and null-pivot detection.
void configureDirect(KSP ksp, bool operatorsSet) {
    PC pc;
    petscCheck(KSPSetType(ksp, KSPPREONLY), "KSPSetType");
    petscCheck(KSPGetPC(ksp, &pc), "KSPGetPC");
    petscCheck(PCSetType(pc, PCCHOLESKY), "PCSetType");
    petscCheck(PCFactorSetMatSolverType(pc, MATSOLVERMUMPS), "PCFactorSetMatSolverType");
    if (!operatorsSet) return;
    petscCheck(PCFactorSetUpMatSolverType(pc), "PCFactorSetUpMatSolverType");
    Mat factor;
    petscCheck(PCFactorGetMatrix(pc, &factor), "PCFactorGetMatrix");
    petscCheck(MatMumpsSetIcntl(factor, 4, 0), "MUMPS print level");
    petscCheck(MatMumpsSetIcntl(factor, 24, 1), "MUMPS null pivot detection");
}

std::string reasonText(KSPConvergedReason reason) {
    const char* text = KSPConvergedReasons[reason];
    return text ? text : std::to_string(static_cast<int>(reason));
}

}  // namespace

LinearSolveReport solveLinear(Mat a, Vec b, Vec x, SolverChoice choice, double tolerance,
                              const DofLayout& layout, const FeMesh& mesh) {
    petscCheck(MatSetOption(a, MAT_SYMMETRIC, PETSC_TRUE), "MatSetOption");
    petscCheck(MatSetOption(a, MAT_SPD, PETSC_TRUE), "MatSetOption");
    CornerLevel corners;  // declared before the solver, which refers to its matrices
    KspHandle ksp;
    petscCheck(KSPCreate(layout.comm(), ksp.out()), "KSPCreate");
    petscCheck(KSPSetOperators(ksp, a, a), "KSPSetOperators");
    LinearSolveReport report;
    if (choice == SolverChoice::Direct) {
        configureDirect(ksp, true);
        report.method = "multifrontal Cholesky (MUMPS)";
    } else {
        configureIterative(ksp, a, tolerance, layout, mesh, corners);
    }
    petscCheck(KSPSetFromOptions(ksp), "KSPSetFromOptions");
    if (choice == SolverChoice::Iterative) report.method = iterativeMethodName(ksp);
    const PetscErrorCode code = KSPSolve(ksp, b, x);
    if (code != 0) {
        if (choice == SolverChoice::Direct)
            throw std::runtime_error(
                "the factorisation failed: the model is not restrained enough (singular) or a material is "
                "invalid");
        petscCheck(code, "the iterative solve");
    }
    KSPConvergedReason reason;
    petscCheck(KSPGetConvergedReason(ksp, &reason), "KSPGetConvergedReason");
    PetscInt iterations = 0;
    petscCheck(KSPGetIterationNumber(ksp, &iterations), "KSPGetIterationNumber");
    report.iterations = static_cast<int>(iterations);
    if (reason < 0)
        throw std::runtime_error("the solver did not converge (" + reasonText(reason) + " after " +
                                 std::to_string(iterations) +
                                 " iterations): the model is probably not restrained enough");
    if (choice == SolverChoice::Direct) {
        PC pc;
        Mat factor;
        petscCheck(KSPGetPC(ksp, &pc), "KSPGetPC");
        petscCheck(PCFactorGetMatrix(pc, &factor), "PCFactorGetMatrix");
        PetscInt nullPivots = 0;
        petscCheck(MatMumpsGetInfog(factor, 28, &nullPivots), "MUMPS INFOG(28)");
        if (nullPivots > 0)
            throw std::runtime_error("the stiffness matrix is singular (" + std::to_string(nullPivots) +
                                     " null pivots): the model is not restrained enough");
    }
    PetscReal norm = 0;
    petscCheck(VecNorm(x, NORM_INFINITY, &norm), "VecNorm");
    if (!std::isfinite(norm))
        throw std::runtime_error("the solution is not finite: the model is not restrained enough");
    return report;
}

ModesReport solveModes(Mat k, Mat m, int count, double shift, const DofLayout& layout) {
    petscCheck(MatSetOption(k, MAT_SYMMETRIC, PETSC_TRUE), "MatSetOption");
    petscCheck(MatSetOption(m, MAT_SYMMETRIC, PETSC_TRUE), "MatSetOption");
    EpsHandle eps;
    petscCheck(EPSCreate(layout.comm(), eps.out()), "EPSCreate");
    petscCheck(EPSSetOperators(eps, k, m), "EPSSetOperators");
    petscCheck(EPSSetProblemType(eps, EPS_GHEP), "EPSSetProblemType");
    petscCheck(EPSSetType(eps, EPSKRYLOVSCHUR), "EPSSetType");
    petscCheck(EPSSetDimensions(eps, count, PETSC_DEFAULT, PETSC_DEFAULT), "EPSSetDimensions");
    petscCheck(EPSSetTarget(eps, shift), "EPSSetTarget");
    petscCheck(EPSSetWhichEigenpairs(eps, EPS_TARGET_MAGNITUDE), "EPSSetWhichEigenpairs");
    petscCheck(EPSSetTolerances(eps, 1e-10, 500), "EPSSetTolerances");
    ST st;
    KSP ksp;
    petscCheck(EPSGetST(eps, &st), "EPSGetST");
    petscCheck(STSetType(st, STSINVERT), "STSetType");
    petscCheck(STGetKSP(st, &ksp), "STGetKSP");
    configureDirect(ksp, false);
    petscCheck(EPSSetFromOptions(eps), "EPSSetFromOptions");
    const PetscErrorCode code = EPSSolve(eps);
    if (code != 0)
        throw std::runtime_error(
            "the eigenvalue solve failed: the shifted stiffness could not be factorised");
    PetscInt converged = 0, iterations = 0;
    petscCheck(EPSGetConverged(eps, &converged), "EPSGetConverged");
    petscCheck(EPSGetIterationNumber(eps, &iterations), "EPSGetIterationNumber");
    ModesReport report;
    report.iterations = static_cast<int>(iterations);
    if (converged < count)
        throw std::runtime_error("only " + std::to_string(converged) + " of " + std::to_string(count) +
                                 " modes converged");
    VecHandle vector;
    petscCheck(MatCreateVecs(k, vector.out(), nullptr), "MatCreateVecs");
    std::vector<std::pair<double, int>> order;
    for (PetscInt i = 0; i < converged; ++i) {
        PetscScalar value, imaginary;
        petscCheck(EPSGetEigenvalue(eps, i, &value, &imaginary), "EPSGetEigenvalue");
        order.emplace_back(value, static_cast<int>(i));
    }
    std::sort(order.begin(), order.end());
    for (int i = 0; i < count; ++i) {
        petscCheck(EPSGetEigenvector(eps, order[i].second, vector, nullptr), "EPSGetEigenvector");
        report.eigenvalues.push_back(order[i].first);
        report.vectors.push_back(gatherOnFirst(vector));
    }
    return report;
}

std::vector<double> gatherOnFirst(Vec v) {
    ScatterHandle scatter;
    VecHandle all;
    petscCheck(VecScatterCreateToZero(v, scatter.out(), all.out()), "VecScatterCreateToZero");
    petscCheck(VecScatterBegin(scatter, v, all, INSERT_VALUES, SCATTER_FORWARD), "VecScatterBegin");
    petscCheck(VecScatterEnd(scatter, v, all, INSERT_VALUES, SCATTER_FORWARD), "VecScatterEnd");
    PetscInt size = 0;
    petscCheck(VecGetLocalSize(all, &size), "VecGetLocalSize");
    std::vector<double> out(size);
    const PetscScalar* data = nullptr;
    petscCheck(VecGetArrayRead(all, &data), "VecGetArrayRead");
    std::copy(data, data + size, out.begin());
    petscCheck(VecRestoreArrayRead(all, &data), "VecRestoreArrayRead");
    return out;
}

}  // namespace tarvsolv
