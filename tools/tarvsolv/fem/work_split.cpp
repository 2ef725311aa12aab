#include "fem/work_split.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "fem/element_loop.h"

namespace tarvsolv {

WorkShares workShares(const FeMesh& mesh, const DofLayout& layout) {
    long long mine[2] = {
        0, static_cast<long long>(layout.endNode() - layout.firstNode()) * layout.dofsPerNode()};
    forEachAssembledElement(mesh, layout, [&](int) { ++mine[0]; });
    int processes = 1;
    MPI_Comm_size(layout.comm(), &processes);
    std::vector<long long> all(2 * static_cast<std::size_t>(processes));
    MPI_Allgather(mine, 2, MPI_LONG_LONG, all.data(), 2, MPI_LONG_LONG, layout.comm());
    WorkShares shares;
    for (int p = 0; p < processes; ++p) {
        shares.elements.push_back(all[2 * static_cast<std::size_t>(p)]);
        shares.unknowns.push_back(all[2 * static_cast<std::size_t>(p) + 1]);
    }
    return shares;
}

double imbalance(const std::vector<long long>& shares) {
    if (shares.empty()) return 1;
    const long long total = std::accumulate(shares.begin(), shares.end(), 0LL);
    if (total == 0) return 1;
    const double mean = static_cast<double>(total) / static_cast<double>(shares.size());
    return static_cast<double>(*std::max_element(shares.begin(), shares.end())) / mean;
}

namespace {

std::string sharesText(const char* what, const std::vector<long long>& shares) {
    std::string text = what;
    for (std::size_t p = 0; p < shares.size(); ++p) text += (p ? " + " : " ") + std::to_string(shares[p]);
    char ratio[48];
    std::snprintf(ratio, sizeof ratio, " (imbalance %.3f)", imbalance(shares));
    return text + ratio;
}

}  // namespace

std::string workSplitText(const WorkShares& shares) {
    const std::size_t n = shares.elements.size();
    return "work split over " + std::to_string(n) + " process" + (n == 1 ? "" : "es") + ": " +
           sharesText("elements", shares.elements) + ", " + sharesText("unknowns", shares.unknowns) +
           " (the largest share over the mean)";
}

}  // namespace tarvsolv
