#include "physics/model_geometry.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <set>
#include <stdexcept>

#include "fem/disjoint_sets.h"

namespace tarvsolv {
namespace {

// Edges of a boundary face in FeMesh::faceNodes order: (corner, corner, mid-side or -1).
std::array<std::array<int, 3>, 3> faceEdges(const std::vector<int>& nodes) {
    const bool quadratic = nodes.size() == 6;
    return {{{nodes[0], nodes[1], quadratic ? nodes[3] : -1},
             {nodes[1], nodes[2], quadratic ? nodes[4] : -1},
             {nodes[2], nodes[0], quadratic ? nodes[5] : -1}}};
}

}  // namespace

ModelGeometry::ModelGeometry(const FeMesh& mesh, const ResultPreamble& preamble, MesherCompanion companion)
    : mesh_(mesh), companion_(std::move(companion)) {
    for (const Facet& f : mesh_.facets) facetsByTag_[f.tag].push_back(f);
    assignBodies(preamble);
}

// Bodies meshed apart share no nodes: each connected part of the mesh takes the body that most of
// its tagged facets belong to.
void ModelGeometry::assignBodies(const ResultPreamble& preamble) {
    const int elements = mesh_.elementCount();
    if (static_cast<int>(companion_.elementBodies.size()) == elements) {
        elementBodies_ = companion_.elementBodies;
        return;
    }
    elementBodies_.assign(elements, 1);
    if (preamble.bodies.size() <= 1) return;
    std::vector<int> parent(mesh_.nodeCount());
    std::iota(parent.begin(), parent.end(), 0);
    for (int e = 0; e < elements; ++e) {
        const auto nodes = mesh_.elementNodes(e);
        const int root = findRoot(parent, nodes[0]);
        for (int k = 1; k < 4; ++k) parent[findRoot(parent, nodes[k])] = root;
    }
    std::map<int, std::map<int, int>> votes;  // component root -> body -> facet count
    for (const Facet& f : mesh_.facets)
        ++votes[findRoot(parent, mesh_.elementNodes(f.element)[0])][preamble.bodyOfFace(f.tag)];
    for (int e = 0; e < elements; ++e) {
        const auto& v = votes[findRoot(parent, mesh_.elementNodes(e)[0])];
        if (v.empty()) continue;
        elementBodies_[e] =
            std::max_element(v.begin(), v.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    }
}

const std::vector<Facet>& ModelGeometry::facetsOfFace(int face) const {
    const auto it = facetsByTag_.find(face);
    if (it == facetsByTag_.end())
        throw std::runtime_error("the mesh has no facets on face " + std::to_string(face));
    return it->second;
}

std::vector<std::array<int, 3>> ModelGeometry::edgeSegments(const EntityRef& where) const {
    if (where.kind == EntityRef::Kind::Edge) {
        const auto it = companion_.edgeSegments.find(where.first);
        if (it == companion_.edgeSegments.end())
            throw std::runtime_error("the mesh does not say where " + where.describe() +
                                     " lies; pick the edge again after meshing");
        return it->second;
    }
    if (where.kind != EntityRef::Kind::EdgeByFaces)
        throw std::logic_error("edge segments of a non-edge reference");
    // Segments that lie on facets of both faces.
    std::set<std::pair<int, int>> onFirst;
    for (const Facet& f : facetsOfFace(where.first))
        for (const auto& e : faceEdges(mesh_.faceNodes(f.element, f.face)))
            onFirst.insert(std::minmax(e[0], e[1]));
    std::vector<std::array<int, 3>> segments;
    std::set<std::pair<int, int>> taken;
    for (const Facet& f : facetsOfFace(where.second))
        for (const auto& e : faceEdges(mesh_.faceNodes(f.element, f.face))) {
            const auto key = std::minmax(e[0], e[1]);
            if (onFirst.count(key) && taken.insert(key).second) segments.push_back(e);
        }
    if (segments.empty())
        throw std::runtime_error("faces " + std::to_string(where.first) + " and " +
                                 std::to_string(where.second) + " share no edge in the mesh");
    return segments;
}

int ModelGeometry::nearestNode(const Vec3& p) const {
    int best = 0;
    double bestDistance = std::numeric_limits<double>::max();
    for (int n = 0; n < mesh_.nodeCount(); ++n) {
        const Vec3 d = mesh_.node(n) - p;
        const double distance = dot(d, d);
        // Of nodes equally near, the first in the mesh file's order, however the solver numbers them.
        if (distance < bestDistance ||
            (distance == bestDistance && mesh_.fileNumber(n) < mesh_.fileNumber(best)))
            bestDistance = distance, best = n;
    }
    return best;
}

std::vector<int> ModelGeometry::nodesOf(const EntityRef& where) const {
    std::vector<int> nodes;
    switch (where.kind) {
        case EntityRef::Kind::Face:
            for (const Facet& f : facetsOfFace(where.first))
                for (int n : mesh_.faceNodes(f.element, f.face)) nodes.push_back(n);
            break;
        case EntityRef::Kind::EdgeByFaces:
        case EntityRef::Kind::Edge:
            for (const auto& s : edgeSegments(where))
                for (int n : s)
                    if (n >= 0) nodes.push_back(n);
            break;
        case EntityRef::Kind::Vertex: {
            const auto it = companion_.vertexNodes.find(where.first);
            if (it == companion_.vertexNodes.end())
                throw std::runtime_error("the mesh does not say where " + where.describe() + " lies");
            nodes.push_back(it->second);
            break;
        }
        case EntityRef::Kind::Point:
            nodes.push_back(nearestNode(where.point));
            break;
        case EntityRef::Kind::Model:
            nodes.resize(mesh_.nodeCount());
            std::iota(nodes.begin(), nodes.end(), 0);
            break;
    }
    std::sort(nodes.begin(), nodes.end());
    nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
    return nodes;
}

}  // namespace tarvsolv
