#pragma once
// The add-on library's one in-memory mesh, shared by the mesh, solve and results commands. It lives
// until the library unloads; a fresh library starts with an empty mesh of quadratic elements.
#include "formats/mesh.h"

namespace mesh_solve {

Mesh& libraryMesh();

}  // namespace mesh_solve
