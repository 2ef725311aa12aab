#pragma once
// Writes the companion file beside the mesh file (formats/companion_file.h): which elements belong
// to which body and which mesh nodes lie on each host face, edge and vertex.
#include <string>

#include "formats/companion_file.h"
#include "tet_mesh.h"

namespace velgrin {

using formats::companionPathFor;

// Vertex coordinates are multiplied by `coordinateFactor` like the mesh file's. Throws VelgrinError.
void writeCompanionFile(const std::string& path, const TetMesh& mesh, const std::string& unitText,
                        double coordinateFactor);

}  // namespace velgrin
