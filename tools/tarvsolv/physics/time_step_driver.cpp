#include "physics/time_step_driver.h"

#include <cstdio>

#include "physics/partial_results.h"

namespace tarvsolv {
namespace {

PartialResults stopBefore(const std::string& analysis, int step, double dt, int writtenSteps,
                          const std::string& failure) {
    return PartialResults(
        analysis + ": time step " + std::to_string(step) + " (t = " + number(step * dt) +
        " s) does not converge " + failure + "; the run reached t = " + number((step - 1) * dt) + " s" +
        (writtenSteps == 0 ? std::string(", before any printed step")
                           : " and keeps its " + std::to_string(writtenSteps) + " printed steps"));
}

std::string progressHead(int step, int steps, double time) {
    char text[64];
    std::snprintf(text, sizeof text, "step %d/%d, t = %g s: ", step, steps, time);
    return text;
}

}  // namespace

void runTimeSteps(const std::string& analysis, const StepPlan& plan, SolverChoice solver,
                  TimeStepper& stepper, ResultSink& sink, RunLog& log) {
    stepper.start();
    const double started = log.seconds();
    int writtenSteps = 0;
    for (int step = 1; step <= plan.steps; ++step) {
        const double time = step * plan.size;
        const bool written = plan.printed(step);
        const TimeStepOutcome outcome = stepper.advance(step, time, written);
        if (!outcome.converged) throw stopBefore(analysis, step, plan.size, writtenSteps, outcome.failure);
        std::string keywords;
        if (written) {
            ++writtenSteps;
            if (std::optional<StepResult> result = stepper.results()) {
                result->number = step;
                result->time = time;
                keywords = result->keywords();
                sink.step(*result);
            }
        }
        if (!plan.logged(step)) continue;
        const double spent = log.seconds() - started;
        log.line(progressHead(step, plan.steps, time) + stepper.progress() + outcome.detail +
                 stepProgressTail(solver, outcome.iterations, outcome.residual, spent, step, plan.steps) +
                 (written ? " (written as " + keywords + " " + std::to_string(step) + ")" : ""));
    }
    stepper.finish(log);
}

}  // namespace tarvsolv
