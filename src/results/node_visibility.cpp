#include "results/node_visibility.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace results {

namespace {

// Triangles are sorted into square cells of the window so that each vertex is tested against the
// few triangles whose window box covers its cell.
constexpr int kCellPixels = 16;
// A triangle nearer than the vertex by less than this part of the vertex's distance does not hide
// it: rounding, not geometry.
constexpr double kDepthTolerance = 1e-5;
// Faces turned further than this from the viewer (cosine of the angle between their normal and
// the line of sight) are seen edge-on: their nodes crowd into a line where no label can be read,
// so they are labelled only where a face turned towards the viewer also holds them.
constexpr double kEdgeOnCosine = 0.26;  // 75 degrees

struct Projected {
    WindowPoint point;
    bool valid = false;
};

// Twice the signed area in window pixels, positive for the counter-clockwise order OpenGL draws as
// a front face (window y grows downwards, so the sign is turned).
double frontArea(const WindowPoint& a, const WindowPoint& b, const WindowPoint& c) {
    return -((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
}

class CellGrid {
  public:
    CellGrid(int width, int height)
        : columns_((width + kCellPixels - 1) / kCellPixels),
          rows_((height + kCellPixels - 1) / kCellPixels),
          cells_(static_cast<std::size_t>(columns_) * rows_) {}

    void add(std::size_t triangle, double left, double top, double right, double bottom) {
        const int c0 = clampColumn(left), c1 = clampColumn(right);
        const int r0 = clampRow(top), r1 = clampRow(bottom);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                cells_[static_cast<std::size_t>(r) * columns_ + c].push_back(triangle);
    }
    const std::vector<std::size_t>& at(double x, double y) const {
        return cells_[static_cast<std::size_t>(clampRow(y)) * columns_ + clampColumn(x)];
    }

  private:
    int clampColumn(double x) const {
        return std::clamp(static_cast<int>(std::floor(x / kCellPixels)), 0, columns_ - 1);
    }
    int clampRow(double y) const {
        return std::clamp(static_cast<int>(std::floor(y / kCellPixels)), 0, rows_ - 1);
    }

    int columns_, rows_;
    std::vector<std::vector<std::size_t>> cells_;
};

// The distance from the eye of the triangle with these corners where it covers the window point p, or nothing
// when it does not cover p. Depth is interpolated as its reciprocal, as perspective requires.
bool coverDepth(const Projected* corners, const WindowPoint& p, double& depth) {
    const WindowPoint &a = corners[0].point, &b = corners[1].point, &c = corners[2].point;
    const double area = frontArea(a, b, c);
    const double la = frontArea(p, b, c) / area, lb = frontArea(a, p, c) / area,
                 lc = frontArea(a, b, p) / area;
    if (la < 0 || lb < 0 || lc < 0) return false;
    depth = 1.0 / (la / a.depth + lb / b.depth + lc / c.depth);
    return true;
}

// The cosine of the angle between the triangle's normal and the line from it to the eye.
double facingCosine(std::span<const float> positions, std::size_t t, const std::array<double, 3>& eye) {
    std::array<double, 3> p[3];
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 3; ++i) p[k][i] = positions[3 * (3 * t + k) + i];
    const std::array<double, 3> u{p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
    const std::array<double, 3> w{p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
    const std::array<double, 3> n{u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                  u[0] * w[1] - u[1] * w[0]};
    std::array<double, 3> sight{};
    for (int i = 0; i < 3; ++i) sight[i] = eye[i] - (p[0][i] + p[1][i] + p[2][i]) / 3;
    const double lengths = std::sqrt((n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) *
                                     (sight[0] * sight[0] + sight[1] * sight[1] + sight[2] * sight[2]));
    return lengths > 0 ? (n[0] * sight[0] + n[1] * sight[1] + n[2] * sight[2]) / lengths : 0.0;
}

}  // namespace

std::vector<bool> visibleVertices(std::span<const float> positions, std::span<const std::int32_t> nodes,
                                  const GlCamera& camera) {
    const std::size_t vertices = std::min(nodes.size(), positions.size() / 3) / 3 * 3;
    std::vector<Projected> projected(vertices);
    for (std::size_t v = 0; v < vertices; ++v)
        projected[v].valid = camera.project({positions[3 * v], positions[3 * v + 1], positions[3 * v + 2]},
                                            projected[v].point);

    // The triangles the window draws: every corner in front of the eye, turned towards the viewer.
    std::vector<bool> onFacing(vertices, false);
    const std::array<double, 3> eye = camera.eyeInModel();
    CellGrid grid(camera.width(), camera.height());
    for (std::size_t t = 0; t < vertices / 3; ++t) {
        const Projected* c = &projected[3 * t];
        if (!c[0].valid || !c[1].valid || !c[2].valid) continue;
        if (!(frontArea(c[0].point, c[1].point, c[2].point) > 0)) continue;
        if (facingCosine(positions, t, eye) >= kEdgeOnCosine)
            for (int k = 0; k < 3; ++k) onFacing[3 * t + k] = true;
        grid.add(t, std::min({c[0].point.x, c[1].point.x, c[2].point.x}),
                 std::min({c[0].point.y, c[1].point.y, c[2].point.y}),
                 std::max({c[0].point.x, c[1].point.x, c[2].point.x}),
                 std::max({c[0].point.y, c[1].point.y, c[2].point.y}));
    }

    std::vector<bool> seen(vertices, false);
    for (std::size_t v = 0; v < vertices; ++v) {
        const WindowPoint& p = projected[v].point;
        if (!onFacing[v] || p.x < 0 || p.y < 0 || p.x >= camera.width() || p.y >= camera.height()) continue;
        bool hidden = false;
        for (std::size_t t : grid.at(p.x, p.y)) {
            if (nodes[3 * t] == nodes[v] || nodes[3 * t + 1] == nodes[v] || nodes[3 * t + 2] == nodes[v])
                continue;
            double depth = 0;
            if (coverDepth(&projected[3 * t], p, depth) && depth < p.depth * (1 - kDepthTolerance)) {
                hidden = true;
                break;
            }
        }
        seen[v] = !hidden;
    }
    return seen;
}

}  // namespace results
