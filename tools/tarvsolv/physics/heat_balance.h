#pragma once
// The heat balance of a temperature field, for the engineer's check that the heat put in leaves
// again: the heat each heat flux, point heat and internal heat entry puts in, the heat each
// convection face gives off, h (T - fluid) over its area, the heat that flows in or out where a
// temperature is held (what holding it takes), and how closely the two sums agree
// (flagged when they differ by more than 1e-6 of the larger). Over a transient run the flows are
// summed over the time steps by the steps' own rule, and the heat the body stored is the third sum.
#include <algorithm>
#include <string>
#include <vector>

#include "physics/job.h"

namespace tarvsolv {

struct HeatFlow {
    std::string entry;  // "heat flux on face 2"
    double flow = 0;    // into the body (convection: out of it, as a positive loss)
};

struct HeatBalance {
    std::vector<HeatFlow> inflows, outflows;
    // Held temperatures: the heat into the body there, negative where it leaves; it counts as heat
    // put in or given off by its sign.
    std::vector<HeatFlow> held;
    // Signed as the held ones, after them: heat a flow's discretisation adds and the rate of heat
    // stored in a time step (negative: taken up), which a flow that carries heat balances against.
    std::vector<HeatFlow> signedFlows;
    double in = 0, out = 0;
    double stored = 0;     // over a transient run: the heat the body took up, C (T_end - T_start)
    bool overRun = false;  // flows are heat over a transient run, not heat per unit time
    double imbalance = 0;  // |in - out - stored| over the largest of the three
    // Within 1e-6, or within ten times the relative residual `tolerance` the solve stopped at: an
    // iterative solve leaves an imbalance of about its own tolerance.
    bool balanced(double tolerance = 0) const { return imbalance <= std::max(1e-6, 10 * tolerance); }
};

// The balance of the temperatures `nodal` (every node), with the loads at `time` (a steady solve
// takes its loads at 1).
HeatBalance heatBalance(const Job& job, const std::vector<double>& nodal, double time = 1.0);

// Adds `weight` times the flows of `at` (same entries) to `total`, for the heat over a run.
void addFlows(HeatBalance& total, const HeatBalance& at, double weight);
// Sets the sums and the imbalance of `b` from its flows and its stored heat.
void settle(HeatBalance& b);

// The log's lines: one per entry, then the sums and the balance.
std::vector<std::string> heatBalanceTable(const HeatBalance& balance);
// Logs the table, and a warning when the heat does not balance (see balanced()).
void logHeatBalance(const HeatBalance& balance, RunLog& log, double tolerance = 0);

}  // namespace tarvsolv
