#pragma once
// How the work of a layout is split over the processes: the elements each one assembles and the
// unknowns it owns, and the load imbalance (the largest share over the mean), the elements whose
// nodes lie in more than one process's range and the halo (the other processes' nodes that share
// an element with a process's own, which every matrix product fetches), for the run log.
#include <string>
#include <vector>

#include "fem/dof_layout.h"

namespace tarvsolv {

struct WorkShares {
    std::vector<long long> elements, unknowns;  // per process, on every process
    std::vector<long long> spanning, halo;      // per process: assembled elements across ranges, halo nodes
};

// Collective over the layout's communicator.
WorkShares workShares(const FeMesh& mesh, const DofLayout& layout);
// The largest share over the mean (1 when the shares are equal or all 0).
double imbalance(const std::vector<long long>& shares);
// "work split over 2 processes: elements 61234 + 60111 (imbalance 1.01), unknowns ...; elements
// across processes 2.1 %, halo nodes 812 + 790".
std::string workSplitText(const WorkShares& shares);

}  // namespace tarvsolv
