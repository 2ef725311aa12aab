#pragma once
// Where the mesher's companion file (bodies' element ranges, nodes on the host's faces, edges and
// vertices) stands: beside the mesh file, written by velgrin and read by tarvsolv.
#include <string>

namespace formats {

// The mesh path with its ".meb" replaced by ".mtp" (appended when the mesh path has another ending).
inline std::string companionPathFor(const std::string& meshPath) {
    const std::string meb = ".meb";
    if (meshPath.size() > meb.size() && meshPath.compare(meshPath.size() - meb.size(), meb.size(), meb) == 0)
        return meshPath.substr(0, meshPath.size() - meb.size()) + ".mtp";
    return meshPath + ".mtp";
}

}  // namespace formats
