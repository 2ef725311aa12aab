#pragma once
// Where the sample parts built with the programs are: the build folder's samples/.
#include <cstdlib>
#include <string>

inline std::string buildFolder() {
    const char* dir = std::getenv("KOLVANE_BUILD_DIR");
    return dir ? dir : ".";
}

inline std::string samplePath(const std::string& name) {
    return buildFolder() + "/samples/" + name;
}
