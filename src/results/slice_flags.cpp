#include "results/slice_flags.h"

#include <algorithm>

#include "formats/mesh.h"

namespace results {

BoundingBox boundingBox(const mesh_solve::Mesh& mesh) {
    BoundingBox box;
    const auto c = mesh.coordinates();
    if (c.size() < 3) return box;
    for (int a = 0; a < 3; ++a) box.low[a] = box.high[a] = c[a];
    for (std::size_t i = 0; i + 2 < c.size(); i += 3)
        for (int a = 0; a < 3; ++a) {
            box.low[a] = std::min(box.low[a], c[i + a]);
            box.high[a] = std::max(box.high[a], c[i + a]);
        }
    return box;
}

void computeSliceFlags(mesh_solve::Mesh& mesh, const BoundingBox& box, const std::array<int, 3>& sliders) {
    const auto c = mesh.coordinates();
    std::string& nodeStates = mesh.nodeStates();
    std::string& elementStates = mesh.elementStates();
    nodeStates.resize(static_cast<std::size_t>(mesh.nodeCount()) + 1, kVisible);
    elementStates.resize(static_cast<std::size_t>(mesh.elementCount()) + 1, kVisible);
    for (std::int32_t n = 1; n <= mesh.nodeCount(); ++n) {
        bool out = false;
        for (int a = 0; a < 3; ++a) {
            const double extent = box.high[a] - box.low[a];
            const double value = c[3 * static_cast<std::size_t>(n - 1) + a];
            const int percent = extent == 0.0 ? 0 : static_cast<int>((value - box.low[a]) * 100.0 / extent);
            out = out || percent > sliders[a];
        }
        nodeStates[static_cast<std::size_t>(n)] = out ? kCutAway : kVisible;
    }
    for (std::int32_t e = 1; e <= mesh.elementCount(); ++e) {
        int cut = 0, total = 0;
        for (std::int32_t node : mesh.elementNodes(e)) {
            if (node < 1 || node > mesh.nodeCount()) continue;
            ++total;
            cut += nodeStates[static_cast<std::size_t>(node)] == kCutAway ? 1 : 0;
        }
        elementStates[static_cast<std::size_t>(e)] = cut == 0 ? kVisible : (cut == total ? kCutAway : kCut);
    }
}

}  // namespace results
