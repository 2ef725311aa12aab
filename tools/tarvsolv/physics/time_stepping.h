#pragma once
// What the step-by-step analyses (transient heat, forced vibrations) share: the step plan of the
// solve rows, one linear solver kept for the run, and the progress line's common tail.
#include <petscksp.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/petsc_handles.h"
#include "io/solver_input.h"
#include "linalg/energy_basis.h"
#include "linalg/linear_solvers.h"
#include "linalg/single_precision_cholesky.h"

namespace tarvsolv {

// Relative residual of each step's iterative solve, from the run's tolerance. Each step starts
// from the last one's error, so the errors add up over a run: a hundred times below the static
// solves' tolerance keeps a run of hundreds of steps as close to the direct solver as a static
// solve is.
inline double stepTolerance(double tolerance) {
    return std::max(1e-2 * tolerance, kToleranceFloor);
}

struct StepPlan {
    int steps = 0;
    double size = 0;
    int printEvery = 1;

    // Result blocks go out for every printed step and the last one.
    bool printed(int step) const { return step % printEvery == 0 || step == steps; }
    // At most about 200 progress lines, and the last step.
    bool logged(int step) const { return step % std::max(1, steps / 200) == 0 || step == steps; }
};

// Solve rows 3 to 5: number of steps, step size, print interval (below 1: every step). Throws
// std::runtime_error that starts with `analysis` for fewer than one step or a step size not above 0.
StepPlan stepPlan(const SolverInput& input, const std::string& analysis);

std::string number(double v);
// "12.3 s", or "4 min 05 s" from a minute on.
std::string durationText(double seconds);

// One linear solver for every step, starting from the projection of the step's solution on the
// earlier steps' solutions: the single-precision Cholesky factor refined by conjugate gradients,
// or conjugate gradients with the multigrid of the static solves (through the corner level for
// quadratic elasticity, solved there by its own Cholesky factor, with the rigid-body modes as near
// null space), either set up once for each matrix and kept while it stays.
class StepSolver {
  public:
    // `tolerance`: the relative residual of the iterative solves (stepTolerance). `layout` and
    // `mesh` must outlive the solver.
    StepSolver(SolverChoice choice, const DofLayout& layout, const FeMesh& mesh, double tolerance);
    // A new matrix is factorised at once (or given to the multigrid at the next solve).
    void setMatrix(Mat a);
    // Solves into `x`; answers the iterations and the residual.
    std::pair<int, double> solve(Vec b, Vec x);

  private:
    void startFromEarlierSolutions(Mat a, Mat products);
    void useSymmetricCopy(Mat a);

    SolverChoice choice_;
    const DofLayout& layout_;
    const FeMesh& mesh_;
    double tolerance_;
    CornerLevel corners_;  // of the iterative solver's multigrid, which refers to it
    std::unique_ptr<SinglePrecisionCholesky> factor_;  // outlives the solver, which refers to it
    KspHandle ksp_;
    MatHandle symmetric_;  // the multigrid path's products, when it has a corner level
    std::optional<EnergyBasis> earlier_;
    VecHandle start_;  // the projection a solve started from
    bool configured_ = false;
};

// "[direct, ]<n> iterations, residual <r>", then ", <time> left" estimated from the time spent
// on the steps so far.
std::string stepProgressTail(SolverChoice choice, int iterations, double residual, double spent, int step,
                             int steps);

}  // namespace tarvsolv
