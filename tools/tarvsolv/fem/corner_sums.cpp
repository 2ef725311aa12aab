#include "fem/corner_sums.h"

namespace tarvsolv {

CornerSums::CornerSums(const FeMesh& mesh, int width)
    : width_(width),
      sums_(static_cast<std::size_t>(mesh.nodeCount()) * width, 0.0),
      hits_(static_cast<std::size_t>(mesh.nodeCount()), 0) {}

void CornerSums::add(std::size_t node, const double* values) {
    for (int k = 0; k < width_; ++k) sums_[node * width_ + k] += values[k];
    ++hits_[node];
}

std::vector<double> CornerSums::means(const FeMesh& mesh) const {
    const auto w = static_cast<std::size_t>(width_);
    std::vector<double> out(sums_.size(), 0.0);
    for (std::size_t n = 0; n < hits_.size(); ++n)
        for (std::size_t k = 0; k < w && hits_[n] > 0; ++k) out[n * w + k] = sums_[n * w + k] / hits_[n];
    if (mesh.nodesPerElement != 10) return out;
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        for (int m = 0; m < 6; ++m) {
            const auto mid = static_cast<std::size_t>(nodes[4 + m]);
            if (hits_[mid] > 0) continue;
            const auto a = static_cast<std::size_t>(nodes[kMidSideEdges[m][0]]),
                       b = static_cast<std::size_t>(nodes[kMidSideEdges[m][1]]);
            for (std::size_t k = 0; k < w; ++k) out[mid * w + k] = 0.5 * (out[a * w + k] + out[b * w + k]);
        }
    }
    return out;
}

}  // namespace tarvsolv
