#pragma once
// Writes the binary mesh file the add-on reads: little-endian int32 node count, element count,
// facet count and nodes per element, 4 + 8 reserved bytes (zero), then the node coordinates
// (3 float64 each), the connectivity (int32, from 1) and the facets (tag, element, local face).
#include <string>

#include "tet_mesh.h"

namespace velgrin {

// Node coordinates are multiplied by `coordinateFactor` (model millimetres to the display unit).
// Throws VelgrinError (WriteFailed); nothing is left at `path` then.
void writeMeshFile(const std::string& path, const TetMesh& mesh, double coordinateFactor);

}  // namespace velgrin
