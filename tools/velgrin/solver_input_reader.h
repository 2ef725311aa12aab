#pragma once
// Reads the mesher's part of the solver input file: HEADER (unit text, scale, nodes per element),
// MODEL (STEP path), MFILE (mesh path), MSET (the settings line) and ESIZE (local sizes). The other
// sections belong to the solver and are passed over.
#include <istream>
#include <string>

#include "mesh_job.h"

namespace velgrin {

// Reads the file at `path`; throws VelgrinError (BadInput) with a message naming the section and
// line at fault when the file is missing, a section is missing or a line cannot be read.
MeshJob readSolverInput(const std::string& path);

// The same from a stream; `path` is used in messages only.
MeshJob readSolverInput(std::istream& in, const std::string& path);

}  // namespace velgrin
