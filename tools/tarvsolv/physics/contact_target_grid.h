#pragma once
// The facets of the other side of the contact pairs by cells of a uniform grid as large as the
// largest facet: each facet is listed in every cell within one cell of its corners' box, so a point
// finds in its own cell every facet it can pair with (within the facet's size).
#include <unordered_map>
#include <vector>

#include "physics/contact_facet_geometry.h"

namespace tarvsolv {

class TargetGrid {
  public:
    // `facets` are node lists placed by `at`, `sizes` their sizes.
    TargetGrid(const Placement& at, const std::vector<std::vector<int>>& facets,
               const std::vector<double>& sizes);
    // The facets listed in the cell of `x`.
    const std::vector<int>& near(const Vec3& x) const;

  private:
    void list(const Placement& at, const std::vector<int>& facet, int number);
    long long index(double v) const;
    static long long key(long long x, long long y, long long z);
    double cell_ = 0;
    std::unordered_map<long long, std::vector<int>> cells_;
};

}  // namespace tarvsolv
