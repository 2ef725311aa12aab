#pragma once
// The in-memory tetrahedral mesh of a mesh file: counts, node coordinates, element connectivity,
// boundary facets and the display state characters the results views change when they hide or
// slice elements. The mesher writes it, the solver and the add-on read it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mesh_solve {

struct NodePoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    friend bool operator==(const NodePoint&, const NodePoint&) = default;
};

// Linear tetrahedra have 4 nodes, quadratic ones 10.
inline constexpr std::int32_t kLinearNodesPerElement = 4;
inline constexpr std::int32_t kQuadraticNodesPerElement = 10;

// Nodes on one element face: 3 for linear elements, 6 for every other kind.
constexpr std::int32_t nodesPerFacetFor(std::int32_t nodesPerElement) {
    return nodesPerElement == kLinearNodesPerElement ? 3 : 6;
}

// Everything a mesh file carries, as separate arrays ready to hand to a Mesh.
struct MeshArrays {
    std::vector<double> coordinates;          // x, y, z per node, node 1 first
    std::vector<std::int32_t> connectivity;   // 1-based node numbers, nodes-per-element per element
    std::vector<std::int32_t> facetTags;      // free tag written by the mesher
    std::vector<std::int32_t> facetElements;  // 1-based element number
    std::vector<std::int32_t> facetFaces;     // local face 1 to 4
};

// A mesh that is not loaded has no nodes, elements or facets: every count reads 0 and every array
// is empty, so a user can always loop up to a count without reading past an array.
class Mesh {
  public:
    std::int32_t nodeCount() const { return nodeCount_; }
    std::int32_t elementCount() const { return elementCount_; }
    std::int32_t facetCount() const { return facetCount_; }
    std::int32_t nodesPerElement() const { return nodesPerElement_; }
    std::int32_t nodesPerFacet() const { return nodesPerFacetFor(nodesPerElement_); }
    bool isLoaded() const { return loaded_; }

    // Set by the mesh command from the chosen element order (4 or 10) and by every mesh reading.
    void setNodesPerElement(std::int32_t nodesPerElement) { nodesPerElement_ = nodesPerElement; }

    std::span<const double> coordinates() const { return arrays_.coordinates; }
    std::span<const std::int32_t> connectivity() const { return arrays_.connectivity; }
    std::span<const std::int32_t> facetTags() const { return arrays_.facetTags; }
    std::span<const std::int32_t> facetElements() const { return arrays_.facetElements; }
    std::span<const std::int32_t> facetFaces() const { return arrays_.facetFaces; }

    // The nodes of element `element` (1-based), in local order; throws std::out_of_range outside 1..E.
    std::span<const std::int32_t> elementNodes(std::int32_t element) const;
    // Position of node `node` (1-based); throws std::out_of_range outside 1..N.
    NodePoint nodePosition(std::int32_t node) const;

    // Display states: element count + 1 characters per element, node count + 1 per node and
    // 4 x element count + 5 per element face; 'v' and 'i' after a reading, changed by the results views.
    std::string& elementStates() { return elementStates_; }
    std::string& nodeStates() { return nodeStates_; }
    std::string& faceStates() { return faceStates_; }
    const std::string& elementStates() const { return elementStates_; }
    const std::string& nodeStates() const { return nodeStates_; }
    const std::string& faceStates() const { return faceStates_; }

    // Takes over the arrays of a reading. The array sizes must match the counts (3 per node,
    // nodes-per-element per element, one per facet); throws std::invalid_argument when they do not.
    void load(std::int32_t nodeCount, std::int32_t elementCount, std::int32_t nodesPerElement,
              MeshArrays arrays);

    // Frees every array; the mesh then has no nodes, elements or facets. Nodes per element stays.
    void release();

  private:
    std::int32_t nodeCount_ = 0;
    std::int32_t elementCount_ = 0;
    std::int32_t facetCount_ = 0;
    std::int32_t nodesPerElement_ = kQuadraticNodesPerElement;
    bool loaded_ = false;
    MeshArrays arrays_;
    std::string elementStates_;
    std::string nodeStates_;
    std::string faceStates_;
};

}  // namespace mesh_solve
