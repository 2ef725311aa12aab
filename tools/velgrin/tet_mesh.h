#pragma once
// The tetrahedral mesh as the mesh file carries it: nodes numbered from 1, elements in the add-on's
// local node order (linear: corners 1-4; quadratic: corners 1, 3, 5, 10 and mid-side nodes 2, 4, 6,
// 7, 8, 9), boundary facets tagged with the host's face number; plus what the companion file adds.
#include <array>
#include <cstdint>
#include <vector>

namespace velgrin {

struct BoundaryFacet {
    std::int32_t tag = 0;      // host face number
    std::int32_t element = 0;  // from 1
    std::int32_t face = 0;     // local face 1 to 4
};

struct BodyRange {
    int body = 0;          // host body number
    int firstElement = 0;  // from 1; the body's elements are numbered consecutively
    int lastElement = 0;
};

// Host entity -> the mesh nodes on it (node numbers from 1).
struct EntityNodes {
    int number = 0;                   // host face, edge or vertex number
    std::vector<int> faces;           // edges only: host faces next to the edge
    std::vector<std::int32_t> nodes;  // faces: ascending; edges: in order along the edge
};

struct TetMesh {
    int nodesPerElement = 10;
    std::vector<double> coordinates;         // x, y, z per node, model millimetres
    std::vector<std::int32_t> connectivity;  // nodesPerElement per element, 1-based
    std::vector<BoundaryFacet> facets;
    std::vector<BodyRange> bodies;
    std::vector<char> onBoundary;  // per node (index node - 1): lies on the model's surface
    std::vector<EntityNodes> faceNodes, edgeNodes, vertexNodes;

    int nodeCount() const { return static_cast<int>(coordinates.size() / 3); }
    int elementCount() const { return static_cast<int>(connectivity.size() / nodesPerElement); }
    const std::int32_t* element(int e) const {
        return connectivity.data() + std::size_t(e - 1) * nodesPerElement;
    }
    std::int32_t* element(int e) { return connectivity.data() + std::size_t(e - 1) * nodesPerElement; }
    std::array<double, 3> node(int n) const {
        const double* p = coordinates.data() + 3 * std::size_t(n - 1);
        return {p[0], p[1], p[2]};
    }
};

}  // namespace velgrin
