#pragma once
// The plain-text dump of the in-memory mesh, "check.mes", written to the project folder after each
// mesh reading so that a user can look at what the add-on has read.
#include <string>
#include <string_view>

#include "formats/mesh.h"

namespace mesh_solve {

inline constexpr std::string_view kMeshDumpFileName = "check.mes";

// The dump's path in `projectFolder`.
std::string meshDumpPath(std::string_view projectFolder);

// Writes `mesh` to `fileName`: a header with the length-unit text and nodes per element, the counts,
// then one line per node, element and boundary facet. An empty mesh gives the headings only.
// Returns false when the file cannot be created or written.
bool writeMeshDump(const Mesh& mesh, const std::string& fileName, std::string_view unitText);

}  // namespace mesh_solve
