#include "physics/contact_assembly.h"

namespace tarvsolv {
namespace {

// The element matrix stiffness a a^T of a point's gap gradient `a`.
void gapTangent(const std::vector<double>& a, double stiffness, std::vector<double>& ke) {
    const std::size_t n = a.size();
    ke.assign(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) ke[i * n + j] = stiffness * a[i] * a[j];
}

}  // namespace

void assembleContact(const ContactSet& set, const TangentSet& tangent, const DofLayout& layout,
                     const std::vector<double>& global, SystemAssembler& assembler) {
    std::vector<double> ke, fe;
    for (std::size_t k = 0; k < set.points.size(); ++k) {
        const ContactPoint& p = set.points[k];
        if (tangent[k] == PointTangent::None || !layout.ownsNode(p.nodes[0])) continue;
        const double force =
            tangent[k] == PointTangent::Closed ? p.area * contact_law::pressure(p, global) : 0.0;
        gapTangent(p.a, p.area * p.penalty, ke);
        fe.assign(p.a.size(), 0.0);
        for (std::size_t i = 0; i < p.a.size(); ++i) fe[i] = force * p.a[i];
        assembler.addElement(p.nodes, ke, &fe);
    }
}

void addPlaneForces(const ContactSet& set, const std::vector<double>& global, std::vector<double>& nodal) {
    for (const ContactPoint& p : set.points) {
        if (p.between) continue;
        const double force = p.area * contact_law::pressure(p, global);
        for (std::size_t k = 0; k < p.nodes.size(); ++k)
            for (int a = 0; a < 3; ++a)
                nodal[3 * static_cast<std::size_t>(p.nodes[k]) + a] += force * p.a[3 * k + a];
    }
}

void assembleHeldSprings(const ContactSet& set, const DofLayout& layout, const std::vector<double>& global,
                         SystemAssembler& assembler) {
    std::vector<double> ke;
    for (const ContactPoint& p : set.points) {
        if (!layout.ownsNode(p.nodes[0]) || !contact_law::holds(p, global)) continue;
        gapTangent(p.a, contact_law::heldSpringStiffness(p), ke);
        assembler.addElement(p.nodes, ke, nullptr);
    }
}

}  // namespace tarvsolv
