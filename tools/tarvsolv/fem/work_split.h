#pragma once
// How the work of a layout is split over the processes: the elements each one assembles and the
// unknowns it owns, and the load imbalance (the largest share over the mean), for the run log.
#include <string>
#include <vector>

#include "fem/dof_layout.h"

namespace tarvsolv {

struct WorkShares {
    std::vector<long long> elements, unknowns;  // per process, on every process
};

// Collective over the layout's communicator.
WorkShares workShares(const FeMesh& mesh, const DofLayout& layout);
// The largest share over the mean (1 when the shares are equal or all 0).
double imbalance(const std::vector<long long>& shares);
// "work split over 2 processes: elements 61234 + 60111 (imbalance 1.01), unknowns ...".
std::string workSplitText(const WorkShares& shares);

}  // namespace tarvsolv
