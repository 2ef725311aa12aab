#pragma once
// The direct solver: MUMPS's multifrontal Cholesky factorisation held in single precision, used as
// the preconditioner of conjugate gradients in double precision. The factor, which is nearly all
// of a direct solve's memory, takes half the space of a double-precision one and factorises faster;
// its error is removed by a few conjugate-gradient iterations against the double-precision matrix,
// so the answer has the residual of a double-precision solve.
#include <petscksp.h>

#include <memory>
#include <string>

namespace tarvsolv {

// Relative residual the refinement stops at: near what a double-precision factor leaves.
inline constexpr double kRefinedTolerance = 1e-12;

// Whether a factorisation is named on the command line (-pc_factor_mat_solver_type mumps,
// cholmod, ...): the direct solves then take PETSc's own, in double precision, instead.
bool factorisationChosenByOption();

class SinglePrecisionCholesky {
  public:
    // Factorises `a`, symmetric positive definite, on every process of its communicator. Throws
    // std::runtime_error when the factorisation fails or finds null pivots (a model not
    // restrained enough).
    explicit SinglePrecisionCholesky(Mat a);
    ~SinglePrecisionCholesky();
    SinglePrecisionCholesky(const SinglePrecisionCholesky&) = delete;
    SinglePrecisionCholesky& operator=(const SinglePrecisionCholesky&) = delete;

    // Makes `ksp` conjugate gradients on `a` preconditioned by this factor, which must outlive
    // the solves.
    void precondition(KSP ksp, double tolerance = kRefinedTolerance);

    // Solves a x = b with `ksp` as precondition() made it; throws std::runtime_error when the
    // refinement does not converge or the solution is not finite.
    static void solve(KSP ksp, Vec b, Vec x);

    // out = L^-T L^-1 in, in single precision; PETSc's error code (0 when it worked).
    PetscErrorCode apply(Vec in, Vec out);

  private:
    void factorise(MPI_Comm comm);

    struct Mumps;
    std::unique_ptr<Mumps> mumps_;
    Mat a_;
};

}  // namespace tarvsolv
