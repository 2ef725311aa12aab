#pragma once
// The analyses of the solve kinds. Each assembles, solves and hands its results to `results` (on
// the first process; the others hand on nothing).
#include "io/result_sink.h"
#include "physics/job.h"

namespace tarvsolv {

void solveStatics(const Job& job, RunLog& log, ResultSink& results);
// Statics with gaps or contact, in load steps (solveStatics hands such a model on).
void solveContactStatics(const Job& job, RunLog& log, ResultSink& results);
void solveNaturalFrequencies(const Job& job, RunLog& log, ResultSink& results);
void solveSteadyHeat(const Job& job, RunLog& log, ResultSink& results);
void solveTransientHeat(const Job& job, RunLog& log, ResultSink& results);
void solveForcedVibration(const Job& job, RunLog& log, ResultSink& results);
void solvePlasticity(const Job& job, RunLog& log, ResultSink& results);
void solveIncompressibleFlow(const Job& job, RunLog& log, ResultSink& results);

}  // namespace tarvsolv
