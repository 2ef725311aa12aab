#include "mesh_solve/solver_input_source.h"

#include "addon_base/host_access.h"
#include "addon_base/library_state.h"
#include "mesh_solve/mesh_store.h"

namespace mesh_solve {

loadcase::SolverInputSource solverInputSource(loadcase::DocumentOwner& explorer) {
    const auto& lib = addon::library();
    const bool part = explorer.isPartSession();
    return loadcase::SolverInputSource{
        .document = explorer.document(),
        .partSession = part ? lib.currentPartSession : nullptr,
        .assemblySession = part ? nullptr : addon::findSessionOf(explorer),
        .unitText = lib.unitText,
        .lengthScale = lib.lengthScale,
        .nodesPerElement = libraryMesh().nodesPerElement(),
    };
}

}  // namespace mesh_solve
