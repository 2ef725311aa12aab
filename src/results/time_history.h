#pragma once
// The values of one quantity at one node over every block of the result file: one point per block,
// x the block number and y the node's value (the mean over the element lines naming the node for
// stresses). A node missing from a block gives y = 0.
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace results {

struct PlotPoint {
    float x = 0;
    float y = 0;
};

// The two corner nodes a mid-side node of a quadratic element lies between.
using CornerPair = std::array<int, 2>;

// Nothing when the file cannot be opened or the kind has no time history (kinds 1, 2, 4, 6, 8, 9
// and 10 have).
// The combined displacement (item 3 of a node kind) is the magnitude, as the contour views show it.
// Stress blocks name corner nodes only: a node they do not name that lies between `corners` takes
// the mean of the two corners' values in each block, as the contour views show it.
std::optional<std::vector<PlotPoint>> fetchNodeHistory(const std::string& resultPath, int kind, int item,
                                                       int node, std::optional<CornerPair> corners = {});

// The corners `node` lies between in the library mesh's first quadratic element holding it as a
// mid-side node; nothing for corner nodes, linear meshes and nodes the mesh does not hold.
std::optional<CornerPair> midSideCorners(int node);

// Node numbers typed by the user, split at blanks and commas, each read as atoi reads it.
std::vector<int> parseNodeNumbers(const std::string& text);

}  // namespace results
