#include "element_repair.h"

#include <vector>

#include "element_geometry.h"

namespace velgrin {

namespace {

std::vector<int> foldedElements(const TetMesh& mesh, double threshold) {
    std::vector<int> out;
    for (int e = 1; e <= mesh.elementCount(); ++e)
        if (jacobianRatio(mesh, e) <= threshold) out.push_back(e);
    return out;
}

// Moves the mid-side nodes of `element` (those inside the body, or those on the surface) to the
// middle of their edge; answers how many moved.
int straighten(TetMesh& mesh, int element, bool surfaceNodes) {
    const std::int32_t* nodes = mesh.element(element);
    int moved = 0;
    for (const MidSide& m : kQuadraticMidSides) {
        const std::int32_t node = nodes[m.node];
        if (static_cast<bool>(mesh.onBoundary[node - 1]) != surfaceNodes) continue;
        const auto a = mesh.node(nodes[m.a]);
        const auto b = mesh.node(nodes[m.b]);
        double* p = mesh.coordinates.data() + 3 * std::size_t(node - 1);
        bool changed = false;
        for (int c = 0; c < 3; ++c) {
            const double middle = 0.5 * (a[c] + b[c]);
            changed |= p[c] != middle;
            p[c] = middle;
        }
        moved += changed;
    }
    return moved;
}

}  // namespace

RepairReport repairFoldedElements(TetMesh& mesh, double threshold) {
    RepairReport report;
    if (mesh.nodesPerElement != 10) return report;
    std::vector<int> folded = foldedElements(mesh, threshold);
    report.invalidBefore = static_cast<int>(folded.size());
    // Straightening one element's edge changes its neighbours on that edge, so check the whole mesh again.
    for (int pass = 0; pass < 3 && !folded.empty(); ++pass) {
        for (int e : folded) report.interiorStraightened += straighten(mesh, e, false);
        folded = foldedElements(mesh, threshold);
    }
    for (int pass = 0; pass < 3 && !folded.empty(); ++pass) {
        for (int e : folded) report.surfaceStraightened += straighten(mesh, e, true);
        folded = foldedElements(mesh, threshold);
    }
    report.invalidAfter = static_cast<int>(folded.size());
    return report;
}

}  // namespace velgrin
