#pragma once
// The client-side arrays the results window draws from, one entry per vertex of the triangle list:
// positions (model centred and scaled to a size of 5), texture coordinates on the 16-texel colour
// ramp, and edge flags that outline only the element faces' own edges.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "results/contour_colours.h"
#include "results/slice_flags.h"
#include "results/triangle_list.h"

namespace mesh_solve {
class Mesh;
}

namespace results {

inline constexpr int kRampTexels = 16;
// Band b (0 to 9) occupies texel 3 + b; texel 0 and 15 are transparent black.
std::array<std::uint8_t, 4 * kRampTexels> colourRampTexels();

// Texture coordinate of a value: band k and fraction f in the band as the contour view finds them,
// s = (k - 1) / 16 + f / 16 + 3 / 16.
float rampCoordinate(double value, const BandLimits& limits);
// The light grey texel the mesh is shown in when no quantity is plotted.
inline constexpr float kMeshRampCoordinate = 9.5f / kRampTexels;
// Where the triad's arrows take their colours from the ramp.
inline constexpr float kRampRed = 0.8125f, kRampBlue = 0.1875f, kRampGreenYellow = 0.5f;

// The placement of the mesh in the window's model space.
struct ModelFrame {
    std::array<double, 3> centre{0, 0, 0};
    double largestExtent = 0;  // kept across loads; only grows
    static ModelFrame of(const BoundingBox& box, double previousExtent);
};

// x, y, z per vertex: (node + factor * vector - centre) * 5 / largest extent; vertices of elements
// cut away ('i') sit at the origin. `vectors` may be empty (no displacement).
std::vector<float> vertexPositions(const mesh_solve::Mesh& mesh, const TriangleList& triangles,
                                   std::span<const double> vectors, double factor, const ModelFrame& frame);

// One coordinate per vertex from its node's value; the mesh's grey when `meshOnly`.
std::vector<float> textureCoordinates(const TriangleList& triangles, std::span<const double> values,
                                      const BandLimits& limits, bool meshOnly);

// One flag per vertex (the edge starting at it): 1, 1, 1 for a linear face's triangle; 1, 1, 0 for
// the corner triangles of a quadratic face and 0, 0, 0 for its central triangle.
std::vector<std::uint8_t> edgeFlags(const TriangleList& triangles, bool quadratic);

// Normals as x, y, z floats per vertex.
std::vector<float> normalArray(const TriangleList& triangles);

}  // namespace results
