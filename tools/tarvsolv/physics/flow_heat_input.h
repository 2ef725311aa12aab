#pragma once
// The thermal lines of a flow that carries heat (header code 10): its TLOADS (heat flux "bol F 0 q",
// convection "bol F 2 h, Tf", internal heat "al Q") and TRESTRAINTS (held temperatures
// "<ref> temp T"), written as a thermal loadcase writes its loads and restraints, read beside the
// flow's own LOADS and RESTRAINTS. The fluid's material line carries the heat constants.
#include "physics/model_entries.h"

namespace tarvsolv {

// Throws std::runtime_error naming the line for a thermal line in a flow section, a flow line in a
// thermal one, or a TMATERIALS section (the fluid's line "rho, mu, k, c, beta" holds its heat
// constants); before the flow's own sections are read, whose reading would name the line less well.
void checkFlowHeatSections(const SolverInput& input);
// Adds the thermal entries of `input` to `entries` (a flow's, with its tables).
void addFlowHeatEntries(const SolverInput& input, ModelEntries& entries);

}  // namespace tarvsolv
