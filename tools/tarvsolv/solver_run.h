#pragma once
// One whole solver run on an initialised PETSc: read, solve, append the result blocks.
#include <string>

#include <vector>

#include "io/result_sink.h"
#include "io/run_log.h"
#include "linalg/linear_solvers.h"
#include "physics/job.h"

namespace tarvsolv {

// Solves the job of the input file and writes its result file. Throws std::runtime_error with a
// message for the user when the model cannot be solved; the result file then keeps what it had.
void runSolverJob(const std::string& inputPath, SolverChoice solver, RunLog& log);

// Reads the job of the input file (the run's "read" stage).
Job readJob(const std::string& inputPath, SolverChoice solver, RunLog& log);

// Solves `job` and writes its result file and VTK files, handing the results to `also` too when
// given; answers the VTK files written. Throws as runSolverJob does; the result file then keeps
// what it had.
std::vector<std::string> solveAndWrite(const Job& job, RunLog& log, ResultSink* also = nullptr);

// "MF" chooses the multifrontal direct solver, anything else the iterative one.
SolverChoice solverChoiceFor(const std::string& setting);

}  // namespace tarvsolv
