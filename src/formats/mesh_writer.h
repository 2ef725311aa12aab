#pragma once
// Writes the binary mesh file (".meb") in the layout the reader takes: little-endian int32 node
// count, element count, facet count and nodes per element, 4 + 8 reserved bytes (zero), then the
// node coordinates (3 float64 each), the connectivity (int32, from 1) and the facet records (tag,
// element, local face).
#include <cstdint>
#include <cstdio>
#include <string>

#include "formats/mesh.h"

namespace mesh_solve {

// Writes the mesh given by `arrays` (its counts follow from the array sizes) to the open `file`.
// False when a write fails.
bool writeMeshFile(std::FILE* file, std::int32_t nodesPerElement, const MeshArrays& arrays);

// The same into a new file at `path` (replacing any file there); false when it cannot be created or
// written.
bool writeMeshFile(const std::string& path, std::int32_t nodesPerElement, const MeshArrays& arrays);

}  // namespace mesh_solve
