// Thermal stress in one run: the heat of the job's thermal part first, then the structure of its
// mechanical part at the temperatures found (the thermal strains alpha (T - T0) against the initial
// temperature, the materials at each element's temperature), as a `t` load of another loadcase's
// temperatures would load it. The temperatures and their heat flux are handed on with the structure's
// results.
#include <petscsys.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "physics/analyses.h"
#include "physics/buckling_analysis.h"
#include "physics/heat_assembly.h"
#include "physics/heat_flux.h"
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

// The structure's step with the heat fields in front (the result file lists TEMP and FLUX before
// DISP).
StepResult withHeatFields(StepResult step, const std::vector<NodeField>& heat) {
    step.nodeFields.insert(step.nodeFields.begin(), heat.begin(), heat.end());
    return step;
}

// Statics at `temperatures` (every node's, on every process); answers the step with `heat` (the
// temperatures and their heat flux, on the first process) in front on the first process (the
// others answer none). A run that stops with the converged state of a contact statics hands that
// state on with the heat fields before it stops.
std::optional<StepResult> heatedStatics(const Job& job, const std::vector<double>& temperatures,
                                        const std::vector<NodeField>& heat, RunLog& log,
                                        ResultSink* partial = nullptr) {
    KeptSteps kept;
    try {
        solveStatics(job, log, kept, &temperatures, ResultShares::OnFirst);
    } catch (const PartialResults&) {
        if (partial && !kept.steps.empty()) partial->step(withHeatFields(kept.steps.front(), heat));
        throw;
    }
    if (kept.steps.empty()) return std::nullopt;
    return withHeatFields(std::move(kept.steps.front()), heat);
}

bool onFirstProcess() {
    int rank = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    return rank == 0;
}

// The steady temperatures and their heat flux as the fields of a step, on the first process (none
// on the others).
std::vector<NodeField> steadyHeatFields(const Job& job, const std::vector<double>& temperatures) {
    if (!onFirstProcess()) return {};
    return withHeat(*job.heat, StepResult{}, temperatures, 1.0).nodeFields;
}

// The heat fields handed on as TEMP 1 and FLUX 1, before the modes of a heated modes or buckling
// run (on the first process).
void handTemperatures(const Job& job, const std::vector<double>& temperatures, ResultSink& results) {
    if (!onFirstProcess()) return;
    StepResult step;
    step.nodeFields = steadyHeatFields(job, temperatures);
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
        // On the first process: the step's temperatures and their heat flux.
        std::optional<StepResult> heat = heat_->results();
        std::vector<NodeField> fields = heat ? std::move(heat->nodeFields) : std::vector<NodeField>();
        std::vector<double> temperatures = fields.empty() ? std::vector<double>() : fields.front().values;
        broadcast(temperatures);
        RunLog quiet("", false, false);
        std::optional<StepResult> step = heatedStatics(job_, temperatures, fields, first_ ? log_ : quiet);
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
    const std::vector<NodeField> heat = steadyHeatFields(job, temperatures);
    if (std::optional<StepResult> step = heatedStatics(job, temperatures, heat, log, &results))
        results.step(*step);
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
    handTemperatures(job, temperatures, results);
    solveBuckling(job, log, results, &temperatures);
}

void solveHeatedModes(const Job& job, RunLog& log, ResultSink& results) {
    const std::vector<double> temperatures = heatedState(job, log);
    handTemperatures(job, temperatures, results);
    solveNaturalFrequencies(job, log, results, &temperatures);
}

}  // namespace tarvsolv
