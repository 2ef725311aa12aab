#include "mesh_solve/solver_input_source.h"

#include "addon_base/host_access.h"
#include "mesh_solve/mesh_store.h"

namespace mesh_solve {

loadcase::SolverInputSource solverInputSource(loadcase::DocumentOwner& explorer) {
    // The explorer's own session and units: another session's explorer may have shown since.
    const bool part = explorer.isPartSession();
    const addon::LengthUnits& units = explorer.lengthUnits();
    return loadcase::SolverInputSource{
        .document = explorer.document(),
        .partSession = part ? explorer.partSession() : nullptr,
        .assemblySession = part ? nullptr : addon::findSessionOf(explorer),
        .unitText = units.text,
        .lengthScale = units.scale,
        .nodesPerElement = libraryMesh().nodesPerElement(),
    };
}

}  // namespace mesh_solve
