#pragma once
// The triangles the contour view draws: the mesh's boundary faces (or, for a slice view, every
// face of every element) split into triangles, with a normal per vertex smoothed across shallow
// edges and kept sharp at creases.
#include <cstdint>
#include <vector>

#include "render/render_types.h"

namespace mesh_solve {
class Mesh;
}

namespace results {

struct TriangleList {
    std::vector<std::int32_t> nodes;      // per vertex: the node it shows (1-based), three per triangle
    std::vector<render::Float3> normals;  // per vertex
    std::vector<std::int32_t> elements;   // per triangle: its element (1-based)
    std::vector<std::uint8_t> central;    // per triangle: 1 for the central triangle of a quadratic face

    std::size_t vertexCount() const { return nodes.size(); }
    std::size_t triangleCount() const { return elements.size(); }
};

// Neighbouring triangles whose normals differ by less than this angle share a smoothed normal.
inline constexpr double kCreaseAngleDegrees = 80.0;

TriangleList buildTriangleList(const mesh_solve::Mesh& mesh, bool allFaces);

}  // namespace results
