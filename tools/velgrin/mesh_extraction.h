#pragma once
// Takes the generated tetrahedra out of the Gmsh model into a TetMesh: nodes numbered from 1,
// elements body by body in the add-on's local order with positive volume, boundary facets tagged
// with host face numbers, and the nodes on every host face, edge and vertex.
#include "cad_model.h"
#include "entity_map.h"
#include "tet_mesh.h"

namespace velgrin {

// `order` is 1 or 2. Throws VelgrinError (BadModel) when a body has no elements or an element is
// flat (zero volume).
TetMesh extractMesh(const CadModel& model, const EntityMap& map, int order);

}  // namespace velgrin
