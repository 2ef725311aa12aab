#pragma once
// The solver input of a thermal stress (header codes 11 to 14): the mechanical lines in MATERIALS,
// LOADS and RESTRAINTS as a mechanical loadcase writes them, and the thermal lines in TMATERIALS,
// TLOADS and TRESTRAINTS as a thermal loadcase writes its own sections.
#include "io/solver_input.h"

namespace tarvsolv {

// Whether `kind` is one of the thermal stress analyses.
bool isThermalStress(SolveKind kind);

// Throws std::runtime_error, naming the line, for an input without TMATERIALS, a thermal line in
// a mechanical section, a mechanical line in a thermal one, or a temperature load from another
// loadcase (a thermal stress computes its own temperatures).
void checkThermalStressSections(const SolverInput& input);

// The input of the thermal part: the T sections in place of the materials, loads and restraints,
// and no interactions.
SolverInput thermalPartInput(const SolverInput& input);

}  // namespace tarvsolv
