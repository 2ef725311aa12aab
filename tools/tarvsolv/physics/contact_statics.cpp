// Linear statics with gaps and contact: the elastic body is linear, the contact conditions are
// not, so the loads are applied in load steps and each step is solved by Newton's method.
#include <cstdio>
#include <stdexcept>

#include "fem/rigid_motion_check.h"
#include "formats/result_writer.h"
#include "physics/analyses.h"
#include "physics/contact_constraints.h"
#include "physics/contact_statics.h"
#include "physics/elastic_assembly.h"
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

    // The steps only lead the contact to its state under the full loads: no step writes blocks.
    std::string acceptStep(int, double lambda, const std::vector<double>&,
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

std::optional<std::string> freeMotionWithContact(const Job& job, const DofLayout& layout,
                                                 const ContactConstraints& contact,
                                                 const std::vector<double>& state, bool inTime) {
    const char* why = inTime
                          ? " (a gap or contact holds a body only against motion into the contact)"
                          : " (touching contact holds a body only against motion into the contact; an open "
                            "gap holds nothing until it closes)";
    DofLayout check = layout;
    contact.holdTouchingForCheck(check, true, state, inTime);
    if (const auto free = findFreeRigidMotion(job.mesh, check)) return *free + why;
    const auto pairs = contact.touchingPairs(state, inTime);
    if (pairs.empty()) return std::nullopt;
    FeMesh joined = job.mesh;
    const std::size_t per = static_cast<std::size_t>(joined.nodesPerElement);
    for (const std::vector<int>& group : pairs)
        for (std::size_t i = 1; i < group.size(); i += per - 1)
            for (std::size_t k = 0; k < per; ++k)
                joined.conn.push_back(k == 0 || i + k - 1 >= group.size() ? group[0] : group[i + k - 1]);
    DofLayout planes = layout;
    contact.holdTouchingForCheck(planes, false, state, inTime);
    if (const auto free = findFreeRigidMotion(joined, planes))
        return "bodies held only by their contact with each other are free: " + *free;
    return std::nullopt;
}

void checkHeldWithContact(const Job& job, const DofLayout& layout, const ContactConstraints& contact,
                          bool inTime) {
    if (const auto free = freeMotionWithContact(job, layout, contact, {}, inTime))
        throw std::runtime_error(*free);
}

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
        solveInLoadSteps(job, layout, external, system, options, log);
    } catch (const PartialResults& stop) {
        state.failure = stop.what();
    }
    state.displacements = system.lastState();
    if (state.displacements.empty())
        state.displacements.assign(static_cast<std::size_t>(layout.dofCount()), 0.0);
    state.loadFactor = system.lastFactor();
    return state;
}

std::string solveContactStatics(const Job& job, RunLog& log) {
    StructuralSetup setup(job, log);
    const DofLayout& layout = setup.layout();
    const TemperatureField& temperatures = setup.temperatures();
    const ContactState state = solveContactState(job, layout, temperatures, *setup.contact(), log);
    std::string blocks;
    if (layout.onFirstProcess() && state.loadFactor > 0) {
        const CornerResults corners = elementStresses(job, temperatures, state.displacements);
        blocks = results::nodeVectorBlock("DISP", 1, state.displacements) +
                 results::stressBlock(1, corners.nodes, corners.stresses);
    }
    if (state.failure.empty()) return blocks;
    if (state.loadFactor == 0) throw PartialResults(state.failure, {});
    // Keep the last converged state in the result file, as DISP 1 and STRES 1 like the full one.
    char factor[32];
    std::snprintf(factor, sizeof factor, "%.6g", state.loadFactor);
    throw PartialResults(state.failure + "; the result file holds the state at load factor " + factor,
                         blocks);
}

}  // namespace tarvsolv
