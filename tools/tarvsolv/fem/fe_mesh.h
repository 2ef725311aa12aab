#pragma once
// The mesh as the solver uses it: coordinates, connectivity in the solver's own local node order
// and the tagged boundary facets, read from the mesher's binary mesh file.
//
// Solver local order of a quadratic tetrahedron: corners c0 c1 c2 c3, then the mid-side nodes of
// the edges 0-1, 1-2, 0-2, 0-3, 1-3, 2-3. A linear tetrahedron has the corners only.
// The file's order (1-based) has corners 1, 3, 5, 10 and mid-side nodes 2 (1-3), 4 (3-5),
// 6 (5-1), 7 (1-10), 8 (3-10), 9 (5-10).
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fem/vec3.h"

namespace tarvsolv {

struct Facet {
    int tag = 0;      // the host face number the mesher tagged it with
    int element = 0;  // 0-based element index
    int face = 0;     // local face 0 to 3
};

struct FeMesh {
    int nodesPerElement = 10;
    std::vector<double> xyz;  // 3 per node
    std::vector<int> conn;    // nodesPerElement per element, 0-based, solver local order
    std::vector<Facet> facets;
    // Set when the solver numbered the nodes piece by piece for its processes (fem/node_pieces.h):
    // the file's number (0-based) of every node, and the first node of every process's piece
    // followed by the node count. Both empty: the file's numbering, split in equal ranges.
    std::vector<int> fileNodes;
    std::vector<int> pieceStarts;

    int nodeCount() const { return static_cast<int>(xyz.size() / 3); }
    int elementCount() const { return nodesPerElement ? static_cast<int>(conn.size()) / nodesPerElement : 0; }
    int nodesPerFace() const { return nodesPerElement == 4 ? 3 : 6; }
    // The mesh file's number (0-based) of node `n`: what results and messages call it.
    int fileNumber(int n) const { return fileNodes.empty() ? n : fileNodes[n]; }
    Vec3 node(int n) const { return {xyz[3 * n], xyz[3 * n + 1], xyz[3 * n + 2]}; }
    std::span<const int> elementNodes(int e) const {
        return {conn.data() + static_cast<std::size_t>(e) * nodesPerElement,
                static_cast<std::size_t>(nodesPerElement)};
    }
    // Global nodes of local face `face` (0..3) of element `e`: corners first (a b c), then for
    // quadratic elements the mid-side nodes of a-b, b-c, c-a. The order is the file's winding.
    std::vector<int> faceNodes(int e, int face) const;
};

// The mean of the element's four corners.
Vec3 elementCentroid(const FeMesh& mesh, int element);
// The values of a field of `per` values per node (every node, global numbering) at the element's
// nodes, in element order: `values` takes per x nodes entries.
void elementValues(const FeMesh& mesh, int element, const std::vector<double>& field, int per,
                   std::vector<double>& values);

// File position (0-based) of each solver-local node of a quadratic element.
inline constexpr std::array<int, 10> kFileIndexOfLocal{0, 2, 4, 9, 1, 3, 5, 6, 7, 8};

// Reads the binary mesh file; throws std::runtime_error with a readable message when the file is
// missing, short, or holds counts or node numbers that do not fit.
FeMesh readMeshFile(const std::string& path);

// Writes `mesh` in the binary layout (used by tests and the benchmark's mesh generator).
void writeMeshFile(const FeMesh& mesh, const std::string& path);

}  // namespace tarvsolv
