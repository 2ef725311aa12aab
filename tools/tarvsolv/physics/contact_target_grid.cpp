#include "physics/contact_target_grid.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarvsolv {

TargetGrid::TargetGrid(const Placement& at, const std::vector<std::vector<int>>& facets,
                       const std::vector<double>& sizes) {
    for (double size : sizes) cell_ = std::max(cell_, size);
    if (!(cell_ > 0)) return;
    for (std::size_t i = 0; i < facets.size(); ++i) list(at, facets[i], static_cast<int>(i));
}

void TargetGrid::list(const Placement& at, const std::vector<int>& facet, int number) {
    Vec3 low = at(facet[0]), high = low;
    for (int n : facet)
        for (int a = 0; a < 3; ++a) {
            low[a] = std::min(low[a], at(n)[a]);
            high[a] = std::max(high[a], at(n)[a]);
        }
    std::array<long long, 3> from{}, to{};
    for (int a = 0; a < 3; ++a) {
        from[a] = index(low[a]) - 1;
        to[a] = index(high[a]) + 1;
    }
    for (long long x = from[0]; x <= to[0]; ++x)
        for (long long y = from[1]; y <= to[1]; ++y)
            for (long long z = from[2]; z <= to[2]; ++z) cells_[key(x, y, z)].push_back(number);
}

const std::vector<int>& TargetGrid::near(const Vec3& x) const {
    static const std::vector<int> none;
    if (!(cell_ > 0)) return none;
    const auto it = cells_.find(key(index(x.x), index(x.y), index(x.z)));
    return it == cells_.end() ? none : it->second;
}

long long TargetGrid::index(double v) const {
    return static_cast<long long>(std::floor(v / cell_));
}

long long TargetGrid::key(long long x, long long y, long long z) {
    return (x * 73856093LL) ^ (y * 19349663LL) ^ (z * 83492791LL);
}

}  // namespace tarvsolv
