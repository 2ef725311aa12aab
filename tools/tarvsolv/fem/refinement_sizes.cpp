#include "fem/refinement_sizes.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tarvsolv {

double relativeErrorOfShares(std::span<const double> shares) {
    const double sum = std::accumulate(shares.begin(), shares.end(), 0.0);
    return sum > 0 ? std::sqrt(sum / (1 + sum)) : 0.0;
}

std::vector<double> elementSizes(const FeMesh& mesh) {
    static constexpr int kEdges[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};
    std::vector<double> sizes(static_cast<std::size_t>(mesh.elementCount()));
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        double total = 0;
        for (const auto& edge : kEdges) total += norm(mesh.node(nodes[edge[1]]) - mesh.node(nodes[edge[0]]));
        sizes[static_cast<std::size_t>(e)] = total / 6;
    }
    return sizes;
}

std::vector<double> refinedElementSizes(const FeMesh& mesh, std::span<const double> shares, double target) {
    std::vector<double> sizes = elementSizes(mesh);
    const double total = std::accumulate(shares.begin(), shares.end(), 0.0);
    const double allowed =
        target * std::sqrt((1 + total) / static_cast<double>(std::max<std::size_t>(1, sizes.size())));
    const int order = mesh.nodesPerElement == 4 ? 1 : 2;
    const double exponent = -2.0 / (2 * order + 3);
    for (std::size_t e = 0; e < sizes.size() && e < shares.size(); ++e) {
        const double xi = std::sqrt(std::max(0.0, shares[e])) / allowed;
        // An element without error may grow as far as a cycle lets it.
        const double change = xi > 0 ? std::pow(xi, exponent) : kLargestSizeChange;
        sizes[e] *= std::clamp(change, kSmallestSizeChange, kLargestSizeChange);
    }
    return sizes;
}

std::vector<double> nodeSizes(const FeMesh& mesh, std::span<const double> sizes) {
    std::vector<double> atNode(static_cast<std::size_t>(mesh.nodeCount()), 0.0);
    for (int e = 0; e < mesh.elementCount() && static_cast<std::size_t>(e) < sizes.size(); ++e) {
        for (const int n : mesh.elementNodes(e)) {
            double& size = atNode[static_cast<std::size_t>(n)];
            size = size > 0 ? std::min(size, sizes[static_cast<std::size_t>(e)])
                            : sizes[static_cast<std::size_t>(e)];
        }
    }
    return atNode;
}

}  // namespace tarvsolv
