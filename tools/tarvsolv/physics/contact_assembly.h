#pragma once
// The contact's part of the residual and tangent, of the support forces and of the stiffness of an
// analysis linear about a contact state.
#include <vector>

#include "fem/dof_layout.h"
#include "fem/system_assembler.h"
#include "physics/contact_law.h"

namespace tarvsolv {

// Adds the tangent and minus the internal forces of the contact at the state `global` (global
// axes, every node) for the points of `tangent` (see contact_law::tangentSet) whose first node this
// process owns. An assembler without a matrix takes the forces only.
void assembleContact(const ContactSet& set, const TangentSet& tangent, const DofLayout& layout,
                     const std::vector<double>& global, SystemAssembler& assembler);
// Adds to `nodal` (global axes, every node) the forces that gaps to rigid planes put on their
// faces' nodes at `global`, on every process: the reactions of those supports.
void addPlaneForces(const ContactSet& set, const std::vector<double>& global, std::vector<double>& nodal);
// Adds the stiffness of a normal spring at every point that holds at `global`, for the points whose
// first node this process owns; every other point is left out.
void assembleHeldSprings(const ContactSet& set, const DofLayout& layout, const std::vector<double>& global,
                         SystemAssembler& assembler);

}  // namespace tarvsolv
