#include "physics/held_temperatures.h"

#include <algorithm>
#include <map>

#include "fem/matrix_pattern.h"
#include "linalg/linear_solvers.h"
#include "physics/heat_assembly.h"

namespace tarvsolv {

HeldTemperatures::HeldTemperatures(const Job& job, RunLog* log) : job_(job) {
    std::map<int, int> holder;  // node -> entry
    const auto& entries = job.entries.heldTemperatures;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const std::vector<int> nodes = job.geometry->nodesOf(entries[e].where);
        int heldBefore = 0;
        for (int n : nodes) {
            const auto [at, added] = holder.emplace(n, static_cast<int>(e));
            if (!added && entries[at->second].value.text() != entries[e].value.text()) ++heldBefore;
        }
        if (!log) continue;
        log->line("temperature " + entries[e].value.text() + " held on " + entries[e].where.describe() +
                  ": " + std::to_string(nodes.size()) + " nodes");
        if (heldBefore)
            log->warning(std::to_string(heldBefore) + " node(s) of " + entries[e].where.describe() +
                         " are held by an earlier entry and keep its temperature (input line " +
                         std::to_string(entries[e].line) + ")");
    }
    for (const auto& [node, entry] : holder) {
        nodes_.push_back(node);
        entryOfNode_.push_back(entry);
    }
}

void HeldTemperatures::mark(std::vector<char>& nodeSet) const {
    for (int n : nodes_) nodeSet[static_cast<std::size_t>(n)] = 1;
}

std::vector<double> HeldTemperatures::valuesAt(double time) const {
    const auto& entries = job_.entries.heldTemperatures;
    const double reference = job_.initialTemperature();
    std::vector<double> values(nodes_.size());
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        values[i] = entries[static_cast<std::size_t>(entryOfNode_[i])].value(
            EvalPoint{job_.mesh.node(nodes_[i]), time, reference});
    return values;
}

void HeldTemperatures::prescribe(DofLayout& layout, double time) const {
    const std::vector<double> values = valuesAt(time);
    for (std::size_t i = 0; i < nodes_.size(); ++i) layout.prescribe(nodes_[i], values[i]);
}

std::vector<HeatFlow> HeldTemperatures::flows(const std::vector<double>& nodalHeat) const {
    const auto& entries = job_.entries.heldTemperatures;
    std::vector<HeatFlow> out;
    for (const HeldTemperature& entry : entries)
        out.push_back({"temperature held on " + entry.where.describe(), 0.0});
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        out[static_cast<std::size_t>(entryOfNode_[i])].flow += nodalHeat[static_cast<std::size_t>(nodes_[i])];
    return out;
}

std::vector<double> steadyNodalHeat(const Job& job, const std::vector<double>& nodal, double time,
                                    MPI_Comm comm) {
    const DofLayout free(job.mesh, 1, comm);
    const MatrixPattern pattern(job.mesh, free);
    MatHandle k = pattern.createMatrix();
    VecHandle f = free.createVector(), x = free.createVector(), r = free.createVector();
    assembleSteadyHeat(job, pattern, k, f, time, job.materials->conductivityMayVary() ? &nodal : nullptr,
                       nullptr);
    return residualOnAll(k, f, nodal, x, r);
}

}  // namespace tarvsolv
