#include "results/triangle_list.h"

#include <algorithm>
#include <cmath>

#include "formats/face_tables.h"
#include "formats/mesh.h"

namespace results {
namespace {

using render::Float3;

// Triangles of a quadratic face over positions (1-based) of its six-node row: three corner
// triangles and the central one, which is last.
constexpr int kQuadraticTriangles[4][3] = {{6, 1, 2}, {2, 3, 4}, {4, 5, 6}, {2, 4, 6}};

Float3 position(const mesh_solve::Mesh& mesh, std::int32_t node) {
    const auto c = mesh.coordinates().subspan(3 * static_cast<std::size_t>(node - 1), 3);
    return {static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])};
}

Float3 faceNormal(const Float3& a, const Float3& b, const Float3& c) {
    const Float3 u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
    Float3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0) n = {n.x / length, n.y / length, n.z / length};
    return n;
}

class Builder {
  public:
    explicit Builder(const mesh_solve::Mesh& mesh)
        : mesh_(mesh), running_(static_cast<std::size_t>(mesh.nodeCount()) + 1), seen_(running_.size(), 0) {}

    void addFace(std::int32_t element, std::int32_t face) {
        const auto local = mesh_solve::localFaceNodes(mesh_.nodesPerElement(), face);
        if (local.empty() || element < 1 || element > mesh_.elementCount()) return;
        const auto nodes = mesh_.elementNodes(element);
        auto node = [&](int position) { return nodes[static_cast<std::size_t>(local[position - 1] - 1)]; };
        if (local.size() == 3) {
            addTriangle(element, node(3), node(1), node(2), false);
            return;
        }
        for (const auto& t : kQuadraticTriangles)
            addTriangle(element, node(t[0]), node(t[1]), node(t[2]), &t == &kQuadraticTriangles[3]);
    }

    // Room for `faces` faces up front: the lists of a large mesh run to hundreds of megabytes, and
    // growing them step by step would copy them over and over.
    void reserveFaces(std::size_t faces) {
        const std::size_t triangles = faces * (mesh_.nodesPerElement() == 10 ? 4 : 1);
        list_.nodes.reserve(3 * triangles);
        list_.normals.reserve(3 * triangles);
        list_.elements.reserve(triangles);
        list_.central.reserve(triangles);
    }

    TriangleList take() { return std::move(list_); }

  private:
    bool valid(std::int32_t node) const { return node >= 1 && node <= mesh_.nodeCount(); }

    void addTriangle(std::int32_t element, std::int32_t a, std::int32_t b, std::int32_t c, bool central) {
        if (!valid(a) || !valid(b) || !valid(c)) return;
        const Float3 n = faceNormal(position(mesh_, a), position(mesh_, b), position(mesh_, c));
        for (std::int32_t node : {a, b, c}) {
            list_.nodes.push_back(node);
            list_.normals.push_back(smoothed(node, n));
        }
        list_.elements.push_back(element);
        list_.central.push_back(central ? 1 : 0);
    }

    // The node's running normal becomes the mean with this triangle's normal unless they meet at a
    // crease, where the vertex keeps the triangle's own normal.
    Float3 smoothed(std::int32_t node, const Float3& n) {
        static const float kCosCrease =
            static_cast<float>(std::cos(kCreaseAngleDegrees * 3.14159265358979 / 180.0));
        Float3& r = running_[static_cast<std::size_t>(node)];
        if (!seen_[static_cast<std::size_t>(node)]) {
            seen_[static_cast<std::size_t>(node)] = 1;
            r = n;
            return r;
        }
        if (r.x * n.x + r.y * n.y + r.z * n.z > kCosCrease) {
            r = {(r.x + n.x) / 2, (r.y + n.y) / 2, (r.z + n.z) / 2};
            return r;
        }
        return n;
    }

    const mesh_solve::Mesh& mesh_;
    TriangleList list_;
    std::vector<Float3> running_;
    std::vector<std::uint8_t> seen_;
};

}  // namespace

TriangleList buildTriangleList(const mesh_solve::Mesh& mesh, bool allFaces) {
    Builder builder(mesh);
    if (allFaces) {
        builder.reserveFaces(static_cast<std::size_t>(std::max(mesh.elementCount(), 0)) *
                             mesh_solve::kFacesPerElement);
        for (std::int32_t e = 1; e <= mesh.elementCount(); ++e)
            for (std::int32_t face = 1; face <= mesh_solve::kFacesPerElement; ++face)
                builder.addFace(e, face);
    } else {
        const auto elements = mesh.facetElements();
        const auto faces = mesh.facetFaces();
        builder.reserveFaces(std::min(elements.size(), faces.size()));
        for (std::size_t i = 0; i < elements.size() && i < faces.size(); ++i)
            builder.addFace(elements[i], faces[i]);
    }
    return builder.take();
}

}  // namespace results
