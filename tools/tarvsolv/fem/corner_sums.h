#pragma once
// Values worked out at the corners of the elements, averaged per node as the add-on's displays
// average the result file's corner lines: each corner node takes the mean over the elements that
// name it, and a mid-side node no corner names the mean of its edge's two corners.
#include <cstddef>
#include <vector>

#include "fem/fe_mesh.h"

namespace tarvsolv {

// The corners (local 0-3) at the ends of the edges whose mid-side nodes a quadratic element lists
// after its corners: 01, 12, 02, 03, 13, 23.
inline constexpr int kMidSideEdges[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};

// Gives every mid-side node of `elements` that no corner names (hits 0) the mean of its edge's two
// corners, `width` values each, in `means`; `at(node)` is a mesh node's index in `means` and `hits`.
// The one rule for the whole model and for a process's piece of it, so that both agree to the bit.
template <class Elements, class At>
void fillMidSideMeans(const FeMesh& mesh, const Elements& elements, At at, const std::vector<int>& hits,
                      std::vector<double>& means, int width) {
    if (mesh.nodesPerElement != 10) return;
    const auto w = static_cast<std::size_t>(width);
    for (const int e : elements) {
        const auto nodes = mesh.elementNodes(e);
        for (int m = 0; m < 6; ++m) {
            const std::size_t mid = at(nodes[4 + m]);
            if (hits[mid] > 0) continue;
            const std::size_t a = at(nodes[kMidSideEdges[m][0]]), b = at(nodes[kMidSideEdges[m][1]]);
            for (std::size_t k = 0; k < w; ++k)
                means[mid * w + k] = 0.5 * (means[a * w + k] + means[b * w + k]);
        }
    }
}

class CornerSums {
  public:
    // Sums of `width` values per node of `mesh`.
    CornerSums(const FeMesh& mesh, int width);

    // Adds one corner's `width` values to node `node` (0-based).
    void add(std::size_t node, const double* values);
    // The mean per node, `width` values each, node order.
    std::vector<double> means(const FeMesh& mesh) const;

  private:
    int width_;
    std::vector<double> sums_;
    std::vector<int> hits_;
};

}  // namespace tarvsolv
