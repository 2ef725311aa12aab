#include "fem/geometric_stiffness.h"

namespace tarvsolv {

void geometricStiffness(const FeMesh& mesh, int element, const IsotropicElastic& m,
                        std::span<const double> ue, std::span<const double> dT, std::vector<double>& kg) {
    const int p = mesh.nodesPerElement, n = 3 * p;
    kg.assign(static_cast<std::size_t>(n) * n, 0.0);
    const double nu = m.poisson;
    const double lambda = m.young * nu / ((1 + nu) * (1 - 2 * nu)), mu = m.young / (2 * (1 + nu));
    // Gradient times gradient: exact with the stiffness rule on straight-sided elements.
    for (const VolumePoint& g : volumePoints(mesh, element, p == 4 ? 1 : 2)) {
        double grad[3][3] = {};  // du_a / dx_b
        double temperature = 0;
        for (int i = 0; i < p; ++i) {
            for (int a = 0; a < 3; ++a)
                for (int b = 0; b < 3; ++b) grad[a][b] += ue[3 * i + a] * g.dx[i][b];
            if (!dT.empty()) temperature += g.n[i] * dT[i];
        }
        const double thermal = m.expansion * temperature;
        const double volumetric = grad[0][0] + grad[1][1] + grad[2][2] - 3 * thermal;
        double s[3][3];
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b)
                s[a][b] = a == b ? lambda * volumetric + 2 * mu * (grad[a][a] - thermal)
                                 : mu * (grad[a][b] + grad[b][a]);
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
}

}  // namespace tarvsolv
