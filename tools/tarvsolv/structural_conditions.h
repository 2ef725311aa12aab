#pragma once
// Restraints and displacement constraints of a structural model, as prescribed unknowns (and nodal
// frames for directions that are not coordinate axes).
#include "dof_layout.h"
#include "job.h"

namespace tarvsolv {

// Fixes the restrained directions of every restraint's nodes.
void applyRestraints(const Job& job, DofLayout& layout, RunLog& log);
// Prescribes the normal displacement of a face (along the averaged outward normal of each node) and
// the displacement towards a plane (along the plane's direction). `zeroValues` prescribes 0 instead
// (natural frequencies). A node already restrained in a coordinate direction keeps its restraint.
void applyConstraints(const Job& job, DofLayout& layout, bool zeroValues, RunLog& log);

}  // namespace tarvsolv
