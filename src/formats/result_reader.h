#pragma once
// Reads one quantity of the solver's result file (job base path + ".out") for one step or mode
// into one value per mesh node, averaging element-corner results per node, and computes the range.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mesh_solve {
class Mesh;
}

namespace results {

// The mesh dimensions the reader needs: counts, nodes per element and the 1-based connectivity.
struct ResultMesh {
    std::int32_t nodeCount = 0;
    std::int32_t elementCount = 0;
    std::int32_t nodesPerElement = 4;
    std::span<const std::int32_t> connectivity;

    static ResultMesh of(const mesh_solve::Mesh& mesh);
};

// The arrays a reading fills, sized by the mesh's node count (node n at index n - 1).
struct NodeResults {
    std::vector<double> values;
    std::vector<std::int32_t> hits;
    std::vector<double> vectors;  // x, y, z per node
    double largest = 0.0;
    double smallest = 0.0;
    double modeValue = 0.0;  // frequency or buckling factor of the mode read (mode shapes only)

    // Sizes every array for `nodeCount` nodes and sets all of it to 0.
    void reset(std::size_t nodeCount);
    // Node values and range to 0, as the views show a quantity that could not be read.
    void zeroValues();
};

struct ResultRequest {
    int kind = 0;
    int item = 0;          // -1 reads the three components as vectors
    int step = 1;          // step or mode number, from 1
    int solutionType = 0;  // solve index of the loadcase
};

enum class ReadStatus {
    Read,
    Failed,   // no file, no such block, or not a kind of the file
    TooHigh,  // a block numbered above the requested step or mode came first
};

ReadStatus readResult(const std::string& path, const ResultMesh& mesh, const ResultRequest& request,
                      NodeResults& out);

// How many blocks of `kind` the file holds and the highest block number among them: what a
// reading that found no block for a step or mode tells the person.
struct BlockCount {
    bool fileRead = false;  // the file could be opened
    int blocks = 0;
    int highest = 0;
    std::vector<int> numbers;  // of the blocks, in the file's order
};
BlockCount countBlocks(const std::string& path, int kind);
// Whether the file holds a block of `kind` (the search stops at the first): what a list offers
// of a quantity that older runs did not write.
bool holdsBlock(const std::string& path, int kind);

}  // namespace results
