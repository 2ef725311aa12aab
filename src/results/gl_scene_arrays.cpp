#include "results/gl_scene_arrays.h"

#include <algorithm>

#include "formats/mesh.h"

namespace results {

std::array<std::uint8_t, 4 * kRampTexels> colourRampTexels() {
    static constexpr std::uint32_t kRgb[kRampTexels] = {
        0,        0x0000FF, 0x0000FF, 0x0000FF, 0x00A0FF, 0x00FFFF, 0x2E8B57, 0x00FF00,
        0xADFF2F, 0xD3D3D3, 0xFFFF00, 0xFFA500, 0xFF0000, 0xFF0000, 0xFF0000, 0};
    std::array<std::uint8_t, 4 * kRampTexels> texels{};
    for (int i = 0; i < kRampTexels; ++i) {
        texels[4 * i] = static_cast<std::uint8_t>(kRgb[i] >> 16);
        texels[4 * i + 1] = static_cast<std::uint8_t>(kRgb[i] >> 8);
        texels[4 * i + 2] = static_cast<std::uint8_t>(kRgb[i]);
        texels[4 * i + 3] = (i == 0 || i == kRampTexels - 1) ? 0 : 255;
    }
    return texels;
}

float rampCoordinate(double value, const BandLimits& limits) {
    const int k = bandOf(value, limits);
    const double width = limits[k] - limits[k - 1];
    const double f = width == 0 ? 0.0 : std::clamp((value - limits[k - 1]) / width, 0.0, 1.0);
    return static_cast<float>((k - 1) / 16.0 + f / 16.0 + 3.0 / 16.0);
}

ModelFrame ModelFrame::of(const BoundingBox& box, double previousExtent) {
    ModelFrame frame;
    frame.centre = box.centre();
    frame.largestExtent = previousExtent;
    for (int i = 0; i < 3; ++i) frame.largestExtent = std::max(frame.largestExtent, box.high[i] - box.low[i]);
    return frame;
}

std::vector<float> vertexPositions(const mesh_solve::Mesh& mesh, const TriangleList& triangles,
                                   std::span<const double> vectors, double factor, const ModelFrame& frame) {
    const double scale = frame.largestExtent > 0 ? 5.0 / frame.largestExtent : 1.0;
    const auto coordinates = mesh.coordinates();
    const auto& elementStates = mesh.elementStates();
    std::vector<float> positions(3 * triangles.vertexCount(), 0.0f);
    for (std::size_t v = 0; v < triangles.vertexCount(); ++v) {
        const auto element = static_cast<std::size_t>(triangles.elements[v / 3]);
        if (element < elementStates.size() && elementStates[element] == kCutAway) continue;
        const auto node = static_cast<std::size_t>(triangles.nodes[v] - 1);
        if (3 * node + 2 >= coordinates.size()) continue;
        for (std::size_t c = 0; c < 3; ++c) {
            double p = coordinates[3 * node + c];
            if (3 * node + c < vectors.size()) p += factor * vectors[3 * node + c];
            positions[3 * v + c] = static_cast<float>((p - frame.centre[c]) * scale);
        }
    }
    return positions;
}

std::vector<float> textureCoordinates(const TriangleList& triangles, std::span<const double> values,
                                      const BandLimits& limits, bool meshOnly) {
    std::vector<float> coordinates(triangles.vertexCount(), kMeshRampCoordinate);
    if (meshOnly) return coordinates;
    for (std::size_t v = 0; v < triangles.vertexCount(); ++v) {
        const auto node = static_cast<std::size_t>(triangles.nodes[v] - 1);
        coordinates[v] = rampCoordinate(node < values.size() ? values[node] : 0.0, limits);
    }
    return coordinates;
}

std::vector<std::uint8_t> edgeFlags(const TriangleList& triangles, bool quadratic) {
    std::vector<std::uint8_t> flags(triangles.vertexCount(), 1);
    if (!quadratic) return flags;
    for (std::size_t t = 0; t < triangles.triangleCount(); ++t) {
        const bool central = t < triangles.central.size() && triangles.central[t];
        flags[3 * t] = central ? 0 : 1;
        flags[3 * t + 1] = central ? 0 : 1;
        flags[3 * t + 2] = 0;
    }
    return flags;
}

std::vector<float> normalArray(const TriangleList& triangles) {
    std::vector<float> normals;
    normals.reserve(3 * triangles.normals.size());
    for (const auto& n : triangles.normals) normals.insert(normals.end(), {n.x, n.y, n.z});
    return normals;
}

}  // namespace results
