#include "mesh_solve/loadcase_stem.h"

#include "mesh_solve/show_ui_command.h"
#include "platform/paths.h"

namespace mesh_solve {

std::string loadcaseStem(const CShowUICommand& explorer) {
    std::string path = explorer.loadcaseFilePath();
    const auto dot = path.rfind('.');
    const auto slash = path.rfind(platform::kPathSeparator);
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
    return path;
}

std::string loadcaseName(const CShowUICommand& explorer) {
    const std::string stem = loadcaseStem(explorer);
    const auto slash = stem.rfind(platform::kPathSeparator);
    return slash == std::string::npos ? stem : stem.substr(slash + 1);
}

}  // namespace mesh_solve
