#pragma once
// Where the head of a solve's result file waits for the solver: the add-on writes "MESHFILE", the
// mesh path and the "BODIES" block beside the result file, and the solver puts them at the top of
// the new result file, which replaces the old one only once the run has succeeded. The last good
// results stay readable until then.
#include <string>

namespace formats {

// The result file's path followed by ".head".
inline std::string resultHeadPathFor(const std::string& resultPath) {
    return resultPath + ".head";
}

}  // namespace formats
