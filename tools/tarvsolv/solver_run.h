#pragma once
// One whole solver run on an initialised PETSc: read, solve, append the result blocks.
#include <string>

#include "io/run_log.h"
#include "linalg/linear_solvers.h"

namespace tarvsolv {

// Solves the job of the input file and writes its result file. Throws std::runtime_error with a
// message for the user when the model cannot be solved; the result file then keeps what it had.
void runSolverJob(const std::string& inputPath, SolverChoice solver, RunLog& log);

// "MF" chooses the multifrontal direct solver, anything else the iterative one.
SolverChoice solverChoiceFor(const std::string& setting);

}  // namespace tarvsolv
