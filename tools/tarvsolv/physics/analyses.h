#pragma once
// The three analyses: linear statics, natural frequencies and steady heat. Each assembles, solves
// and answers the result blocks to append to the result file (on the first process).
#include <string>

#include "physics/job.h"

namespace tarvsolv {

std::string solveStatics(const Job& job, RunLog& log);
// Statics with gaps or contact, in load steps (solveStatics hands such a model on).
std::string solveContactStatics(const Job& job, RunLog& log);
std::string solveNaturalFrequencies(const Job& job, RunLog& log);
std::string solveSteadyHeat(const Job& job, RunLog& log);
std::string solveTransientHeat(const Job& job, RunLog& log);
std::string solveForcedVibration(const Job& job, RunLog& log);
std::string solvePlasticity(const Job& job, RunLog& log);

}  // namespace tarvsolv
