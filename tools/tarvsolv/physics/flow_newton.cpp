#include "physics/flow_newton.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarvsolv {
namespace {

std::string reasonText(SNESConvergedReason reason) {
    switch (reason) {
        case SNES_DIVERGED_MAX_IT:
            return "the iteration limit was reached";
        case SNES_DIVERGED_LINE_SEARCH:
            return "the line search found no lower residual";
        case SNES_DIVERGED_LINEAR_SOLVE:
            return "the linear solver failed";
        case SNES_DIVERGED_DTOL:
        case SNES_DIVERGED_FNORM_NAN:
            return "the residual grew without bound";
        default:
            return std::string("SNES stopped: ") + SNESConvergedReasons[reason];
    }
}

}  // namespace

FlowNewton::FlowNewton(const FlowSystem& system, const FlowLayout& layout, SolverChoice solver,
                       double tolerance, int limit, double timeFactor)
    : system_(system),
      layout_(layout),
      solver_(solver),
      tolerance_(tolerance),
      limit_(limit),
      jacobian_(layout.createMatrix()),
      residual_(layout.createVector()) {
    TARV_PETSC(SNESCreate(layout.comm(), snes_.out()));
    TARV_PETSC(SNESSetType(snes_, SNESNEWTONLS));
    SNESLineSearch search;
    TARV_PETSC(SNESGetLineSearch(snes_, &search));
    TARV_PETSC(SNESLineSearchSetType(search, SNESLINESEARCHBT));
    TARV_PETSC(SNESSetFunction(snes_, residual_, &FlowNewton::function, this));
    TARV_PETSC(SNESSetJacobian(snes_, jacobian_, jacobian_, &FlowNewton::jacobian, this));
    TARV_PETSC(SNESMonitorSet(snes_, &FlowNewton::monitor, this, nullptr));
    configureLinearSolver(timeFactor);
    TARV_PETSC(SNESSetFromOptions(snes_));
}

FlowNewton::~FlowNewton() {
    for (const std::string& name : defaults_) PetscOptionsClearValue(nullptr, name.c_str());
}

// The flow's defaults stay open to the command line's options, and go with the solver, so that a
// later run in the same process starts from the command line again.
void FlowNewton::defaultOption(const char* name, const char* value) {
    PetscBool set = PETSC_FALSE;
    TARV_PETSC(PetscOptionsHasName(nullptr, nullptr, name, &set));
    if (set) return;
    TARV_PETSC(PetscOptionsSetValue(nullptr, name, value));
    defaults_.emplace_back(name);
}

void FlowNewton::configureLinearSolver(double timeFactor) {
    KSP ksp;
    PC pc;
    TARV_PETSC(SNESGetKSP(snes_, &ksp));
    TARV_PETSC(KSPGetPC(ksp, &pc));
    if (solver_ == SolverChoice::Direct) {
        TARV_PETSC(KSPSetType(ksp, KSPPREONLY));
        TARV_PETSC(PCSetType(pc, PCLU));
        TARV_PETSC(PCFactorSetMatSolverType(pc, MATSOLVERMUMPS));
        // LU pivots off the diagonal where convection outweighs conduction, so a Newton step's
        // factorisation can need more room than the analysis of the pattern foresaw: MUMPS's
        // margin of 20 % failed (INFOG(1) = -9) at the second Newton step of heated pipe flow.
        defaultOption("-mat_mumps_icntl_14", "60");
        return;
    }
    TARV_PETSC(KSPSetType(ksp, KSPFGMRES));
    TARV_PETSC(KSPGMRESSetRestart(ksp, 200));
    TARV_PETSC(KSPSetTolerances(ksp, 1e-6, 1e-300, PETSC_DEFAULT, 2000));
    TARV_PETSC(PCSetType(pc, PCFIELDSPLIT));
    velocities_ = layout_.velocitySet();
    pressures_ = layout_.pressureSet();
    TARV_PETSC(PCFieldSplitSetIS(pc, "u", velocities_));
    TARV_PETSC(PCFieldSplitSetIS(pc, "p", pressures_));
    TARV_PETSC(PCFieldSplitSetType(pc, PC_COMPOSITE_SCHUR));
    TARV_PETSC(PCFieldSplitSetSchurFactType(pc, PC_FIELDSPLIT_SCHUR_FACT_UPPER));
    defaultOption("-fieldsplit_u_ksp_type", "preonly");
    defaultOption("-fieldsplit_p_ksp_type", "preonly");
    // The Schur complement -B A^-1 B^T behaves as the pressure mass matrix over the viscosity
    // while the viscous term dominates the velocity block, but as a pressure Laplacian times
    // dt / rho once the time step's mass term rho/dt outweighs mu/h^2: there the Schur complement of
    // the block's diagonal (PETSc's "selfp", a Laplacian of that kind) takes the mass matrix's place,
    // by one multigrid cycle, and the velocity block, made diagonally dominant by the mass term, goes
    // to incomplete LU (one multigrid cycle on it stalled in the start of a duct flow at Re 200).
    const double size = system_.elementSize();
    massDominated_ = timeFactor * system_.smallestDensity() * size * size > system_.largestViscosity();
    if (massDominated_) {
        TARV_PETSC(PCFieldSplitSetSchurPre(pc, PC_FIELDSPLIT_SCHUR_PRE_SELFP, nullptr));
        defaultOption("-fieldsplit_u_pc_type", "bjacobi");
        defaultOption("-fieldsplit_u_sub_pc_type", "ilu");
        defaultOption("-fieldsplit_p_pc_type", "gamg");
        return;
    }
    // One multigrid cycle on the velocities; the pressure mass matrix's diagonal on the pressures
    // (spectrally equivalent to the matrix itself for linear elements).
    defaultOption("-fieldsplit_u_pc_type", "gamg");
    schur_ = system_.schurPreconditioner();
    TARV_PETSC(PCFieldSplitSetSchurPre(pc, PC_FIELDSPLIT_SCHUR_PRE_USER, schur_));
    defaultOption("-fieldsplit_p_pc_type", "jacobi");
}

std::string FlowNewton::solverName() const {
    // With heat, the temperatures join the velocities' block (x, y, z, T per node).
    const bool heat = layout_.hasTemperature();
    const std::string block = heat ? "velocities and temperatures" : "velocities";
    const std::string diagonal = heat ? "the velocity and temperature block's" : "the velocity block's";
    return solver_ == SolverChoice::Direct ? "LU factorisation (MUMPS) of the whole system"
           : massDominated_
               ? "FGMRES, Schur complement field split (" + block +
                     " by incomplete LU, the Schur complement by that of " + diagonal + " diagonal, by GAMG)"
               : "FGMRES, Schur complement field split (" + block +
                     " by GAMG, the Schur complement by the pressure mass matrix over the viscosity)";
}

PetscErrorCode FlowNewton::function(SNES, Vec x, Vec f, void* self) {
    auto* newton = static_cast<FlowNewton*>(self);
    try {
        newton->system_.evaluate(x, newton->at_, f, nullptr);
    } catch (const std::exception&) {
        return PETSC_ERR_LIB;
    }
    return 0;
}

PetscErrorCode FlowNewton::jacobian(SNES, Vec x, Mat j, Mat, void* self) {
    auto* newton = static_cast<FlowNewton*>(self);
    try {
        newton->system_.evaluate(x, newton->at_, nullptr, j);
    } catch (const std::exception&) {
        return PETSC_ERR_LIB;
    }
    return 0;
}

PetscErrorCode FlowNewton::monitor(SNES snes, PetscInt iteration, PetscReal norm, void* self) {
    auto* newton = static_cast<FlowNewton*>(self);
    PetscInt linear = 0;
    if (iteration > 0) {
        KSP ksp;
        SNESGetKSP(snes, &ksp);
        KSPGetIterationNumber(ksp, &linear);
        newton->linearIterations_ += static_cast<int>(linear);
    }
    if (newton->log_) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "  Newton iteration %d: residual %.3e, relative residual %.3e, %d linear iterations",
                      static_cast<int>(iteration), static_cast<double>(norm), norm / newton->reference_,
                      static_cast<int>(linear));
        newton->log_->line(text);
    }
    return 0;
}

double FlowNewton::residualNorm(Vec x, const FlowInstant& at) {
    system_.evaluate(x, at, residual_, nullptr);
    PetscReal norm = 0;
    TARV_PETSC(VecNorm(residual_, NORM_2, &norm));
    return norm;
}

NewtonOutcome FlowNewton::solve(Vec x, const FlowInstant& at, double reference, RunLog* log) {
    at_ = at;
    log_ = log;
    const double first = residualNorm(x, at);
    reference_ = std::max({reference, first, 1e-300});
    linearIterations_ = 0;
    TARV_PETSC(SNESSetTolerances(snes_, tolerance_ * reference_, 0.0, 0.0, limit_, 100000));
    NewtonOutcome out;
    const PetscErrorCode code = SNESSolve(snes_, nullptr, x);
    SNESConvergedReason reason = SNES_CONVERGED_ITERATING;
    PetscInt iterations = 0;
    PetscReal norm = 0;
    SNESGetConvergedReason(snes_, &reason);
    SNESGetIterationNumber(snes_, &iterations);
    SNESGetFunctionNorm(snes_, &norm);
    out.iterations = static_cast<int>(iterations);
    out.linearIterations = linearIterations_;
    out.residual = norm;
    out.relative = norm / reference_;
    out.converged = code == 0 && reason > 0 && std::isfinite(norm);
    if (code != 0) {
        out.failure = "the linear solver failed (" + petscErrorText(code) + ")";
    } else if (!out.converged)
        out.failure = reasonText(reason);
    return out;
}

}  // namespace tarvsolv
