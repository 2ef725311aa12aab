#pragma once
// Shape functions of the linear and quadratic tetrahedron, triangle and edge, in the solver's local
// node order (corners first, then mid-side nodes of the edges 0-1, 1-2, 0-2, 0-3, 1-3, 2-3 for
// tetrahedra and a-b, b-c, c-a for triangles).
#include <array>

namespace tarvsolv {

inline constexpr int kMaxElementNodes = 10;

struct TetShape {
    std::array<double, kMaxElementNodes> n{};                   // N_i
    std::array<std::array<double, 3>, kMaxElementNodes> dxi{};  // dN_i / d(xi, eta, zeta)
};

// `nodes` is 4 or 10.
TetShape tetShape(int nodes, double xi, double eta, double zeta);

struct TriShape {
    std::array<double, 6> n{};
    std::array<std::array<double, 2>, 6> dxi{};
};

// `nodes` is 3 or 6.
TriShape triShape(int nodes, double xi, double eta);

// Reference coordinates of the corners (0..3) of the tetrahedron.
inline constexpr std::array<std::array<double, 3>, 4> kTetCorners{
    {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

}  // namespace tarvsolv
