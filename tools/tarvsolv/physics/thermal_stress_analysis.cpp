// Thermal stress in one run: the heat of the job's thermal part first, then the structure of its
// mechanical part at the temperatures found (the thermal strains alpha (T - T0) against the initial
// temperature, the materials at each element's temperature), as a `t` load of another loadcase's
// temperatures would load it. The temperatures are handed on with the structure's results.
#include <petscsys.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "physics/analyses.h"
#include "physics/buckling_analysis.h"
#include "physics/heat_assembly.h"
#include "physics/heat_solutions.h"
#include "physics/partial_results.h"
#include "physics/time_step_driver.h"

namespace tarvsolv {
namespace {

// Keeps the steps an analysis hands on, to join them with the temperatures they were solved at.
class KeptSteps : public ResultSink {
  public:
    void modeValues(std::span<const double>) override {}
    void step(const StepResult& step) override { steps.push_back(step); }
    std::vector<StepResult> steps;
};

// The structure's step with the temperatures in front (the result file lists TEMP before DISP).
StepResult withTemperatures(StepResult step, std::vector<double> temperatures) {
    step.nodeFields.insert(step.nodeFields.begin(), {NodeQuantity::Temperature, std::move(temperatures)});
    return step;
}

// Statics at `temperatures` (every node's, on every process); answers the step on the first
// process (the others answer none). A run that stops with the converged state of a contact
// statics hands that state on with the temperatures before it stops.
std::optional<StepResult> heatedStatics(const Job& job, const std::vector<double>& temperatures, RunLog& log,
                                        ResultSink* partial = nullptr) {
    KeptSteps kept;
    try {
        solveStatics(job, log, kept, &temperatures);
    } catch (const PartialResults&) {
        if (partial && !kept.steps.empty()) partial->step(withTemperatures(kept.steps.front(), temperatures));
        throw;
    }
    if (kept.steps.empty()) return std::nullopt;
    return withTemperatures(std::move(kept.steps.front()), temperatures);
}

bool onFirstProcess() {
    int rank = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    return rank == 0;
}

// The temperatures of the steady heat handed on as TEMP 1, before the modes of a heated modes or
// buckling run (on the first process).
void handTemperatures(const std::vector<double>& temperatures, ResultSink& results) {
    if (!onFirstProcess()) return;
    StepResult step;
    step.add(NodeQuantity::Temperature, temperatures);
    results.step(step);
}

std::vector<double> heatedState(const Job& job, RunLog& log) {
    log.line("thermal part: steady heat");
    std::vector<double> temperatures = steadyTemperatures(*job.heat, log);
    log.line("mechanical part at those temperatures");
    return temperatures;
}

// Transient heat whose every written step also carries the quasi-static stress of its
// temperatures. The first written step's statics is logged in full; the later ones would only
// repeat it, so they log to nowhere and their largest displacement joins the progress line.
class ThermalStressStepper : public TimeStepper {
  public:
    ThermalStressStepper(const Job& job, const StepPlan& plan, RunLog& log)
        : job_(job), log_(log), heat_(transientHeatStepper(*job.heat, plan, log)) {}

    void start() override { heat_->start(); }
    TimeStepOutcome advance(int step, double time, bool written) override {
        written_ = written;
        return heat_->advance(step, time, written);
    }
    std::optional<StepResult> results() override {
        std::optional<StepResult> heat = heat_->results();
        std::vector<double> temperatures =
            heat ? std::move(heat->nodeFields.front().values) : std::vector<double>();
        broadcast(temperatures);
        RunLog quiet("", false, false);
        std::optional<StepResult> step = heatedStatics(job_, temperatures, first_ ? log_ : quiet);
        first_ = false;
        if (step) largest_ = largestDisplacement(*step);
        return step;
    }
    std::string progress() override {
        std::string text = heat_->progress();
        if (!written_) return text;
        char displacement[64];
        std::snprintf(displacement, sizeof displacement, "largest displacement %.4g, ", largest_);
        return text + displacement;
    }
    void finish(RunLog& log) override { heat_->finish(log); }

  private:
    // The temperatures of the first process on every process, for the structure's assembly.
    void broadcast(std::vector<double>& values) const {
        values.resize(static_cast<std::size_t>(job_.mesh.nodeCount()));
        MPI_Bcast(values.data(), static_cast<int>(values.size()), MPI_DOUBLE, 0, PETSC_COMM_WORLD);
    }
    static double largestDisplacement(const StepResult& step) {
        double largest = 0;
        for (const NodeField& field : step.nodeFields)
            if (field.quantity == NodeQuantity::Displacement)
                for (std::size_t n = 0; n + 2 < field.values.size(); n += 3)
                    largest = std::max(largest,
                                       std::hypot(field.values[n], field.values[n + 1], field.values[n + 2]));
        return largest;
    }

    const Job& job_;
    RunLog& log_;
    std::unique_ptr<TimeStepper> heat_;
    bool written_ = false, first_ = true;
    double largest_ = 0;
};

}  // namespace

void solveThermalStress(const Job& job, RunLog& log, ResultSink& results) {
    const std::vector<double> temperatures = heatedState(job, log);
    if (std::optional<StepResult> step = heatedStatics(job, temperatures, log, &results)) results.step(*step);
}

void solveTransientThermalStress(const Job& job, RunLog& log, ResultSink& results) {
    checkThermalEntries(*job.heat, log);
    const StepPlan plan = stepPlan(job.input, "transient thermal stress");
    log.line("thermal part: transient heat, with the quasi-static stress of every printed step");
    ThermalStressStepper stepper(job, plan, log);
    runTimeSteps("transient thermal stress", plan, job.solver, stepper, results, log);
}

void solveHeatedBuckling(const Job& job, RunLog& log, ResultSink& results) {
    const std::vector<double> temperatures = heatedState(job, log);
    handTemperatures(temperatures, results);
    solveBuckling(job, log, results, &temperatures);
}

void solveHeatedModes(const Job& job, RunLog& log, ResultSink& results) {
    const std::vector<double> temperatures = heatedState(job, log);
    handTemperatures(temperatures, results);
    solveNaturalFrequencies(job, log, results, &temperatures);
}

}  // namespace tarvsolv
