#pragma once
// Finds a part of the mesh whose prescribed displacements leave it free to move as a rigid body,
// before a solver meets the singular matrix.
#include <optional>
#include <string>

#include "fem/dof_layout.h"
#include "fem/fe_mesh.h"

namespace tarvsolv {

// A description of the first free rigid motion ("the part holding node 12 can move along Y"), or
// nothing when every connected part of the mesh is held.
std::optional<std::string> findFreeRigidMotion(const FeMesh& mesh, const DofLayout& layout);

// True when every connected part of the mesh has at least one node set.
bool everyPartTouched(const FeMesh& mesh, const std::vector<char>& nodeSet);

}  // namespace tarvsolv
