#pragma once
// Finds the mesh entities behind the host's face, edge, vertex and point references: facets by
// their face tag, nodes and edge segments, the nearest node of a point, and the body of every
// element.
#include <array>
#include <map>
#include <vector>

#include "fem/fe_mesh.h"
#include "io/result_file.h"
#include "physics/model_entries.h"

namespace tarvsolv {

// What the mesher's companion file adds: host edges and vertices on the mesh, element bodies.
struct MesherCompanion {
    std::map<int, std::vector<std::array<int, 3>>> edgeSegments;  // host edge -> (a, b, mid or -1)
    std::map<int, int> vertexNodes;                               // host vertex -> node
    std::vector<int> elementBodies;                               // body per element; empty: unknown
};

class ModelGeometry {
  public:
    ModelGeometry(const FeMesh& mesh, const ResultPreamble& preamble, MesherCompanion companion = {});

    const FeMesh& mesh() const { return mesh_; }
    // Facets tagged with host face `face`; throws std::runtime_error when the mesh has none.
    const std::vector<Facet>& facetsOfFace(int face) const;
    // Nodes (sorted, unique) of a face, edge, vertex or point; throws std::runtime_error naming
    // the reference when the mesh has nothing there.
    std::vector<int> nodesOf(const EntityRef& where) const;
    // Segments (a, b, mid or -1) of an edge reference.
    std::vector<std::array<int, 3>> edgeSegments(const EntityRef& where) const;
    int nearestNode(const Vec3& p) const;
    // Body number (from 1) of element `e`.
    int bodyOfElement(int e) const { return elementBodies_[e]; }
    const std::vector<int>& elementBodies() const { return elementBodies_; }

  private:
    void assignBodies(const ResultPreamble& preamble);

    const FeMesh& mesh_;
    MesherCompanion companion_;
    std::map<int, std::vector<Facet>> facetsByTag_;
    std::vector<int> elementBodies_;
};

}  // namespace tarvsolv
