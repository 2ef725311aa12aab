#pragma once
#include <stdexcept>
#include <string>

#include "io/run_log.h"
#include "job.h"
#include "physics/load_stepping.h"

namespace tarvsolv {

// Large displacements of a neo-Hookean solid, total Lagrangian, in load steps solved by Newton's
// method with a backtracking line search. Answers the DISP n and STRES n (Cauchy stress on the
// deformed configuration) blocks of every converged step. When a step cannot converge, even
// halved, the blocks of the converged steps are written and the run fails naming that step.
std::string solveLargeDisplacement(const Job& job, RunLog& log);

}  // namespace tarvsolv
