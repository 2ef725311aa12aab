#pragma once
// The linear and eigenvalue solvers: conjugate gradients with multigrid (for quadratic elasticity
// through the corner nodes' linear level, then algebraic multigrid with the rigid-body modes as
// near null space), a multifrontal Cholesky factorisation in single precision refined in double
// (single_precision_cholesky.h), and shift-invert Krylov-Schur (SLEPc, on the refined
// single-precision factor) for the lowest natural frequencies.
#include <memory>
#include <string>
#include <vector>

#include "fem/dof_layout.h"

namespace tarvsolv {

enum class SolverChoice { Iterative, Direct };

// Relative residual of the iterative solver when the solver input gives no tolerance (inputs
// written before the SOLVE line carried it), and of the Newton steps' linear solves: it keeps the
// iterative solution within 1e-6 of the direct one.
inline constexpr double kIterativeTolerance = 1e-8;
// The smallest tolerance taken: below it the residual of conjugate gradients in double precision
// stalls on round-off instead of converging.
inline constexpr double kToleranceFloor = 1e-12;

struct LinearSolveReport {
    int iterations = 0;
    std::string method;
};

// Solves A x = b. `tolerance` is the relative residual for the iterative solver. Throws
// std::runtime_error when the solver fails or does not converge (a singular model).
LinearSolveReport solveLinear(Mat a, Vec b, Vec x, SolverChoice choice, double tolerance,
                              const DofLayout& layout, const FeMesh& mesh);

// The corner level of the iterative solver's multigrid, which the solver refers to and which must
// outlive it.
struct CornerLevel {
    MatHandle interpolation, coarse;
};

// Makes `ksp` the iterative solver solveLinear runs on `a`: conjugate gradients with the multigrid
// (for quadratic elasticity through `level`), to the relative residual `tolerance`.
void configureIterativeSolver(KSP ksp, Mat a, double tolerance, const DofLayout& layout, const FeMesh& mesh,
                              CornerLevel& level);

// For a solver configureIterativeSolver set up with a corner level: solves that level exactly, by
// a Cholesky factor of the corner operator (MUMPS), instead of by one algebraic multigrid cycle. The smooth
// modes then converge at the smoother's rate: on a slender beam's step matrices about half the iterations,
// for a factor a few times smaller than the whole matrix's. Worth it where one matrix is solved many times,
// as the time steps' is.
void solveCornerLevelExactly(KSP ksp);

// Solves a run of matrices that differ little from one to the next, such as the tangents of
// Newton's method, as solveLinear would, but sets the preconditioner (the multigrid, or the
// single-precision factor) up only for the first: later solves reuse it, and it is set up again
// on the matrix at hand once a solve needs more than twice the iterations of the one just after a
// set-up (plus a few), or fails. The solution has the same residual as solveLinear's.
class ReusingSolver {
  public:
    ReusingSolver(SolverChoice choice, const DofLayout& layout, const FeMesh& mesh);
    ~ReusingSolver();
    ReusingSolver(const ReusingSolver&) = delete;
    ReusingSolver& operator=(const ReusingSolver&) = delete;

    // As solveLinear; throws std::runtime_error when a fresh set-up fails too.
    LinearSolveReport solve(Mat a, Vec b, Vec x, double tolerance);
    int setUps() const { return setUps_; }

  private:
    struct State;
    LinearSolveReport run(Vec b, Vec x, std::string& why);
    SolverChoice choice_;
    const DofLayout& layout_;
    const FeMesh& mesh_;
    std::unique_ptr<State> state_;
    int freshIterations_ = 0;
    int setUps_ = 0;
};

// Solves A x = b by a double-precision Cholesky factorisation (MUMPS, or the one a PETSc option
// names), which `ksp` keeps for further solves. Throws std::runtime_error when the factorisation
// fails or finds null pivots (a model not restrained enough).
void solveByFactorisation(KSP ksp, Mat a, Vec b, Vec x);

struct ModesReport {
    std::vector<double> eigenvalues;           // omega^2, lowest first
    std::vector<std::vector<double>> vectors;  // on the first process: every unknown of each mode
    int iterations = 0;
};

// How many eigenpairs to ask an eigenvalue solver for when `count` are wanted: a few more, since a
// Krylov space sees one vector of a repeated eigenvalue (a square section's two bendings) at a
// time, and the second copy of the last one wanted would otherwise give way to the next distinct
// value.
inline int eigenpairsToFind(int count) {
    return count + (count / 2 > 3 ? count / 2 : 3);
}

// Krylov-Schur for the symmetric-definite problem A x = lambda B x, asked for
// eigenpairsToFind(`count`) pairs to `tolerance` in at most `maxIterations` restarts; the caller
// chooses which pairs and the spectral transformation, then lets the options have their say.
EpsHandle symmetricEigensolver(Mat a, Mat b, int count, double tolerance, int maxIterations,
                               const DofLayout& layout);
// The converged eigenvalues of a solved eigensolver, each with its index.
std::vector<std::pair<double, int>> convergedEigenvalues(EPS eps);
// Eigenvector `index` of a solved eigensolver of matrices like `a`, on the first process (every
// unknown; empty elsewhere).
std::vector<double> eigenvectorOnFirst(EPS eps, Mat a, int index);

// The `count` lowest modes of K x = lambda M x by shift-invert about `shift`. K - shift M is
// factorised in single precision and refined in double, or, when it may be indefinite (a
// prestress that softens the model), by MUMPS's double-precision LDL^T. K is shifted in place.
ModesReport solveModes(Mat k, Mat m, int count, double shift, const DofLayout& layout,
                       bool mayBeIndefinite = false);

// Every entry of a distributed vector, on the first process (empty elsewhere).
std::vector<double> gatherOnFirst(Vec v);
// Every entry of a distributed vector on every process.
std::vector<double> gatherOnAll(Vec v);
// This process's entries of a distributed vector, in order.
std::vector<double> ownEntries(Vec v);
// K u - f on every process, for `u` given in full on every process; `x` and `r` are work vectors
// of the matrix's layout (x takes the process's share of u).
std::vector<double> residualOnAll(Mat k, Vec f, const std::vector<double>& u, Vec x, Vec r);

}  // namespace tarvsolv
