#pragma once
// The faces, edges and vertices of a thermal model held at a temperature: which nodes each entry
// holds (a node two entries name keeps the first one's value, as restraints do), their values at a
// time (a table or a formula follows it), and the heat that flows into the body through each entry.
#include <string>
#include <vector>

#include "fem/dof_layout.h"
#include "physics/heat_balance.h"
#include "physics/job.h"

namespace tarvsolv {

class HeldTemperatures {
  public:
    // Finds every entry's nodes; `log`, when given, names each entry and warns about nodes that an
    // earlier entry of another value holds already.
    HeldTemperatures(const Job& job, RunLog* log);

    bool empty() const { return nodes_.empty(); }
    // The held nodes, ascending.
    const std::vector<int>& nodes() const { return nodes_; }
    // Sets the held nodes in `nodeSet` (one flag per node).
    void mark(std::vector<char>& nodeSet) const;
    // The value of each held node (in the order of nodes()) at `time`.
    std::vector<double> valuesAt(double time) const;
    // Prescribes every held node's temperature at `time` in a layout of one unknown per node.
    void prescribe(DofLayout& layout, double time) const;
    // The heat into the body through each entry, from the heat into each node (every node,
    // global numbering; only the held nodes are read). Negative: heat leaves there.
    std::vector<HeatFlow> flows(const std::vector<double>& nodalHeat) const;

  private:
    const Job& job_;
    std::vector<int> nodes_;
    std::vector<int> entryOfNode_;  // per held node, the entry that holds it
};

// The heat into every node that the temperatures `nodal` (every node, on every process) need to
// stay in balance with the conduction, convection and loads at `time`: K T - f of a steady
// assembly with nothing held. Every process takes part; the answer is on every process.
std::vector<double> steadyNodalHeat(const Job& job, const std::vector<double>& nodal, double time,
                                    MPI_Comm comm);

}  // namespace tarvsolv
