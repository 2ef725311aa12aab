#include "physics/elastic_assembly.h"

#include <algorithm>
#include <stdexcept>

#include "fem/element_kernels.h"
#include "fem/element_loop.h"

namespace tarvsolv {
namespace {

// The element work of one pass, with its scratch arrays.
class ElasticPass {
  public:
    ElasticPass(const Job& job, const TemperatureField& temperatures, const ElasticTargets& targets)
        : job_(job),
          temperatures_(temperatures),
          t_(targets),
          withLoads_(static_cast<bool>(targets.acceleration) || targets.thermal) {}

    void add(int e) {
        const FeMesh& mesh = job_.mesh;
        const ElasticMaterial m = elementMaterial(job_, temperatures_, e);
        if (t_.mass && !t_.noDensity.empty() && !(m.density > 0)) throw std::runtime_error(t_.noDensity);
        const auto nodes = mesh.elementNodes(e);
        const std::size_t n = 3 * nodes.size();
        if (t_.stiffness) {
            elasticStiffness(mesh, e, m, ke_);
            scales.stiffness = std::max(scales.stiffness, ke_[0]);
        }
        if (t_.mass) {
            consistentMass(mesh, e, m.density * job_.units.massScale, me_);
            scales.mass = std::max(scales.mass, me_[0]);
        }
        fe_.assign(n, 0.0);
        if (withLoads_) addElementLoads(job_, e, m, t_.acceleration, temperatures_, t_.thermal, fe_);
        if (t_.displacements) subtractInternalForces(nodes);
        if (t_.stiffness)
            t_.stiffness->addElement(nodes, ke_, t_.stiffness->hasRightHandSide() ? &fe_ : nullptr);
        if (t_.mass) {
            lift_.assign(n, 0.0);
            t_.mass->addElement(nodes, me_, t_.mass->hasRightHandSide() ? &lift_ : nullptr);
        }
        if (t_.loads) t_.loads->addLoads(nodes, fe_);
    }

    ElasticScales scales;

  private:
    void subtractInternalForces(std::span<const int> nodes) {
        const std::vector<double>& u = *t_.displacements;
        const std::size_t n = 3 * nodes.size();
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j)
                fe_[i] -= ke_[i * n + j] * u[3 * static_cast<std::size_t>(nodes[j / 3]) + j % 3];
    }

    const Job& job_;
    const TemperatureField& temperatures_;
    const ElasticTargets& t_;
    bool withLoads_;
    std::vector<double> ke_, me_, fe_, lift_;
};

}  // namespace

ElasticScales assembleElastic(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                              const ElasticTargets& targets) {
    ElasticPass pass(job, temperatures, targets);
    if (targets.elements) {
        for (int e : *targets.elements) pass.add(e);
        return pass.scales;
    }
    forEachAssembledElement(job.mesh, layout, [&](int e) { pass.add(e); });
    return pass.scales;
}

}  // namespace tarvsolv
