#pragma once
// The mesh and solve commands' way to the solver input writer: the explorer's document with the
// host geometry, units and mesh in memory that go with it.
#include "loadcase/document_command.h"
#include "loadcase/solver_input_writer.h"

namespace mesh_solve {

// Throws HostError when the session of an assembly cannot be had.
loadcase::SolverInputSource solverInputSource(loadcase::DocumentOwner& explorer);

}  // namespace mesh_solve
