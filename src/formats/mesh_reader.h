#pragma once
// Reads the mesher's binary mesh file (".meb") into an in-memory mesh.
//
// Layout, little-endian, no padding: int32 node count N, element count E, facet count F, nodes per
// element P (4 or 10), 4 + 8 reserved bytes; then N x 3 float64 coordinates, E x P int32 node
// numbers (1-based), and F records of three int32: tag, element number (1-based), local face 1 to 4.
#include <string>

#include "formats/mesh.h"

namespace mesh_solve {

enum class MeshReadStatus {
    Read,       // the file was read; the mesh holds it (empty when N or E is below 1)
    NotOpened,  // the file could not be opened; the mesh is untouched
    Refused,    // the file is damaged or too large; the mesh is now empty and `message` says why
};

struct MeshReadResult {
    MeshReadStatus status = MeshReadStatus::NotOpened;
    std::string message;
    bool opened() const { return status != MeshReadStatus::NotOpened; }
};

// Replaces `mesh` with the mesh file at `path`. Every count and reference is checked against the
// file before it is used, so a damaged file is refused instead of read partly.
MeshReadResult readMeshFile(Mesh& mesh, const std::string& path);

}  // namespace mesh_solve
