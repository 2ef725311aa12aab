#include "mesh_solve/loadcase_stem.h"

#include "platform/paths.h"

namespace mesh_solve {

std::string loadcaseStem(const loadcase::Document& document) { return document.jobBasePath(); }

std::string loadcaseName(const loadcase::Document& document) {
    const std::string stem = loadcaseStem(document);
    const auto slash = stem.rfind(platform::kPathSeparator);
    return slash == std::string::npos ? stem : stem.substr(slash + 1);
}

}  // namespace mesh_solve
