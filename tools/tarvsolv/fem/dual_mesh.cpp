#include "fem/dual_mesh.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

namespace tarvsolv {
namespace {

constexpr std::array<std::array<int, 4>, 6> kEdgesOfTet{{
    {0, 1, 2, 3},
    {0, 2, 1, 3},
    {0, 3, 1, 2},
    {1, 2, 0, 3},
    {1, 3, 0, 2},
    {2, 3, 0, 1},
}};  // the edge's two corners, then the other two

// The area vector of the triangle p q r, turned to point along `direction`.
Vec3 areaAlong(Vec3 p, Vec3 q, Vec3 r, Vec3 direction) {
    const Vec3 n = 0.5 * cross(q - p, r - p);
    return dot(n, direction) < 0 ? -1.0 * n : n;
}

void numberVertices(const FeMesh& mesh, DualMesh& dual) {
    dual.vertexOfNode.assign(static_cast<std::size_t>(mesh.nodeCount()), -1);
    for (int e = 0; e < mesh.elementCount(); ++e)
        for (int c = 0; c < 4; ++c) dual.vertexOfNode[mesh.elementNodes(e)[c]] = 0;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        if (dual.vertexOfNode[n] < 0) continue;
        dual.vertexOfNode[n] = static_cast<int>(dual.meshNode.size());
        dual.meshNode.push_back(n);
        dual.fileNode.push_back(mesh.fileNumber(n));
        dual.position.push_back(mesh.node(n));
    }
    // The vertices ascend with their nodes, so each piece's corner nodes are a range of vertices.
    for (int start : mesh.pieceStarts)
        dual.pieceStarts.push_back(static_cast<int>(
            std::lower_bound(dual.meshNode.begin(), dual.meshNode.end(), start) - dual.meshNode.begin()));
    dual.volume.assign(dual.meshNode.size(), 0.0);
}

void addElement(const DualMesh& dual, const std::array<int, 4>& v,
                std::map<std::pair<int, int>, Vec3>& edgeNormals, std::vector<double>& volume) {
    std::array<Vec3, 4> p;
    for (int c = 0; c < 4; ++c) p[c] = dual.position[v[c]];
    const Vec3 centroid = 0.25 * (p[0] + p[1] + p[2] + p[3]);
    const double six = dot(cross(p[1] - p[0], p[2] - p[0]), p[3] - p[0]);
    const double quarter = std::abs(six) / 24.0;
    for (int c = 0; c < 4; ++c) volume[v[c]] += quarter;
    for (const auto& e : kEdgesOfTet) {
        int a = e[0], b = e[1];
        if (v[a] > v[b]) std::swap(a, b);
        const Vec3 along = p[b] - p[a];
        const Vec3 mid = 0.5 * (p[a] + p[b]);
        const Vec3 f1 = (1.0 / 3.0) * (p[a] + p[b] + p[e[2]]);
        const Vec3 f2 = (1.0 / 3.0) * (p[a] + p[b] + p[e[3]]);
        Vec3& n = edgeNormals[{v[a], v[b]}];
        n = n + areaAlong(mid, f1, centroid, along) + areaAlong(mid, centroid, f2, along);
    }
}

void addBoundary(const FeMesh& mesh, DualMesh& dual) {
    std::map<std::pair<int, int>, Vec3> pieces;  // (tag, vertex) -> area vector
    for (const Facet& facet : mesh.facets) {
        const std::vector<int> nodes = mesh.faceNodes(facet.element, facet.face);
        const auto corners = mesh.elementNodes(facet.element);
        int opposite = corners[0];
        for (int c = 0; c < 4; ++c)
            if (std::find(nodes.begin(), nodes.begin() + 3, corners[c]) == nodes.begin() + 3)
                opposite = corners[c];
        const Vec3 p0 = mesh.node(nodes[0]), p1 = mesh.node(nodes[1]), p2 = mesh.node(nodes[2]);
        const Vec3 outward = (1.0 / 3.0) * (p0 + p1 + p2) - mesh.node(opposite);
        const Vec3 third = (1.0 / 3.0) * areaAlong(p0, p1, p2, outward);
        for (int c = 0; c < 3; ++c) {
            Vec3& n = pieces[{facet.tag, dual.vertexOfNode[nodes[c]]}];
            n = n + third;
        }
    }
    dual.boundary.reserve(pieces.size());
    for (const auto& [key, normal] : pieces) dual.boundary.push_back({key.second, key.first, normal});
}

}  // namespace

DualMesh buildDualMesh(const FeMesh& mesh) {
    DualMesh dual;
    numberVertices(mesh, dual);
    std::map<std::pair<int, int>, Vec3> edgeNormals;
    dual.tets.reserve(static_cast<std::size_t>(mesh.elementCount()) * 4);
    for (int e = 0; e < mesh.elementCount(); ++e) {
        std::array<int, 4> v;
        for (int c = 0; c < 4; ++c) v[c] = dual.vertexOfNode[mesh.elementNodes(e)[c]];
        dual.tets.insert(dual.tets.end(), v.begin(), v.end());
        addElement(dual, v, edgeNormals, dual.volume);
    }
    dual.edges.reserve(edgeNormals.size());
    for (const auto& [key, normal] : edgeNormals) dual.edges.push_back({key.first, key.second, normal});
    addBoundary(mesh, dual);
    return dual;
}

}  // namespace tarvsolv
