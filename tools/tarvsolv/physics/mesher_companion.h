#pragma once
// The mesher's companion file (formats/companion_file.h) read for the model geometry: the body of
// every element, the mesh segments along every host edge and the node of every host vertex.
#include <optional>
#include <string>

#include "fem/fe_mesh.h"
#include "formats/companion_file.h"
#include "physics/model_geometry.h"

namespace tarvsolv {

using formats::companionPathFor;

// Reads the companion of `mesh` at `path`; nothing when the file does not exist. Throws
// std::runtime_error when it exists but does not fit the mesh (another mesh's companion) or cannot
// be read.
std::optional<MesherCompanion> readMesherCompanion(const std::string& path, const FeMesh& mesh);

}  // namespace tarvsolv
