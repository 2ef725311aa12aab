#pragma once
// Newton's method on a flow's equations: PETSc's SNES (newtonls with a backtracking line search)
// on FlowSystem, every linear step solved by the run's solver: MUMPS's LU factorisation of the
// whole saddle-point matrix (direct), or FGMRES with a Schur-complement field split whose velocity
// block goes to algebraic multigrid and whose Schur complement is preconditioned by the pressure
// mass matrix over the viscosity (iterative; in time steps whose mass term outweighs the viscous
// one, by the Schur complement of the velocity block's diagonal instead). Both stay open to
// PETSc's options.
#include <string>
#include <vector>

#include "base/petsc_handles.h"
#include "io/run_log.h"
#include "linalg/linear_solvers.h"
#include "physics/flow_system.h"

namespace tarvsolv {

using SnesHandle = PetscHandle<SNES, SNESDestroy>;

struct NewtonOutcome {
    bool converged = false;
    int iterations = 0;        // Newton's
    int linearIterations = 0;  // summed over the iterations
    double residual = 0, relative = 0;
    std::string failure;  // why it did not converge
};

class FlowNewton {
  public:
    // `tolerance`: the relative residual to reach; `limit`: Newton iterations at most;
    // `timeFactor`: the time steps' du/dt factor (0: steady).
    FlowNewton(const FlowSystem& system, const FlowLayout& layout, SolverChoice solver, double tolerance,
               int limit, double timeFactor);
    ~FlowNewton();
    FlowNewton(const FlowNewton&) = delete;
    FlowNewton& operator=(const FlowNewton&) = delete;

    // Solves F(x) = 0 at `at` from `x`; converged when the residual is `tolerance` of the larger of
    // `reference` and its first residual. `log` (may be null) takes every iteration.
    NewtonOutcome solve(Vec x, const FlowInstant& at, double reference, RunLog* log);
    // The norm of F(x) at `at`.
    double residualNorm(Vec x, const FlowInstant& at);
    std::string solverName() const;

  private:
    static PetscErrorCode function(SNES, Vec x, Vec f, void* self);
    static PetscErrorCode jacobian(SNES, Vec x, Mat j, Mat p, void* self);
    static PetscErrorCode monitor(SNES, PetscInt iteration, PetscReal norm, void* self);
    void configureLinearSolver(double timeFactor);
    // Sets a PETSc option the command line did not set, for this solver's life.
    void defaultOption(const char* name, const char* value);

    const FlowSystem& system_;
    const FlowLayout& layout_;
    SolverChoice solver_;
    double tolerance_;
    int limit_;
    MatHandle jacobian_, schur_;
    VecHandle residual_;
    IsHandle velocities_, pressures_;
    SnesHandle snes_;
    FlowInstant at_;
    RunLog* log_ = nullptr;
    double reference_ = 1;
    int linearIterations_ = 0;
    std::vector<std::string> defaults_;  // the options this solver set
    bool massDominated_ = false;
};

}  // namespace tarvsolv
