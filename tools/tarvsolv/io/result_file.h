#pragma once
// The result file the add-on starts before the solver runs: "MESHFILE", the mesh path and the
// "BODIES" block with the running totals of faces, edges and vertices per body. The solver keeps
// that preamble and appends its result blocks (io/result_file_sink.h), replacing the blocks of any
// earlier run.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvsolv {

// Writes `path` through a temporary file beside it, renamed over the old file only once `write`
// has written everything; throws std::runtime_error when that fails (the old file stays).
void replaceFile(const std::string& path, const std::function<void(std::ostream&)>& write);

struct BodyTotals {
    int body = 0;
    int faces = 0, edges = 0, vertices = 0;  // running totals through this body
};

struct ResultPreamble {
    std::string text;  // the lines to keep, each ending with a line feed
    std::vector<BodyTotals> bodies;
    // Body number of host face `face` from the running totals; 1 when there are no totals.
    int bodyOfFace(int face) const;
};

// Reads the preamble of `path`; a missing file gives a preamble naming `meshPath` only.
ResultPreamble readResultPreamble(const std::string& path, const std::string& meshPath);

}  // namespace tarvsolv

namespace tarvsolv {

// The temperatures of another loadcase's result file: its last temperature block (the last
// printed step of a transient run), one value per node.
struct TemperatureBlock {
    std::vector<double> values;
    int step = 1;        // the block's number
    int blockCount = 0;  // how many temperature blocks the file holds
};
// Throws std::runtime_error when the file or a block is missing, or a block is not of a mesh of
// `nodeCount` nodes.
TemperatureBlock readTemperatures(const std::string& path, int nodeCount);

}  // namespace tarvsolv
