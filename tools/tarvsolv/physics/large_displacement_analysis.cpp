#include "physics/large_displacement_analysis.h"

#include <functional>
#include <optional>
#include <stdexcept>

#include "fem/element_loop.h"
#include "fem/hyperelastic_kernels.h"
#include "fem/shape_functions.h"
#include "fem/system_assembler.h"
#include "physics/contact_constraints.h"
#include "physics/error_report.h"
#include "physics/free_body_check.h"
#include "physics/load_stepping.h"
#include "physics/structural_setup.h"
#include "physics/structural_statics.h"

namespace tarvsolv {

namespace {

std::vector<double> gatherNodes(std::span<const int> nodes, const std::vector<double>& u) {
    std::vector<double> values(3 * nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (int a = 0; a < 3; ++a) values[3 * i + a] = u[3 * static_cast<std::size_t>(nodes[i]) + a];
    return values;
}

Tensor3 deformationGradient(const VolumePoint& g, int nodes, const std::vector<double>& ue) {
    double grad[3][3];
    displacementGradient(g, nodes, ue, grad);
    Tensor3 f{};
    for (int i = 0; i < 3; ++i)
        for (int b = 0; b < 3; ++b) f[i][b] = grad[i][b] + (i == b ? 1 : 0);
    return f;
}

// A pressure entry as a load that follows the face it acts on.
struct FollowerPressure {
    std::vector<Facet> facets;
    std::function<double(const Vec3&)> value;
};

class HyperelasticSystem : public NonlinearSystem {
  public:
    // `temperatures`: the initial temperature, at which temperature-dependent constants are taken.
    // `contact`: the gaps and contact, null without them.
    HyperelasticSystem(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                       ContactConstraints* contact, RunLog& log)
        : job_(job), layout_(layout), temperatures_(temperatures), contact_(contact), log_(log) {
        for (int e = 0; e < job.mesh.elementCount(); ++e) {
            const ElasticMaterial m = elementMaterial(job, temperatures, e);
            if (!m.isotropic) throw std::runtime_error("large displacements need an isotropic material");
            laws_.push_back({m.mu, m.lambda});
        }
        for (const Load& load : job.entries.loads) {
            if (load.kind != LoadKind::Pressure || load.where.kind != EntityRef::Kind::Face) continue;
            const Expression& p = load.values[0];
            pressures_.push_back({job.geometry->facetsOfFace(load.where.first), [&p](const Vec3& x) {
                                      return p(EvalPoint{x, 1});
                                  }});
        }
    }

    bool hasPressure() const { return !pressures_.empty(); }

    void assemble(const std::vector<double>&, const std::vector<double>& global, double lambda,
                  SystemAssembler& assembler) override {
        std::vector<double> fe, ke;
        forEachAssembledElement(job_.mesh, layout_, [&](int e) {
            const auto nodes = job_.mesh.elementNodes(e);
            hyperelasticElement(job_.mesh, e, laws_[e], gatherNodes(nodes, global), fe, ke);
            for (double& v : fe) v = -v;
            assembler.addElement(nodes, ke, &fe);
        });
        addFollowerLoads(global, lambda, assembler);
        if (contact_) contact_->assemble(layout_, global, assembler);
    }

    // The follower pressures at `lambda` and their load stiffness.
    void addFollowerLoads(const std::vector<double>& global, double lambda,
                          SystemAssembler& assembler) const override {
        std::vector<double> fe, ke;
        for (const FollowerPressure& pressure : pressures_)
            for (const Facet& facet : pressure.facets) {
                if (!layout_.assemblesElement(job_.mesh, facet.element)) continue;
                const std::vector<int> nodes = job_.mesh.faceNodes(facet.element, facet.face);
                followerPressureFacet(job_.mesh, facet, pressure.value, gatherNodes(nodes, global), fe, ke);
                for (double& v : fe) v *= lambda;
                for (double& v : ke) v *= lambda;
                assembler.addElement(nodes, ke, &fe);
            }
    }

    std::vector<std::vector<int>> couplings() const override {
        return contact_ ? contact_->couplings() : std::vector<std::vector<int>>{};
    }
    void addSupportForces(const std::vector<double>& global, std::vector<double>& nodal) const override {
        if (contact_) contact_->addPlaneForces(global, nodal);
    }

    // The contact pairs of the next step are those of the converged state: the bodies may have
    // moved or turned past their facets since they were found.
    std::optional<StepResult> acceptStep(int step, double lambda, const std::vector<double>&,
                                         const std::vector<double>& global) override {
        if (contact_) {
            contact_->logStatus(global, log_);
            contact_->acceptStep(global);
            const ContactConstraints::PairChanges pairs = contact_->pairOn(global);
            if (pairs.changed)
                log_.line("contact pairs found again on the deformed faces: " +
                          std::to_string(pairs.changed) + " point(s) face another facet");
            // Points that met no facet at the start of the step are not held in it and may pass
            // into the other body.
            if (pairs.inside)
                log_.warning("step " + std::to_string(step) + ": " + std::to_string(pairs.inside) +
                             " contact point(s) lie inside the other body by more than a tenth of their "
                             "facet: the step moved the contact faces by more than a facet, and its "
                             "results do not hold them apart");
        }
        if (!layout_.onFirstProcess()) return std::nullopt;
        StepResult result = displacementResult(step, lambda, global, cauchyStresses(global));
        // Measured on the reference mesh, where the elements were made: the second Piola-Kirchhoff
        // stress, work-conjugate to the Green-Lagrange strain.
        addSecondPiolaErrorEstimate(job_, temperatures_, global, result, log_,
                                    "step " + std::to_string(step) + ": ");
        return result;
    }

  private:
    // Cauchy stress at the corners of every element, on the deformed configuration.
    CornerResults cauchyStresses(const std::vector<double>& u) const {
        CornerResults corners;
        const int p = job_.mesh.nodesPerElement;
        for (int e = 0; e < job_.mesh.elementCount(); ++e) {
            const auto nodes = job_.mesh.elementNodes(e);
            const auto ue = gatherNodes(nodes, u);
            for (int c = 0; c < 4; ++c) {
                const VolumePoint g = volumePoint(job_.mesh, e, kTetCorners[c]);
                corners.nodes.push_back(nodes[c] + 1);
                corners.stresses.push_back(cauchyStress(laws_[e], deformationGradient(g, p, ue)));
            }
        }
        return corners;
    }

    const Job& job_;
    const DofLayout& layout_;
    const TemperatureField& temperatures_;
    ContactConstraints* contact_;
    RunLog& log_;
    std::vector<NeoHookean> laws_;
    std::vector<FollowerPressure> pressures_;
};

// What this analysis does not take, refused by name rather than left out of the answer.
void refuseUnsupported(const Job& job) {
    if (accelerationField(job))
        throw std::runtime_error(
            "large displacements are solved without accelerations or spins in this version");
    for (const Load& load : job.entries.loads) {
        if (load.kind == LoadKind::Temperatures)
            throw std::runtime_error(
                "large displacements are solved without temperature loads in this version");
        if (load.kind == LoadKind::Pressure && load.where.kind != EntityRef::Kind::Face)
            throw std::runtime_error("input line " + std::to_string(load.line) +
                                     ": a pressure in a large-displacement run acts on faces only");
    }
}

}  // namespace

void solveLargeDisplacement(const Job& job, RunLog& log, ResultSink& results) {
    refuseUnsupported(job);
    StructuralOptions setupOptions;
    setupOptions.pairing = ContactPairing::FoundAgainAsBodiesMove;
    StructuralSetup setup(job, log, setupOptions);
    const DofLayout& layout = setup.layout();
    ContactConstraints* contact = setup.contact();
    HyperelasticSystem system(job, layout, setup.temperatures(), contact, log);
    // Forces and tractions keep their direction and size (dead loads); pressures follow the faces
    // and are assembled with the state.
    VecHandle external = layout.createVector();
    assembleBoundaryLoads(job, layout, external, log, 1, false);
    double loadNorm = 0;
    VecNorm(external, NORM_2, &loadNorm);
    bool prescribedMotion = false;
    for (int d = 0; d < layout.dofCount() && !prescribedMotion; ++d)
        prescribedMotion = layout.isPrescribed(d) && layout.prescribedValue(d) != 0;
    if (!(loadNorm > 0) && !system.hasPressure() && !prescribedMotion)
        throw std::runtime_error("large displacements need a load or a prescribed displacement");
    LoadSteppingOptions options;
    options.analysis = "large displacements";
    options.symmetricTangent = !system.hasPressure();
    options.loads = [&](const DofLayout& other, Vec f) {
        RunLog quiet("", false, false);
        assembleBoundaryLoads(job, other, f, quiet, 1, false);
    };
    options.deformedArms = true;
    // As in statics: cut Newton steps release closed contact points a few at a time.
    options.lineSearch = !contact;
    log.line("large displacements: " + std::to_string(layout.dofCount()) + " unknowns, " +
             std::to_string(options.steps) + " load steps, neo-Hookean material" +
             (system.hasPressure() ? ", follower pressure" : "") + (contact ? ", gaps and contact" : ""));
    solveInLoadSteps(job, layout, external, system, options, log, results);
}

}  // namespace tarvsolv
