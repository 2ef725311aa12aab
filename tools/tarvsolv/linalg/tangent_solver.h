#pragma once
// Linear solves of a nonlinear analysis's tangent stiffness. Past a buckling point (and on the
// unstable path a compressed rubber block follows) the tangent is symmetric but indefinite, and a
// follower load makes it unsymmetric; the solvers of linear_solvers.h take only positive definite
// matrices. A tangent is first given to the solver the run chose (which keeps its preconditioner
// over several tangents); when that fails, it is factorised
// in double precision by MUMPS as LDL^T (symmetric) or LU, and so is every later tangent of the run.
#include <string>

#include "fem/dof_layout.h"
#include "linalg/linear_solvers.h"

namespace tarvsolv {

class TangentSolver {
  public:
    TangentSolver(SolverChoice choice, const DofLayout& layout, const FeMesh& mesh)
        : layout_(layout), definite_(choice, layout, mesh) {}

    // Solves k x = b to a relative residual `tolerance` (iterative solver). `symmetric` false: k is
    // unsymmetric and goes straight to the LU factorisation. Throws std::runtime_error when every
    // path fails (a singular tangent).
    void solve(Mat k, Vec b, Vec x, double tolerance, bool symmetric = true);

    // Negative pivots of the last indefinite factorisation (0: none, or the tangent was definite),
    // the number of unstable directions of the tangent there.
    int negativePivots() const { return negativePivots_; }
    bool indefinite() const { return indefinite_; }

    // How often the run's own solver set its preconditioner up (it keeps one over several tangents).
    int setUps() const { return definite_.setUps(); }
    int solves() const { return solves_; }

  private:
    const DofLayout& layout_;
    ReusingSolver definite_;
    bool indefinite_ = false;
    int negativePivots_ = 0;
    int solves_ = 0;
};

}  // namespace tarvsolv
