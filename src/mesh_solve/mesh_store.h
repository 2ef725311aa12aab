#pragma once
// The add-on library's one in-memory mesh, shared by the mesh, solve and results commands. It lives
// until the library unloads; a fresh library starts with an empty mesh of quadratic elements.
#include <string>

#include "formats/mesh.h"
#include "formats/mesh_reader.h"

namespace mesh_solve {

Mesh& libraryMesh();

// What useMeshFile did.
struct MeshFileUse {
    bool read = false;      // the file was read now and the library mesh (or its refusal) is new
    MeshReadResult result;  // of the latest reading of the file
};

// Makes the library mesh the mesh of the file at `path`. The file is read when the library mesh does
// not come from it: another path, a release since, or `reread`. A file that cannot be opened leaves
// the library without a mesh, so that no view shows the mesh of another path; it is tried again
// next time. A file that is refused, or holds no elements, is not read again until the path changes
// or `reread` asks.
MeshFileUse useMeshFile(const std::string& path, bool reread);

}  // namespace mesh_solve
