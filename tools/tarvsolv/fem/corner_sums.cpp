#include "fem/corner_sums.h"

#include <ranges>

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
    fillMidSideMeans(
        mesh, std::views::iota(0, mesh.elementCount()),
        [](int node) { return static_cast<std::size_t>(node); }, hits_, out, width_);
    return out;
}

}  // namespace tarvsolv
