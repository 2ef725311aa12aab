#pragma once
// The current loadcase's path without extension: the run log, the solver input and the loadcase
// name the toolbox shows are taken from it.
#include <string>

#include "loadcase/loadcase_document.h"

namespace mesh_solve {

// The document's job base path: its loadcase file path without the extension.
std::string loadcaseStem(const loadcase::Document& document);

// The loadcase name: the stem's part after its last separator.
std::string loadcaseName(const loadcase::Document& document);

}  // namespace mesh_solve
