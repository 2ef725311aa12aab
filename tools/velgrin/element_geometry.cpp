#include "element_geometry.h"

#include <algorithm>
#include <cmath>

namespace velgrin {

namespace {

using Vec = std::array<double, 3>;

Vec sub(const Vec& a, const Vec& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
double det(const Vec& a, const Vec& b, const Vec& c) {
    return a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
           a[2] * (b[0] * c[1] - b[1] * c[0]);
}
double squared(const Vec& a) {
    return a[0] * a[0] + a[1] * a[1] + a[2] * a[2];
}

std::array<Vec, 4> corners(const TetMesh& mesh, int element) {
    const std::int32_t* nodes = mesh.element(element);
    std::array<Vec, 4> out;
    for (int i = 0; i < 4; ++i)
        out[i] = mesh.node(nodes[mesh.nodesPerElement == 4 ? i : kQuadraticCorners[i]]);
    return out;
}

// Determinant of the quadratic element's Jacobian at barycentric coordinates L (one per corner).
double quadraticJacobian(const TetMesh& mesh, int element, const std::array<double, 4>& L) {
    const std::int32_t* nodes = mesh.element(element);
    // d(position)/dL_k = x_corner_k (4 L_k - 1) + sum over mid-sides (k, j) of 4 L_j x_mid
    std::array<Vec, 4> grad{};
    for (int k = 0; k < 4; ++k) {
        const Vec x = mesh.node(nodes[kQuadraticCorners[k]]);
        for (int c = 0; c < 3; ++c) grad[k][c] += x[c] * (4 * L[k] - 1);
    }
    for (const MidSide& m : kQuadraticMidSides) {
        const int a = static_cast<int>(std::find(kQuadraticCorners.begin(), kQuadraticCorners.end(), m.a) -
                                       kQuadraticCorners.begin());
        const int b = static_cast<int>(std::find(kQuadraticCorners.begin(), kQuadraticCorners.end(), m.b) -
                                       kQuadraticCorners.begin());
        const Vec x = mesh.node(nodes[m.node]);
        for (int c = 0; c < 3; ++c) {
            grad[a][c] += 4 * L[b] * x[c];
            grad[b][c] += 4 * L[a] * x[c];
        }
    }
    return det(sub(grad[1], grad[0]), sub(grad[2], grad[0]), sub(grad[3], grad[0]));
}

// Nodes and centroid of the reference element in barycentric coordinates.
const std::array<std::array<double, 4>, 11>& samplePoints() {
    static const std::array<std::array<double, 4>, 11> points{{{1, 0, 0, 0},
                                                               {0, 1, 0, 0},
                                                               {0, 0, 1, 0},
                                                               {0, 0, 0, 1},
                                                               {.5, .5, 0, 0},
                                                               {0, .5, .5, 0},
                                                               {.5, 0, .5, 0},
                                                               {.5, 0, 0, .5},
                                                               {0, .5, 0, .5},
                                                               {0, 0, .5, .5},
                                                               {.25, .25, .25, .25}}};
    return points;
}

}  // namespace

double cornerVolume(const TetMesh& mesh, int element) {
    const auto p = corners(mesh, element);
    return det(sub(p[1], p[0]), sub(p[2], p[0]), sub(p[3], p[0])) / 6;
}

double elementVolume(const TetMesh& mesh, int element) {
    if (mesh.nodesPerElement == 4) return cornerVolume(mesh, element);
    // Degree-3 rule: the Jacobian of a quadratic tetrahedron is a cubic, so this is exact.
    double sum = -0.8 * quadraticJacobian(mesh, element, {.25, .25, .25, .25});
    const double a = 0.5, b = 1.0 / 6;
    sum += 0.45 *
           (quadraticJacobian(mesh, element, {a, b, b, b}) + quadraticJacobian(mesh, element, {b, a, b, b}) +
            quadraticJacobian(mesh, element, {b, b, a, b}) + quadraticJacobian(mesh, element, {b, b, b, a}));
    return sum / 6;
}

double jacobianRatio(const TetMesh& mesh, int element) {
    if (mesh.nodesPerElement == 4) return 1;
    const double straight = 6 * cornerVolume(mesh, element);
    if (straight <= 0) return straight < 0 ? -1 : 0;
    double smallest = quadraticJacobian(mesh, element, samplePoints()[0]);
    for (const auto& L : samplePoints()) smallest = std::min(smallest, quadraticJacobian(mesh, element, L));
    return smallest / straight;
}

double shapeQuality(const TetMesh& mesh, int element) {
    const auto p = corners(mesh, element);
    double edges = 0;
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) edges += squared(sub(p[i], p[j]));
    if (edges <= 0) return 0;
    const double v = cornerVolume(mesh, element);
    const double q = 12 * std::cbrt(9 * v * v) / edges;  // (3V)^(2/3) = cbrt(9 V^2)
    return v < 0 ? -q : q;
}

double elementQuality(const TetMesh& mesh, int element) {
    const double shape = shapeQuality(mesh, element);
    if (mesh.nodesPerElement == 4 || shape <= 0) return shape;
    return shape * std::min(1.0, jacobianRatio(mesh, element));
}

}  // namespace velgrin
