#pragma once
// The median-dual mesh of the corner nodes of a tetrahedral mesh: the control volumes of a
// vertex-centred finite-volume scheme. Each corner node (a "vertex") owns the part of every
// tetrahedron around it that is nearer to it than to the tetrahedron's other corners, cut by the
// planes through the edge midpoints, face centroids and the centroid. Mid-side nodes of a
// quadratic mesh take no part; results reach them as the mean of their edge's two corners.
#include <vector>

#include "fem/fe_mesh.h"
#include "fem/vec3.h"

namespace tarvsolv {

// The face between the control volumes of vertices a < b: its area vector, pointing from a to b.
struct DualEdge {
    int a = 0;
    int b = 0;
    Vec3 normal;
};

// The part of host face `tag` that bounds vertex `vertex`'s control volume: its outward area
// vector, summed over the face's facets at the vertex (a third of each facet's area vector).
struct DualBoundaryPiece {
    int vertex = 0;
    int tag = 0;
    Vec3 normal;
};

struct DualMesh {
    std::vector<int> meshNode;      // the mesh node of each vertex (corner nodes, ascending)
    std::vector<int> vertexOfNode;  // the vertex of each mesh node, -1 for a mid-side node
    std::vector<int> fileNode;      // the mesh file's number (0-based) of each vertex's node
    // A mesh numbered by pieces for its processes: the first vertex of every piece, then the vertex
    // count (empty when the mesh was never split).
    std::vector<int> pieceStarts;
    std::vector<Vec3> position;               // of each vertex
    std::vector<double> volume;               // of each vertex's control volume
    std::vector<DualEdge> edges;              // every corner edge once, sorted by (a, b)
    std::vector<DualBoundaryPiece> boundary;  // one per (tag, vertex), sorted by tag then vertex
    std::vector<int> tets;                    // the four vertices of each element

    int vertexCount() const { return static_cast<int>(meshNode.size()); }
    int edgeCount() const { return static_cast<int>(edges.size()); }
};

// Builds the median dual of `mesh` (linear or quadratic tetrahedra). Every control volume is
// closed: its edge and boundary area vectors sum to zero.
DualMesh buildDualMesh(const FeMesh& mesh);

}  // namespace tarvsolv
