#pragma once
// Restraints and displacement constraints of a structural model, as prescribed unknowns. Every
// condition is a displacement along a direction at a node; a node whose directions are all
// coordinate axes keeps the global axes, any other node gets a frame whose first axes are its
// (mutually orthogonal) directions, so a roller on an inclined face is exact.
#include "fem/dof_layout.h"
#include "physics/job.h"

namespace tarvsolv {

// Restraints (fixed directions), normal displacements (along each node's averaged outward
// normal) and displacements to a plane (along the plane's direction). `zeroValues` prescribes 0
// for every constraint (natural frequencies); otherwise the values are those at `time` (1 in a
// static step). A direction that is neither along nor orthogonal to the node's earlier ones is
// passed over with a warning.
void applyDisplacementConditions(const Job& job, DofLayout& layout, bool zeroValues, RunLog& log,
                                 double time = 1);
// Whether any prescribed displacement changes with time (its value is not a plain number).
bool displacementsFollowTime(const Job& job);

}  // namespace tarvsolv
