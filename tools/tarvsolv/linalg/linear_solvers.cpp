#include "linalg/linear_solvers.h"

#include <petscsys.h>

#include "base/default_option.h"
#include "base/log_stage.h"
#include "linalg/corner_space.h"
#include "linalg/single_precision_cholesky.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace tarvsolv {
namespace {

// Rigid-body modes of the node coordinates as the near null space of an elasticity matrix.
void setRigidBodyModes(Mat a, const DofLayout& layout, const FeMesh& mesh) {
    VecHandle coordinates = layout.createVector();
    PetscScalar* c = nullptr;
    TARV_PETSC(VecGetArray(coordinates, &c));
    for (int n = layout.firstNode(); n < layout.endNode(); ++n)
        for (int d = 0; d < 3; ++d)
            c[3 * (n - layout.firstNode()) + d] = mesh.xyz[3 * static_cast<std::size_t>(n) + d];
    TARV_PETSC(VecRestoreArray(coordinates, &c));
    NullSpaceHandle space;
    TARV_PETSC(MatNullSpaceCreateRigidBody(coordinates, space.out()));
    TARV_PETSC(MatSetNearNullSpace(a, space));
}

// The corners' Galerkin operator, with their rigid-body modes as its near null space.
void buildCornerLevel(Mat a, const DofLayout& layout, const FeMesh& mesh, CornerLevel& level) {
    const CornerSpace corners(mesh, layout);
    level.interpolation = corners.interpolation();
    level.coarse = corners.coarseOperator(a);
    TARV_PETSC(MatSetOption(level.coarse, MAT_SYMMETRIC, PETSC_TRUE));
    TARV_PETSC(MatSetOption(level.coarse, MAT_SPD, PETSC_TRUE));
    VecHandle xyz = corners.coordinates();
    NullSpaceHandle space;
    TARV_PETSC(MatNullSpaceCreateRigidBody(xyz, space.out()));
    TARV_PETSC(MatSetNearNullSpace(level.coarse, space));
}

// Whether the options name the preconditioner of `ksp` (-pc_type with its prefix).
bool preconditionerNamedByOption(KSP ksp) {
    const char* prefix = nullptr;
    TARV_PETSC(KSPGetOptionsPrefix(ksp, &prefix));
    PetscBool named = PETSC_FALSE;
    TARV_PETSC(PetscOptionsHasName(nullptr, prefix, "-pc_type", &named));
    return named == PETSC_TRUE;
}

// Two levels: two Chebyshev-Jacobi steps on the quadratic unknowns, one GAMG cycle on the corners.
void setCornerMultigrid(PC pc, const CornerLevel& level) {
    TARV_PETSC(PCSetType(pc, PCMG));
    TARV_PETSC(PCMGSetLevels(pc, 2, nullptr));
    TARV_PETSC(PCMGSetGalerkin(pc, PC_MG_GALERKIN_NONE));
    TARV_PETSC(PCMGSetInterpolation(pc, 1, level.interpolation));
    KSP smoother, coarseSolve;
    PC smootherPc, coarsePc;
    TARV_PETSC(PCMGGetSmoother(pc, 1, &smoother));
    TARV_PETSC(KSPSetType(smoother, KSPCHEBYSHEV));
    TARV_PETSC(KSPChebyshevEstEigSet(smoother, 0, 0.1, 0, 1.1));
    TARV_PETSC(KSPSetTolerances(smoother, PETSC_DEFAULT, PETSC_DEFAULT, PETSC_DEFAULT, 2));
    TARV_PETSC(KSPGetPC(smoother, &smootherPc));
    TARV_PETSC(PCSetType(smootherPc, PCJACOBI));
    TARV_PETSC(PCMGGetCoarseSolve(pc, &coarseSolve));
    TARV_PETSC(KSPSetOperators(coarseSolve, level.coarse, level.coarse));
    TARV_PETSC(KSPSetType(coarseSolve, KSPPREONLY));
    TARV_PETSC(KSPGetPC(coarseSolve, &coarsePc));
    TARV_PETSC(PCSetType(coarsePc, PCGAMG));
}

}  // namespace

// Conjugate gradients preconditioned by one multigrid cycle. Quadratic elasticity goes through the
// corner level first; algebraic multigrid straight on the quadratic matrix spends most of its time
// forming its first coarse operator, whose stencil is very wide. Everything else gets algebraic
// multigrid directly. All of it stays open to PETSc options.
void configureIterativeSolver(KSP ksp, Mat a, double tolerance, const DofLayout& layout, const FeMesh& mesh,
                              CornerLevel& level) {
    PC pc;
    TARV_PETSC(KSPSetType(ksp, KSPCG));
    TARV_PETSC(KSPGetPC(ksp, &pc));
    TARV_PETSC(KSPSetTolerances(ksp, tolerance, 1e-300, PETSC_DEFAULT, 5000));
    TARV_PETSC(KSPSetNormType(ksp, KSP_NORM_UNPRECONDITIONED));
    const bool elastic = layout.dofsPerNode() == 3;
    if (!elastic || mesh.nodesPerElement != 10) {
        if (elastic) setRigidBodyModes(a, layout, mesh);
        TARV_PETSC(PCSetType(pc, PCGAMG));
        return;
    }
    // The corner level carries its own rigid-body modes; the quadratic level's smoother needs
    // none, so six vectors of the whole matrix's size are made only for a preconditioner named on
    // the command line (-pc_type gamg straight on the quadratic matrix).
    if (preconditionerNamedByOption(ksp)) setRigidBodyModes(a, layout, mesh);
    buildCornerLevel(a, layout, mesh, level);
    setCornerMultigrid(pc, level);
}

void solveCornerLevelExactly(KSP ksp) {
    PC pc, coarsePc;
    KSP coarseSolve;
    TARV_PETSC(KSPGetPC(ksp, &pc));
    TARV_PETSC(PCMGGetCoarseSolve(pc, &coarseSolve));
    TARV_PETSC(KSPGetPC(coarseSolve, &coarsePc));
    TARV_PETSC(PCSetType(coarsePc, PCCHOLESKY));
    TARV_PETSC(PCFactorSetMatSolverType(coarsePc, MATSOLVERMUMPS));
}

namespace {

// What the iterative solve runs, after the command line had its say.
std::string iterativeMethodName(KSP ksp) {
    PC pc;
    PCType type = nullptr;
    TARV_PETSC(KSPGetPC(ksp, &pc));
    TARV_PETSC(PCGetType(pc, &type));
    const std::string name = type ? type : "";
    if (name == PCMG) return "conjugate gradients with multigrid (corner level, then algebraic)";
    if (name == PCGAMG) return "conjugate gradients with algebraic multigrid";
    return "conjugate gradients with the " + name + " preconditioner";
}

// Cholesky by MUMPS; with `operatorsSet` also quiet output and null-pivot detection.
void configureDirect(KSP ksp, bool operatorsSet) {
    PC pc;
    TARV_PETSC(KSPSetType(ksp, KSPPREONLY));
    TARV_PETSC(KSPGetPC(ksp, &pc));
    TARV_PETSC(PCSetType(pc, PCCHOLESKY));
    TARV_PETSC(PCFactorSetMatSolverType(pc, MATSOLVERMUMPS));
    if (!operatorsSet) return;
    TARV_PETSC(PCFactorSetUpMatSolverType(pc));
    Mat factor;
    TARV_PETSC(PCFactorGetMatrix(pc, &factor));
    TARV_PETSC(MatMumpsSetIcntl(factor, 4, 0));
    TARV_PETSC(MatMumpsSetIcntl(factor, 24, 1));
}

std::string reasonText(KSPConvergedReason reason) {
    const char* text = KSPConvergedReasons[reason];
    return text ? text : std::to_string(static_cast<int>(reason));
}

// A PETSc error in the iterative solve or its set-up. A zero pivot, a floating-point fault or a
// breakdown is what an unrestrained model gives; any other error (an algorithm an option names that
// does not exist, memory) is named as PETSc gives it, not blamed on the model.
std::string solverFailure(PetscErrorCode code) {
    const std::string said = petscErrorText(code);
    if (code == PETSC_ERR_MAT_LU_ZRPVT || code == PETSC_ERR_FP || code == PETSC_ERR_NOT_CONVERGED)
        return "the solver failed (" + said + "): the model is probably not restrained enough";
    return "the solver failed: " + said;
}

// Null pivots are counted by MUMPS only; another factorisation picked by a PETSc option
// (-pc_factor_mat_solver_type cholmod) reports a singular matrix by failing instead.
void checkNullPivots(KSP ksp) {
    PC pc;
    Mat factor;
    TARV_PETSC(KSPGetPC(ksp, &pc));
    TARV_PETSC(PCFactorGetMatrix(pc, &factor));
    MatSolverType type = nullptr;
    TARV_PETSC(MatFactorGetSolverType(factor, &type));
    PetscBool mumps = PETSC_FALSE;
    TARV_PETSC(PetscStrcmp(type, MATSOLVERMUMPS, &mumps));
    PetscInt nullPivots = 0;
    if (mumps) TARV_PETSC(MatMumpsGetInfog(factor, 28, &nullPivots));
    if (nullPivots > 0)
        throw std::runtime_error("the stiffness matrix is singular (" + std::to_string(nullPivots) +
                                 " null pivots): the model is not restrained enough");
}

void requireFinite(Vec x) {
    PetscReal norm = 0;
    TARV_PETSC(VecNorm(x, NORM_INFINITY, &norm));
    if (!std::isfinite(norm))
        throw std::runtime_error("the solution is not finite: the model is not restrained enough");
}

}  // namespace

void solveByFactorisation(KSP ksp, Mat a, Vec b, Vec x) {
    TARV_PETSC(MatSetOption(a, MAT_SYMMETRIC, PETSC_TRUE));
    TARV_PETSC(MatSetOption(a, MAT_SPD, PETSC_TRUE));
    TARV_PETSC(KSPSetOperators(ksp, a, a));
    configureDirect(ksp, true);
    TARV_PETSC(KSPSetFromOptions(ksp));
    if (KSPSolve(ksp, b, x) != 0)
        throw std::runtime_error(
            "the factorisation failed: the model is not restrained enough (singular) or a material is "
            "invalid");
    checkNullPivots(ksp);
    requireFinite(x);
}

struct ReusingSolver::State {
    Mat matrix = nullptr;
    KspHandle ksp;
    CornerLevel corners;
    std::unique_ptr<SinglePrecisionCholesky> factor;
    std::string method;
};

ReusingSolver::ReusingSolver(SolverChoice choice, const DofLayout& layout, const FeMesh& mesh)
    : choice_(choice), layout_(layout), mesh_(mesh) {}

ReusingSolver::~ReusingSolver() = default;

// Solves with the solver as it stands; the report's iterations are -1 when it failed, `why` says how.
LinearSolveReport ReusingSolver::run(Vec b, Vec x, std::string& why) {
    LinearSolveReport report;
    report.method = state_->method;
    report.iterations = -1;
    LogStage stage("solve");
    if (const PetscErrorCode code = KSPSolve(state_->ksp, b, x); code != 0) {
        why = solverFailure(code);
        return report;
    }
    KSPConvergedReason reason;
    TARV_PETSC(KSPGetConvergedReason(state_->ksp, &reason));
    PetscInt iterations = 0;
    TARV_PETSC(KSPGetIterationNumber(state_->ksp, &iterations));
    PetscReal norm = 0;
    TARV_PETSC(VecNorm(x, NORM_INFINITY, &norm));
    if (reason < 0)
        why = "the solver did not converge (" + reasonText(reason) + " after " + std::to_string(iterations) +
              " iterations): the model is probably not restrained enough";
    else if (!std::isfinite(norm))
        why = "the solution is not finite: the model is not restrained enough";
    else
        report.iterations = static_cast<int>(iterations);
    return report;
}

namespace {

// Sets up the corner level's algebraic multigrid before the rest of the preconditioner. On several
// processes its first coarse product holds intermediates of its own for a moment; set up first, that
// moment comes before the quadratic level's smoother and the conjugate gradients have their vectors.
void setUpCornerLevelFirst(KSP ksp) {
    PC pc;
    PetscBool multigrid = PETSC_FALSE;
    TARV_PETSC(KSPGetPC(ksp, &pc));
    TARV_PETSC(PetscObjectTypeCompare(reinterpret_cast<PetscObject>(pc), PCMG, &multigrid));
    if (!multigrid) return;
    KSP coarseSolve;
    TARV_PETSC(PCMGGetCoarseSolve(pc, &coarseSolve));
    TARV_PETSC(KSPSetFromOptions(coarseSolve));
    if (const PetscErrorCode code = KSPSetUp(coarseSolve); code != 0)
        throw std::runtime_error(solverFailure(code));
}

}  // namespace

LinearSolveReport ReusingSolver::solve(Mat a, Vec b, Vec x, double tolerance) {
    TARV_PETSC(MatSetOption(a, MAT_SYMMETRIC, PETSC_TRUE));
    TARV_PETSC(MatSetOption(a, MAT_SPD, PETSC_TRUE));
    if (choice_ == SolverChoice::Direct && factorisationChosenByOption()) {
        KspHandle ksp;
        TARV_PETSC(KSPCreate(layout_.comm(), ksp.out()));
        solveByFactorisation(ksp, a, b, x);
        return {0, "Cholesky factorisation (PETSc option)"};
    }
    std::string why;
    if (state_ && state_->matrix == a) {
        // The matrix's values changed in place; the preconditioner stays that of an earlier one.
        TARV_PETSC(KSPSetOperators(state_->ksp, a, a));
        TARV_PETSC(KSPSetReusePreconditioner(state_->ksp, PETSC_TRUE));
        const LinearSolveReport report = run(b, x, why);
        if (report.iterations >= 0 && report.iterations <= 2 * freshIterations_ + 5) return report;
    }
    state_.reset();
    LogStage stage("solver set-up");
    auto state = std::make_unique<State>();
    state->matrix = a;
    TARV_PETSC(KSPCreate(layout_.comm(), state->ksp.out()));
    TARV_PETSC(KSPSetOperators(state->ksp, a, a));
    if (choice_ == SolverChoice::Direct) {
        state->factor = std::make_unique<SinglePrecisionCholesky>(a);
        state->factor->precondition(state->ksp);
        state->method = "multifrontal Cholesky in single precision (MUMPS), refined in double";
    } else {
        configureIterativeSolver(state->ksp, a, tolerance, layout_, mesh_, state->corners);
    }
    TARV_PETSC(KSPSetFromOptions(state->ksp));
    if (choice_ != SolverChoice::Direct) state->method = iterativeMethodName(state->ksp);
    {
        // The algebraic multigrid's products keep their intermediate matrices to be formed again,
        // which this solver never asks for (a new matrix gets a new set-up). On several processes
        // the first coarse level's intermediates were the peak of the static solve; freed as each
        // product is done, the larger of two processes on a 611,361-unknown bracket peaked 14 MB
        // lower, one process the same.
        const DefaultOption freeProducts("-mat_product_clear", "true");
        if (state->corners.coarse) setUpCornerLevelFirst(state->ksp);
        if (const PetscErrorCode code = KSPSetUp(state->ksp); code != 0)
            throw std::runtime_error(solverFailure(code));
    }
    state_ = std::move(state);
    ++setUps_;
    const LinearSolveReport report = run(b, x, why);
    if (report.iterations < 0) throw std::runtime_error(why);
    freshIterations_ = report.iterations;
    return report;
}

LinearSolveReport solveLinear(Mat a, Vec b, Vec x, SolverChoice choice, double tolerance,
                              const DofLayout& layout, const FeMesh& mesh) {
    return ReusingSolver(choice, layout, mesh).solve(a, b, x, tolerance);
}

EpsHandle symmetricEigensolver(Mat a, Mat b, int count, double tolerance, int maxIterations,
                               const DofLayout& layout) {
    EpsHandle eps;
    TARV_PETSC(EPSCreate(layout.comm(), eps.out()));
    TARV_PETSC(EPSSetOperators(eps, a, b));
    TARV_PETSC(EPSSetProblemType(eps, EPS_GHEP));
    TARV_PETSC(EPSSetType(eps, EPSKRYLOVSCHUR));
    TARV_PETSC(EPSSetDimensions(eps, eigenpairsToFind(count), PETSC_DEFAULT, PETSC_DEFAULT));
    TARV_PETSC(EPSSetTolerances(eps, tolerance, maxIterations));
    return eps;
}

std::vector<std::pair<double, int>> convergedEigenvalues(EPS eps) {
    PetscInt converged = 0;
    TARV_PETSC(EPSGetConverged(eps, &converged));
    std::vector<std::pair<double, int>> values;
    for (PetscInt i = 0; i < converged; ++i) {
        PetscScalar value, imaginary;
        TARV_PETSC(EPSGetEigenvalue(eps, i, &value, &imaginary));
        values.emplace_back(value, static_cast<int>(i));
    }
    return values;
}

std::vector<double> eigenvectorOnFirst(EPS eps, Mat a, int index) {
    VecHandle vector;
    TARV_PETSC(MatCreateVecs(a, vector.out(), nullptr));
    TARV_PETSC(EPSGetEigenvector(eps, index, vector, nullptr));
    return gatherOnFirst(vector);
}

namespace {

// The `count` lowest modes of K x = lambda M x by shift-invert about 0, the solves on the refined
// single-precision factor (`refined`) or MUMPS's double-precision one; none when the solve fails.
std::optional<ModesReport> shiftInvertModes(Mat k, Mat m, int count, const DofLayout& layout, bool refined) {
    EpsHandle eps = symmetricEigensolver(k, m, count, 1e-10, 500, layout);
    TARV_PETSC(EPSSetTarget(eps, 0.0));
    TARV_PETSC(EPSSetWhichEigenpairs(eps, EPS_TARGET_MAGNITUDE));
    ST st;
    KSP ksp;
    TARV_PETSC(EPSGetST(eps, &st));
    TARV_PETSC(STSetType(st, STSINVERT));
    TARV_PETSC(STGetKSP(st, &ksp));
    std::unique_ptr<SinglePrecisionCholesky> factor;
    if (refined) {
        TARV_PETSC(MatSetOption(k, MAT_SPD, PETSC_TRUE));
        factor = std::make_unique<SinglePrecisionCholesky>(k);
        factor->precondition(ksp);
    } else {
        TARV_PETSC(MatSetOption(k, MAT_SPD, PETSC_FALSE));
        configureDirect(ksp, false);
    }
    TARV_PETSC(EPSSetFromOptions(eps));
    if (EPSSolve(eps) != 0) return std::nullopt;
    PetscInt iterations = 0;
    TARV_PETSC(EPSGetIterationNumber(eps, &iterations));
    ModesReport report;
    report.iterations = static_cast<int>(iterations);
    std::vector<std::pair<double, int>> order = convergedEigenvalues(eps);
    if (static_cast<int>(order.size()) < count)
        throw std::runtime_error("only " + std::to_string(order.size()) + " of " + std::to_string(count) +
                                 " modes converged");
    std::sort(order.begin(), order.end());
    for (int i = 0; i < count; ++i) {
        report.eigenvalues.push_back(order[i].first);
        report.vectors.push_back(eigenvectorOnFirst(eps, k, order[i].second));
    }
    return report;
}

}  // namespace

ModesReport solveModes(Mat k, Mat m, int count, double shift, const DofLayout& layout, bool mayBeIndefinite) {
    TARV_PETSC(MatSetOption(k, MAT_SYMMETRIC, PETSC_TRUE));
    TARV_PETSC(MatSetOption(m, MAT_SYMMETRIC, PETSC_TRUE));
    // The shift goes into K itself, so that no shifted copy stands beside it: the problem is
    // (K - shift M) x = (lambda - shift) M x, inverted about 0.
    if (shift != 0) TARV_PETSC(MatAXPY(k, -shift, m, SUBSET_NONZERO_PATTERN));
    // The single-precision factor refined in double takes half the memory of a double factor and
    // keeps the eigenvalues to a double solve's digits. Where its refinement breaks down (a very
    // slender part's stiffness, near single precision's resolution) the double factor takes over.
    std::optional<ModesReport> report;
    if (!mayBeIndefinite && !factorisationChosenByOption())
        report = shiftInvertModes(k, m, count, layout, true);
    if (!report) report = shiftInvertModes(k, m, count, layout, false);
    if (!report)
        throw std::runtime_error(
            "the eigenvalue solve failed: the shifted stiffness could not be factorised");
    for (double& value : report->eigenvalues) value += shift;
    return *report;
}

namespace {
// Every entry of `v` on the first process (or on every process with `everywhere`).
std::vector<double> gathered(Vec v, bool everywhere) {
    ScatterHandle scatter;
    VecHandle all;
    if (everywhere) {
        TARV_PETSC(VecScatterCreateToAll(v, scatter.out(), all.out()));
    } else {
        TARV_PETSC(VecScatterCreateToZero(v, scatter.out(), all.out()));
    }
    TARV_PETSC(VecScatterBegin(scatter, v, all, INSERT_VALUES, SCATTER_FORWARD));
    TARV_PETSC(VecScatterEnd(scatter, v, all, INSERT_VALUES, SCATTER_FORWARD));
    PetscInt size = 0;
    TARV_PETSC(VecGetLocalSize(all, &size));
    std::vector<double> out(size);
    const PetscScalar* data = nullptr;
    TARV_PETSC(VecGetArrayRead(all, &data));
    std::copy(data, data + size, out.begin());
    TARV_PETSC(VecRestoreArrayRead(all, &data));
    return out;
}

}  // namespace

std::vector<double> gatherOnFirst(Vec v) {
    return gathered(v, false);
}

std::vector<double> gatherOnAll(Vec v) {
    return gathered(v, true);
}

std::vector<double> ownEntries(Vec v) {
    PetscInt size = 0;
    TARV_PETSC(VecGetLocalSize(v, &size));
    const PetscScalar* data = nullptr;
    TARV_PETSC(VecGetArrayRead(v, &data));
    std::vector<double> out(data, data + size);
    TARV_PETSC(VecRestoreArrayRead(v, &data));
    return out;
}

std::vector<double> residualOnAll(Mat k, Vec f, const std::vector<double>& u, Vec x, Vec r) {
    PetscInt first = 0, end = 0;
    TARV_PETSC(VecGetOwnershipRange(x, &first, &end));
    for (PetscInt i = first; i < end; ++i)
        TARV_PETSC(VecSetValue(x, i, u[static_cast<std::size_t>(i)], INSERT_VALUES));
    TARV_PETSC(VecAssemblyBegin(x));
    TARV_PETSC(VecAssemblyEnd(x));
    TARV_PETSC(MatMult(k, x, r));
    TARV_PETSC(VecAXPY(r, -1.0, f));
    return gatherOnAll(r);
}

}  // namespace tarvsolv
