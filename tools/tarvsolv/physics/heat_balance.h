#pragma once
// The heat balance of a steady temperature field, for the engineer's check that the heat put in
// leaves again: the heat each heat flux, point heat and internal heat entry puts in, the heat each
// convection face gives off, h (T - fluid) over its area, and how closely the two sums agree
// (flagged when they differ by more than 1e-6 of the larger).
#include <string>
#include <vector>

#include "job.h"

namespace tarvsolv {

struct HeatFlow {
    std::string entry;  // "heat flux on face 2"
    double flow = 0;    // into the body (convection: out of it, as a positive loss)
};

struct HeatBalance {
    std::vector<HeatFlow> inflows, outflows;
    double in = 0, out = 0;
    double imbalance = 0;  // |in - out| over the larger of the two
    bool balanced() const { return imbalance <= 1e-6; }
};

// The balance of the temperatures `nodal` (every node) at the end of a steady solve.
HeatBalance heatBalance(const Job& job, const std::vector<double>& nodal);

// The log's lines: one per entry, then the sums and the balance.
std::vector<std::string> heatBalanceTable(const HeatBalance& balance);

}  // namespace tarvsolv
