#include "fem/work_split.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "fem/element_loop.h"

namespace tarvsolv {

namespace {

// Whether the element's nodes lie in more than one process's range.
bool spansProcesses(const FeMesh& mesh, const DofLayout& layout, int e) {
    const auto nodes = mesh.elementNodes(e);
    const int owner = layout.ownerOf(nodes[0]);
    return std::any_of(nodes.begin() + 1, nodes.end(), [&](int n) { return layout.ownerOf(n) != owner; });
}

// The other processes' nodes that share an element with a node of this process.
long long haloNodes(const FeMesh& mesh, const DofLayout& layout) {
    std::vector<char> halo(static_cast<std::size_t>(mesh.nodeCount()), 0);
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        if (std::none_of(nodes.begin(), nodes.end(), [&](int n) { return layout.ownsNode(n); })) continue;
        for (const int n : nodes)
            if (!layout.ownsNode(n)) halo[n] = 1;
    }
    return std::count(halo.begin(), halo.end(), 1);
}

}  // namespace

WorkShares workShares(const FeMesh& mesh, const DofLayout& layout) {
    long long mine[4] = {0,
                         static_cast<long long>(layout.endNode() - layout.firstNode()) * layout.dofsPerNode(),
                         0, haloNodes(mesh, layout)};
    forEachAssembledElement(mesh, layout, [&](int e) {
        ++mine[0];
        if (spansProcesses(mesh, layout, e)) ++mine[2];
    });
    int processes = 1;
    MPI_Comm_size(layout.comm(), &processes);
    std::vector<long long> all(4 * static_cast<std::size_t>(processes));
    MPI_Allgather(mine, 4, MPI_LONG_LONG, all.data(), 4, MPI_LONG_LONG, layout.comm());
    WorkShares shares;
    for (std::size_t p = 0; p < static_cast<std::size_t>(processes); ++p) {
        shares.elements.push_back(all[4 * p]);
        shares.unknowns.push_back(all[4 * p + 1]);
        shares.spanning.push_back(all[4 * p + 2]);
        shares.halo.push_back(all[4 * p + 3]);
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
    const long long elements = std::accumulate(shares.elements.begin(), shares.elements.end(), 0LL);
    const long long spanning = std::accumulate(shares.spanning.begin(), shares.spanning.end(), 0LL);
    char across[64];
    std::snprintf(across, sizeof across, "; elements across processes %.1f %%",
                  elements ? 100.0 * static_cast<double>(spanning) / static_cast<double>(elements) : 0.0);
    std::string halo = ", halo nodes";
    for (std::size_t p = 0; p < shares.halo.size(); ++p)
        halo += (p ? " + " : " ") + std::to_string(shares.halo[p]);
    return "work split over " + std::to_string(n) + " process" + (n == 1 ? "" : "es") + ": " +
           sharesText("elements", shares.elements) + ", " + sharesText("unknowns", shares.unknowns) +
           " (the largest share over the mean)" + across + halo;
}

}  // namespace tarvsolv
