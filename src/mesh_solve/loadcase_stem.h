#pragma once
// The current loadcase's path without extension: the run log, the solver input and the loadcase
// name the toolbox shows are taken from it.
#include <string>

class CShowUICommand;

namespace mesh_solve {

// The explorer's loadcase file path without its extension.
std::string loadcaseStem(const CShowUICommand& explorer);

// The loadcase name: the stem's part after its last separator.
std::string loadcaseName(const CShowUICommand& explorer);

}  // namespace mesh_solve
