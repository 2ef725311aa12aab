#pragma once
// The mesher's companion file beside the mesh (".mtp" in place of ".meb"): the element range of
// every body and the mesh nodes on every host face, edge and vertex.
//
//   VELGRIN TOPOLOGY 1 / UNIT <unit> / NODES <n> ELEMENTS <e>
//   BODIES <count>, then "<body> <first element> <last element>" per body
//   FACES <count>, then "<face> <node count>" and the node numbers, ten a line
//   EDGES <count>, then "<edge> <face a> <face b> <node count>" and the nodes along the edge
//   VERTICES <count>, then "<vertex> <node> <x> <y> <z>"
//   END
#include <optional>
#include <string>

#include "formats/companion_path.h"
#include "physics/model_geometry.h"

namespace tarvsolv {

using formats::companionPathFor;

// Reads the companion of `mesh`; nothing when the file does not exist. Throws std::runtime_error
// when it exists but does not fit the mesh (another mesh's companion) or cannot be read.
std::optional<MesherCompanion> readCompanionFile(const std::string& path, const FeMesh& mesh);

}  // namespace tarvsolv
