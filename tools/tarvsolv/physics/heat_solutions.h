#pragma once
// The heat solutions other analyses build on (a thermal stress solves its structure at them): the
// steady temperatures, and the stepper of transient heat for the shared time-step loop.
#include <memory>
#include <vector>

#include "physics/job.h"
#include "physics/time_step_driver.h"

namespace tarvsolv {

// Solves the steady heat of `job` as the steady heat analysis does, logging its heat balance;
// answers every node's temperature on every process.
std::vector<double> steadyTemperatures(const Job& job, RunLog& log);

// The Crank-Nicolson stepper of transient heat (with its backward-Euler start) for `plan`; its
// results are the temperatures of the step, on the first process.
std::unique_ptr<TimeStepper> transientHeatStepper(const Job& job, const StepPlan& plan, RunLog& log);

}  // namespace tarvsolv
