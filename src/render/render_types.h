#pragma once
// Value types of the 3-D render device: vertices, matrices, viewport, rectangles and colours.
#include <cstdint>

namespace render {

struct Float3 {
    float x = 0, y = 0, z = 0;
};

// The vertex of the static pass: position, normal and one texture coordinate, 32 bytes.
struct Vertex {
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
    float u = 0, v = 0;
};
static_assert(sizeof(Vertex) == 32, "the vertex buffer layout is 32 bytes per vertex");

struct TexCoord {
    float u = 0, v = 0;
};

// A 4 x 4 matrix for row vectors (a point p maps to p * M), stored row by row; translation in the
// last row.
struct Matrix4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    static Matrix4 identity() { return {}; }
};
Matrix4 operator*(const Matrix4& a, const Matrix4& b);

struct Viewport {
    int x = 0, y = 0;
    int width = 0, height = 0;
    float minZ = 0.0f, maxZ = 1.0f;
};

// Screen rectangle in pixels, y growing downwards.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Colours of the 3-D device as 0xAARRGGBB.
using Argb = std::uint32_t;

}  // namespace render
