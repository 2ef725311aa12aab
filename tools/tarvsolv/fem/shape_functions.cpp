#include "fem/shape_functions.h"

namespace tarvsolv {
namespace {

// Edges of the quadratic tetrahedron, in mid-side node order.
constexpr int kTetEdges[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};
constexpr int kTriEdges[3][2] = {{0, 1}, {1, 2}, {2, 0}};

}  // namespace

TetShape tetShape(int nodes, double xi, double eta, double zeta) {
    // Volume coordinates and their derivatives with respect to (xi, eta, zeta).
    const double l[4] = {1 - xi - eta - zeta, xi, eta, zeta};
    const double dl[4][3] = {{-1, -1, -1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    TetShape s;
    if (nodes == 4) {
        for (int i = 0; i < 4; ++i) {
            s.n[i] = l[i];
            for (int d = 0; d < 3; ++d) s.dxi[i][d] = dl[i][d];
        }
        return s;
    }
    for (int i = 0; i < 4; ++i) {
        s.n[i] = l[i] * (2 * l[i] - 1);
        for (int d = 0; d < 3; ++d) s.dxi[i][d] = (4 * l[i] - 1) * dl[i][d];
    }
    for (int k = 0; k < 6; ++k) {
        const int a = kTetEdges[k][0], b = kTetEdges[k][1];
        s.n[4 + k] = 4 * l[a] * l[b];
        for (int d = 0; d < 3; ++d) s.dxi[4 + k][d] = 4 * (dl[a][d] * l[b] + l[a] * dl[b][d]);
    }
    return s;
}

TriShape triShape(int nodes, double xi, double eta) {
    const double l[3] = {1 - xi - eta, xi, eta};
    const double dl[3][2] = {{-1, -1}, {1, 0}, {0, 1}};
    TriShape s;
    if (nodes == 3) {
        for (int i = 0; i < 3; ++i) {
            s.n[i] = l[i];
            s.dxi[i] = {dl[i][0], dl[i][1]};
        }
        return s;
    }
    for (int i = 0; i < 3; ++i) {
        s.n[i] = l[i] * (2 * l[i] - 1);
        for (int d = 0; d < 2; ++d) s.dxi[i][d] = (4 * l[i] - 1) * dl[i][d];
    }
    for (int k = 0; k < 3; ++k) {
        const int a = kTriEdges[k][0], b = kTriEdges[k][1];
        s.n[3 + k] = 4 * l[a] * l[b];
        for (int d = 0; d < 2; ++d) s.dxi[3 + k][d] = 4 * (dl[a][d] * l[b] + l[a] * dl[b][d]);
    }
    return s;
}

}  // namespace tarvsolv
