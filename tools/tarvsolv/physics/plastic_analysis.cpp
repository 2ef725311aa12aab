// Plasticity: the loads and prescribed displacements rise in load steps to the solve's load
// factor; every step is solved by Newton's method with the tangent consistent with the return
// mapping at the stiffness rule's points (physics/load_stepping). Each body yields by von Mises
// from its tensile yield Sy or, with a friction angle above 0, by a Drucker-Prager cone fitted to
// Mohr-Coulomb: q + 3 sin(phi) p = 2 c cos(phi), which passes through Mohr-Coulomb's uniaxial
// tensile and compressive yields, 2 c cos(phi) / (1 +- sin(phi)); the cohesion c comes from the
// compressive yield Syc when the material gives one, else from Sy. Where the fracture limit Su
// lies above Sy, the yield stress rises linearly to Su at an equivalent plastic strain of
// kHardeningStrain and stays there (a cone grows in proportion); otherwise it stays at Sy.
// Temperatures of another loadcase add their free thermal strain, rising with the load factor.
#include <cmath>
#include <numbers>
#include <sstream>
#include <stdexcept>

#include "fem/element_loop.h"
#include "fem/plastic_element.h"
#include "fem/system_assembler.h"
#include "physics/analyses.h"
#include "physics/contact_constraints.h"
#include "physics/error_report.h"
#include "physics/free_body_check.h"
#include "physics/load_stepping.h"
#include "physics/plastic_analysis.h"
#include "physics/structural_setup.h"
#include "physics/structural_statics.h"
#include "physics/time_stepping.h"

namespace tarvsolv {
namespace {

constexpr double kHardeningStrain = 0.2;
constexpr int kDefaultIterations = 25;

std::runtime_error materialError(const BodyMaterial& body, const std::string& what) {
    return std::runtime_error("plasticity: material on input line " + std::to_string(body.line()) + ": " +
                              what);
}

}  // namespace

PlasticLaw plasticLawOf(double young, double poisson, double sy, double su, double syc,
                        double frictionDegrees) {
    PlasticLaw law;
    law.young = young;
    law.poisson = poisson;
    double scale = 1;  // k / Sy
    if (frictionDegrees > 0) {
        const double phi = frictionDegrees * std::numbers::pi / 180;
        const double s = std::sin(phi), c = std::cos(phi);
        const double cohesion = syc > 0 ? syc * (1 - s) / (2 * c) : sy * (1 + s) / (2 * c);
        law.pressureSlope = 3 * s;
        scale = 2 * cohesion * c / sy;
    }
    law.yield = scale * sy;
    if (su > sy) {
        law.hardening = scale * (su - sy) / kHardeningStrain;
        law.ultimate = scale * su;
    }
    return law;
}

namespace {

class PlasticSystem : public NonlinearSystem {
  public:
    PlasticSystem(const Job& job, StructuralSetup& setup, double frictionDegrees, RunLog& log)
        : job_(job),
          layout_(setup.layout()),
          contact_(setup.contact()),
          points_(plasticPointCount(job.mesh)),
          temperatures_(setup.temperatures()),
          log_(log) {
        for (int e = 0; e < job.mesh.elementCount(); ++e) {
            const BodyMaterial& body = job.materials->forElement(*job.geometry, e);
            const EvalPoint at = elementPoint(job.mesh, e, 1.0, temperatures_.atElement(job.mesh, e));
            const ElasticMaterial m = body.elasticAt(at);
            if (!m.isotropic) throw materialError(body, "plasticity takes isotropic materials only");
            const auto limits = body.limitsAt(at);
            if (!(limits.tensileYield > 0) || !std::isfinite(limits.tensileYield))
                throw materialError(body, "plasticity needs a tensile yield Sy above 0");
            const double young = m.mu * (3 * m.lambda + 2 * m.mu) / (m.lambda + m.mu);
            const double poisson = m.lambda / (2 * (m.lambda + m.mu));
            laws_.push_back(plasticLawOf(young, poisson, limits.tensileYield, limits.ultimate,
                                         limits.compressiveYield, frictionDegrees));
            expansions_.push_back(m.expansion[0]);
            elastic_.push_back(m);
        }
        states_.resize(static_cast<std::size_t>(job.mesh.elementCount()) * points_);
    }

    void assemble(const std::vector<double>&, const std::vector<double>& global, double lambda,
                  SystemAssembler& assembler) override {
        forEachAssembledElement(job_.mesh, layout_, [&](int e) {
            gather(e, global);
            plasticElement(job_.mesh, e, laws_[e], ue_, thermal(e, lambda), pointStates(e), ke_, fe_,
                           updates_);
            for (double& f : fe_) f = -f;
            assembler.addElement(job_.mesh.elementNodes(e), ke_, &fe_);
        });
        if (contact_) contact_->assemble(layout_, global, assembler);
    }

    std::vector<std::vector<int>> couplings() const override {
        return contact_ ? contact_->couplings() : std::vector<std::vector<int>>{};
    }
    void addSupportForces(const std::vector<double>& global, std::vector<double>& nodal) const override {
        if (contact_) contact_->addPlaneForces(global, nodal);
    }

    // Every process keeps every element's states (the first one writes them all).
    std::optional<StepResult> acceptStep(int step, double lambda, const std::vector<double>&,
                                         const std::vector<double>& global) override {
        if (contact_) {
            contact_->logStatus(global, log_);
            contact_->acceptStep(global);
        }
        CornerResults corners;
        std::vector<double> strains;
        const bool writes = layout_.onFirstProcess();
        double largest = 0;
        std::size_t yielded = 0;
        std::vector<double> field(points_);
        for (int e = 0; e < job_.mesh.elementCount(); ++e) {
            gather(e, global);
            plasticPointUpdates(job_.mesh, e, laws_[e], ue_, thermal(e, lambda), pointStates(e), updates_);
            for (int g = 0; g < points_; ++g) {
                states_[static_cast<std::size_t>(e) * points_ + g] = updates_[g].state;
                largest = std::max(largest, updates_[g].state.equivalentPlasticStrain);
                if (updates_[g].state.equivalentPlasticStrain > 0) ++yielded;
            }
            if (!writes) continue;
            const auto nodes = job_.mesh.elementNodes(e);
            std::array<Stress6, 4> stresses{};
            for (int c = 0; c < 6; ++c) {
                for (int g = 0; g < points_; ++g) field[g] = updates_[g].stress[c];
                const auto atCorners = pointsToCorners(job_.mesh, field);
                for (int k = 0; k < 4; ++k) stresses[k][c] = atCorners[k];
            }
            for (int g = 0; g < points_; ++g) field[g] = updates_[g].state.equivalentPlasticStrain;
            const auto atCorners = pointsToCorners(job_.mesh, field);
            for (int k = 0; k < 4; ++k) {
                corners.nodes.push_back(nodes[k] + 1);
                corners.stresses.push_back(stresses[k]);
                strains.push_back(std::max(0.0, atCorners[k]));  // extrapolation may dip below 0
            }
        }
        std::ostringstream text;
        text << "step " << step << ": " << yielded << " of " << states_.size()
             << " points yielded, largest equivalent plastic strain " << largest;
        log_.line(text.str());
        if (!writes) return std::nullopt;
        StepResult result = displacementResult(step, lambda, global, std::move(corners));
        result.corners.plasticStrains = std::move(strains);
        // The corners hold the linear field through the points' return-mapped stresses.
        addCornerStressErrorEstimate(
            job_, result.corners.stresses, [&](int e) { return elastic_[e]; }, result, log_,
            "step " + std::to_string(step) + ": ");
        return result;
    }

  private:
    void gather(int e, const std::vector<double>& global) { elementValues(job_.mesh, e, global, 3, ue_); }
    // The free thermal strain of element `e` at load factor `lambda`: temperatures rise with the
    // loads from the initial temperature.
    FreeThermalStrain thermal(int e, double lambda) {
        changes_ = temperatures_.changes(job_.mesh, e);
        return {expansions_[e], changes_, lambda};
    }
    std::span<const PlasticState> pointStates(int e) const {
        return {states_.data() + static_cast<std::size_t>(e) * points_, static_cast<std::size_t>(points_)};
    }

    const Job& job_;
    const DofLayout& layout_;
    ContactConstraints* contact_;  // null without gaps or contact
    int points_;
    const TemperatureField& temperatures_;
    RunLog& log_;
    std::vector<PlasticLaw> laws_;
    std::vector<double> expansions_;
    std::vector<ElasticMaterial> elastic_;  // the elastic law under each element's yield
    std::vector<PlasticState> states_;      // converged, points_ per element
    std::vector<double> ue_, ke_, fe_, changes_;
    std::vector<PlasticUpdate> updates_;
};

// The loads at load factor 1: face, edge and point loads and the body forces of accelerations.
void assembleExternalLoads(const Job& job, const DofLayout& layout, Vec f, RunLog& log) {
    // Densities at the initial temperature; the thermal strains rise with the load factor in the
    // plastic element itself.
    assembleBodyLoads(job, layout, TemperatureField{{}, job.initialTemperature()}, false, f);
    assembleBoundaryLoads(job, layout, f, log);
}

}  // namespace

void solvePlasticity(const Job& job, RunLog& log, ResultSink& results) {
    const double friction = job.input.solve[3];
    if (!(friction >= 0 && friction < 90))
        throw std::runtime_error("plasticity: the friction angle must lie from 0 up to 90 degrees (found " +
                                 number(friction) + ")");
    LoadSteppingOptions options;
    options.analysis = "plasticity";
    options.finalFactor = job.input.solve[4] == 0 ? 1.0 : job.input.solve[4];
    const double limit = job.input.solve[1];
    options.maxIterations = limit >= 1 ? static_cast<int>(limit) : kDefaultIterations;
    // Row 4, the number of load steps; below 1 (stored loadcases hold 0 there) the shared default.
    const double steps = job.input.solve[2];
    if (!(steps < 1e6))
        throw std::runtime_error("plasticity: the number of load steps must be below a million (found " +
                                 number(steps) + ")");
    if (steps >= 1) options.steps = static_cast<int>(steps);

    StructuralSetup setup(job, log);
    const DofLayout& layout = setup.layout();
    // As in statics: cut steps release closed contact points a few at a time.
    if (setup.contact()) options.lineSearch = false;
    PlasticSystem system(job, setup, friction, log);
    log.line(
        std::string("plasticity: ") +
        (friction > 0 ? "Drucker-Prager, friction angle " + number(friction) : std::string("von Mises")) +
        ", " + std::to_string(layout.dofCount()) + " unknowns (" + std::to_string(layout.prescribedCount()) +
        " prescribed), " + std::to_string(options.steps) + " load steps to load factor " +
        number(options.finalFactor) + ", at most " + std::to_string(options.maxIterations) +
        " Newton iterations per step");
    VecHandle external = layout.createVector();
    assembleExternalLoads(job, layout, external, log);
    options.loads = [&](const DofLayout& other, Vec f) {
        RunLog quiet("", false, false);
        assembleExternalLoads(job, other, f, quiet);
    };
    solveInLoadSteps(job, layout, external, system, options, log, results);
}

}  // namespace tarvsolv
