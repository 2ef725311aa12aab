#pragma once
#include <string>

#include "io/result_sink.h"
#include "io/run_log.h"
#include "physics/job.h"

namespace tarvsolv {

// Large displacements of a neo-Hookean solid, total Lagrangian, in the shared load steps
// (load_stepping.h): Newton's method with a backtracking line search, pressures that follow the
// deformed faces, prescribed displacements and restraints in local axes raised with the load
// factor. Answers the DISP n and STRES n (Cauchy stress on the deformed configuration) blocks of
// every converged step; a step that cannot converge ends the run by PartialResults.
void solveLargeDisplacement(const Job& job, RunLog& log, ResultSink& results);

}  // namespace tarvsolv
