// Linear statics with gaps and contact: the elastic body is linear, the contact conditions are
// not, so the loads are applied in load steps and each step is solved by Newton's method.
#include <cstdio>
#include <stdexcept>

#include "fem/element_kernels.h"
#include "physics/analyses.h"
#include "physics/contact_constraints.h"
#include "physics/contact_statics.h"
#include "physics/elastic_assembly.h"
#include "physics/error_report.h"
#include "physics/free_body_check.h"
#include "physics/load_stepping.h"
#include "physics/structural_setup.h"
#include "physics/structural_statics.h"

namespace tarvsolv {
namespace {

// Enough steps for the augmentation to bring the penetration well below the penalty's.
constexpr int kContactLoadSteps = 5;

class ElasticContactSystem : public NonlinearSystem {
  public:
    ElasticContactSystem(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                         ContactConstraints& contact, RunLog& log)
        : job_(job), layout_(layout), temperatures_(temperatures), contact_(contact), log_(log) {}

    void assemble(const std::vector<double>&, const std::vector<double>& global, double,
                  SystemAssembler& assembler) override {
        ElasticTargets targets;
        targets.stiffness = &assembler;
        targets.displacements = &global;
        assembleElastic(job_, layout_, temperatures_, targets);
        contact_.assemble(layout_, global, assembler);
    }

    // The steps only lead the contact to its state under the full loads: no step writes results.
    std::optional<StepResult> acceptStep(int, double lambda, const std::vector<double>&,
                                         const std::vector<double>& global) override {
        contact_.logStatus(global, log_);
        contact_.acceptStep(global);
        last_ = global;
        lastFactor_ = lambda;
        return {};
    }

    const std::vector<double>& lastState() const { return last_; }
    double lastFactor() const { return lastFactor_; }

    std::vector<std::vector<int>> couplings() const override { return contact_.couplings(); }
    void addSupportForces(const std::vector<double>& global, std::vector<double>& nodal) const override {
        contact_.addPlaneForces(global, nodal);
    }

  private:
    const Job& job_;
    const DofLayout& layout_;
    const TemperatureField& temperatures_;
    ContactConstraints& contact_;
    RunLog& log_;
    std::vector<double> last_;
    double lastFactor_ = 0;
};

// The loads at load factor 1: body forces, thermal strains and the boundary loads.
void assembleExternalLoads(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                           Vec f, RunLog& log) {
    assembleBodyLoads(job, layout, temperatures, true, f);
    assembleBoundaryLoads(job, layout, f, log);
}

}  // namespace

ContactState solveContactState(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                               ContactConstraints& contact, RunLog& log) {
    log.line("assembling " + std::to_string(layout.dofCount()) + " unknowns (" +
             std::to_string(layout.prescribedCount()) + " prescribed), gaps and contact in " +
             std::to_string(kContactLoadSteps) + " load steps");
    VecHandle external = layout.createVector();
    assembleExternalLoads(job, layout, temperatures, external, log);
    ElasticContactSystem system(job, layout, temperatures, contact, log);
    LoadSteppingOptions options;
    options.analysis = "gaps and contact";
    options.steps = kContactLoadSteps;
    options.lineSearch = false;
    options.loads = [&](const DofLayout& other, Vec f) {
        RunLog quiet("", false, false);
        assembleExternalLoads(job, other, temperatures, f, quiet);
    };
    ContactState state;
    try {
        ResultSinks none;  // the steps write nothing: the state under the full loads is the result
        solveInLoadSteps(job, layout, external, system, options, log, none);
    } catch (const PartialResults& stop) {
        state.failure = stop.what();
    }
    state.displacements = system.lastState();
    if (state.displacements.empty())
        state.displacements.assign(static_cast<std::size_t>(layout.dofCount()), 0.0);
    state.loadFactor = system.lastFactor();
    return state;
}

void solveContactStatics(const Job& job, RunLog& log, ResultSink& results,
                         const std::vector<double>* heated) {
    StructuralOptions options;
    options.temperatures = heated;
    StructuralSetup setup(job, log, options);
    const DofLayout& layout = setup.layout();
    const TemperatureField& temperatures = setup.temperatures();
    const ContactState state = solveContactState(job, layout, temperatures, *setup.contact(), log);
    if (layout.onFirstProcess() && state.loadFactor > 0) {
        StepResult step = displacementResult(1, state.loadFactor, state.displacements,
                                             elementStresses(job, temperatures, state.displacements));
        addStressErrorEstimate(job, temperatures, true, state.displacements, step, log);
        results.step(step);
    }
    if (state.failure.empty()) return;
    if (state.loadFactor == 0) throw PartialResults(state.failure);
    // Keep the last converged state in the result file, as DISP 1 and STRES 1 like the full one.
    char factor[32];
    std::snprintf(factor, sizeof factor, "%.6g", state.loadFactor);
    throw PartialResults(state.failure + "; the result file holds the state at load factor " + factor);
}

}  // namespace tarvsolv
