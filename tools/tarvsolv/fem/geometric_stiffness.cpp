#include "fem/geometric_stiffness.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tarvsolv {
namespace {

// The principal stresses of a symmetric stress, largest first.
std::array<double, 3> principalStresses(const double (&s)[3][3]) {
    // The closed form for symmetric 3 x 3 matrices: the deviator's eigenvalues are 2 p cos(phi + k 2pi/3).
    const double q = (s[0][0] + s[1][1] + s[2][2]) / 3;
    const double off = s[0][1] * s[0][1] + s[0][2] * s[0][2] + s[1][2] * s[1][2];
    const double p2 = (s[0][0] - q) * (s[0][0] - q) + (s[1][1] - q) * (s[1][1] - q) +
                      (s[2][2] - q) * (s[2][2] - q) + 2 * off;
    if (p2 <= 0) return {q, q, q};
    const double p = std::sqrt(p2 / 6);
    double b[3][3];
    for (int a = 0; a < 3; ++a)
        for (int c = 0; c < 3; ++c) b[a][c] = (s[a][c] - (a == c ? q : 0.0)) / p;
    const double det = b[0][0] * (b[1][1] * b[2][2] - b[1][2] * b[2][1]) -
                       b[0][1] * (b[1][0] * b[2][2] - b[1][2] * b[2][0]) +
                       b[0][2] * (b[1][0] * b[2][1] - b[1][1] * b[2][0]);
    const double phi = std::acos(std::clamp(det / 2, -1.0, 1.0)) / 3;
    const double largest = q + 2 * p * std::cos(phi);
    const double smallest = q + 2 * p * std::cos(phi + 2 * std::numbers::pi / 3);
    return {largest, 3 * q - largest - smallest, smallest};
}

}  // namespace

PrestressExtremes geometricStiffness(const FeMesh& mesh, int element, const ElasticMaterial& m,
                                     std::span<const double> ue, std::span<const double> dT,
                                     std::vector<double>& kg) {
    PrestressExtremes extremes;
    const int p = mesh.nodesPerElement, n = 3 * p;
    kg.assign(static_cast<std::size_t>(n) * n, 0.0);
    // Gradient times gradient: exact with the stiffness rule on straight-sided elements.
    for (const VolumePoint& g : volumePoints(mesh, element, p == 4 ? 1 : 2)) {
        double grad[3][3];
        displacementGradient(g, p, ue, grad);
        double temperature = 0;
        for (int i = 0; i < p && !dT.empty(); ++i) temperature += g.n[i] * dT[i];
        const std::array<double, 6> sv = stressOf(m, grad, temperature);
        const double s[3][3] = {{sv[0], sv[3], sv[5]}, {sv[3], sv[1], sv[4]}, {sv[5], sv[4], sv[2]}};
        const std::array<double, 3> principal = principalStresses(s);
        extremes.compression = std::max(extremes.compression, -principal[2]);
        extremes.magnitude =
            std::max(extremes.magnitude, std::max(std::abs(principal[0]), std::abs(principal[2])));
        for (int i = 0; i < p; ++i) {
            double sdi[3];  // S . dN_i
            for (int a = 0; a < 3; ++a)
                sdi[a] = s[a][0] * g.dx[i][0] + s[a][1] * g.dx[i][1] + s[a][2] * g.dx[i][2];
            for (int j = 0; j < p; ++j) {
                const double v = g.weight * (sdi[0] * g.dx[j][0] + sdi[1] * g.dx[j][1] + sdi[2] * g.dx[j][2]);
                for (int a = 0; a < 3; ++a) kg[static_cast<std::size_t>(3 * i + a) * n + 3 * j + a] += v;
            }
        }
    }
    return extremes;
}

}  // namespace tarvsolv
