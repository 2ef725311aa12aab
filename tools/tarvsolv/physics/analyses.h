#pragma once
// The analyses of the solve kinds. Each assembles, solves and hands its results to `results` (on
// the first process, the others handing on nothing; statics hands every process its share).
#include "io/result_sink.h"
#include "physics/job.h"

namespace tarvsolv {

// How statics hands its step on a run on several processes: every process its own share of the
// nodes and elements (StepResult::share), or the whole model on the first process, for a caller
// that adds to the step there (thermal stress puts its heat fields in front).
enum class ResultShares { Each, OnFirst };

// `temperatures`, when given, are every node's, solved in this run: they load the structural
// analyses as a `t` load's would.
void solveStatics(const Job& job, RunLog& log, ResultSink& results,
                  const std::vector<double>* temperatures = nullptr,
                  ResultShares shares = ResultShares::Each);
// Statics with gaps or contact, in load steps (solveStatics hands such a model on).
void solveContactStatics(const Job& job, RunLog& log, ResultSink& results,
                         const std::vector<double>* temperatures = nullptr);
void solveNaturalFrequencies(const Job& job, RunLog& log, ResultSink& results,
                             const std::vector<double>* temperatures = nullptr);
void solveSteadyHeat(const Job& job, RunLog& log, ResultSink& results);
void solveTransientHeat(const Job& job, RunLog& log, ResultSink& results);
void solveForcedVibration(const Job& job, RunLog& log, ResultSink& results);
void solvePlasticity(const Job& job, RunLog& log, ResultSink& results);
void solveIncompressibleFlow(const Job& job, RunLog& log, ResultSink& results);
// An ideal gas (header code 9): transient by explicit steps, steady by implicit pseudo-time steps.
void solveCompressibleFlow(const Job& job, RunLog& log, ResultSink& results);
// Thermal stress: steady heat, then statics at its temperatures (TEMP, DISP and STRES 1); transient
// heat with the quasi-static stress of every printed step; steady heat, then buckling or natural
// frequencies about the heated state (TEMP 1, then the modes).
void solveThermalStress(const Job& job, RunLog& log, ResultSink& results);
void solveTransientThermalStress(const Job& job, RunLog& log, ResultSink& results);
void solveHeatedBuckling(const Job& job, RunLog& log, ResultSink& results);
void solveHeatedModes(const Job& job, RunLog& log, ResultSink& results);

}  // namespace tarvsolv
