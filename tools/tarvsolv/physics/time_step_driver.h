#pragma once
// The loop of the time-stepped analyses (forced vibrations, transient heat): a TimeStepper moves
// the state one step at a time, and runTimeSteps owns what every such analysis does around it:
// which steps are written and logged, the progress line with its solver tail and the time left,
// handing the written steps to the sinks, and ending a run whose step does not converge with the
// steps written before it.
#include <optional>
#include <string>

#include "io/result_sink.h"
#include "io/run_log.h"
#include "linalg/linear_solvers.h"
#include "physics/time_stepping.h"

namespace tarvsolv {

struct TimeStepOutcome {
    bool converged = true;
    int iterations = 0;   // of the linear solves, summed over the step
    double residual = 0;  // the largest of the linear solves' residuals
    std::string detail;   // more of the step's solve for the progress line, ending ", " (or empty)
    std::string failure;  // why it did not converge, as "with the contact (...)"
};

class TimeStepper {
  public:
    virtual ~TimeStepper() = default;
    // The state at t = 0 (initial accelerations, held values at their start).
    virtual void start() = 0;
    // Moves the state on to step `step` at `time`; `written` says whether that step goes to the
    // result file. A step that does not converge leaves the state as it was.
    virtual TimeStepOutcome advance(int step, double time, bool written) = 0;
    // The state to write, on every process (it gathers); none on the processes that do not write.
    // The number and time are filled in by the loop.
    virtual std::optional<StepResult> results() = 0;
    // The state's own part of the progress line, ending ", ": "temperatures 20 to 80, ... ".
    virtual std::string progress() = 0;
    // After the last step: the run's summary lines.
    virtual void finish(RunLog& log) {}
};

// Steps `stepper` through `plan`; throws PartialResults, starting with `analysis`, at a step that
// does not converge, after the written steps before it went to `sink`.
void runTimeSteps(const std::string& analysis, const StepPlan& plan, SolverChoice solver,
                  TimeStepper& stepper, ResultSink& sink, RunLog& log);

}  // namespace tarvsolv
