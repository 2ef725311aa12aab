#pragma once
// The reaction forces of a solved static structure, for the engineer's check that the supports
// carry the loads: for each restraint and interaction entry, the force its nodes take (the
// internal forces of the displacements less the loads applied there) and its moment about the
// model's centroid; their sum against the sum of the applied loads, flagged when the two do not
// balance within 1e-6 of the loads' size.
#include <string>
#include <vector>

#include "fem/dof_layout.h"
#include "physics/job.h"
#include "physics/structural_statics.h"

namespace tarvsolv {

struct EntryReaction {
    std::string entry;  // "restraint on face 3"
    Vec3 force, moment;
};

struct ReactionBalance {
    Vec3 centroid;
    std::vector<EntryReaction> entries;
    Vec3 reactionForce, reactionMoment;  // sums over the entries
    Vec3 loadForce, loadMoment;          // sums of the applied loads
    double imbalance = 0;                // |reactions + loads| over the larger of the two sizes
    bool balanced() const { return imbalance <= 1e-6; }
};

// The reactions of the displacements `u` (global axes, every unknown, on every process) under the
// job's loads (thermal strains of `temperatures`): the internal forces of the elements at held
// nodes less the loads there. Every process takes its share of those elements and sums the forces
// of its own nodes; the answer is complete on every process.
ReactionBalance computeReactions(const Job& job, const DofLayout& layout,
                                 const TemperatureField& temperatures, const std::vector<double>& u);

// The table of nodal forces already known at every node (global axes, 3 per node): `supports`
// what the held nodes take (the internal forces less the loads and any gap forces there), `loads`
// the loads applied, `planes` the forces of gaps to rigid planes on their faces' nodes (empty: none).
// Moments are about the undeformed centroid, with arms to the nodes at `positions` (3 per node;
// empty: the undeformed nodes).
ReactionBalance balanceOf(const Job& job, const DofLayout& layout, const std::vector<double>& supports,
                          const std::vector<double>& loads, const std::vector<double>& positions = {},
                          const std::vector<double>& planes = {});

// The table the log shows, one line per entry, then the sums and the balance.
std::vector<std::string> reactionTable(const ReactionBalance& balance);
// Logs the table, and a warning when the reactions do not balance the loads.
void logReactions(const ReactionBalance& balance, RunLog& log);

}  // namespace tarvsolv
