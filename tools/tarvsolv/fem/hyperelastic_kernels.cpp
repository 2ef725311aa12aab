#include "fem/hyperelastic_kernels.h"

#include <cmath>
#include <stdexcept>

#include "fem/element_kernels.h"
#include "fem/quadrature.h"
#include "fem/shape_functions.h"

namespace tarvsolv {

NeoHookean NeoHookean::fromYoung(double young, double poisson) {
    return {young / (2 * (1 + poisson)), young * poisson / ((1 + poisson) * (1 - 2 * poisson))};
}

double determinant(const Tensor3& a) {
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

Tensor3 inverse(const Tensor3& a, double det) {
    Tensor3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int i1 = (j + 1) % 3, i2 = (j + 2) % 3, j1 = (i + 1) % 3, j2 = (i + 2) % 3;
            r[i][j] = (a[i1][j1] * a[i2][j2] - a[i1][j2] * a[i2][j1]) / det;
        }
    return r;
}

Tensor3 firstPiolaStress(const NeoHookean& m, const Tensor3& f, std::array<double, 81>* tangent) {
    const double j = determinant(f);
    if (!(j > 0)) throw std::runtime_error("an element is turned inside out (det F <= 0)");
    const Tensor3 fi = inverse(f, j);  // fi[L][i] = (F^-1)_Li
    const double lnJ = std::log(j);
    Tensor3 p{};
    for (int i = 0; i < 3; ++i)
        for (int a = 0; a < 3; ++a) p[i][a] = m.mu * (f[i][a] - fi[a][i]) + m.lambda * lnJ * fi[a][i];
    if (tangent) {
        // dF^-T_iJ / dF_kL = -F^-1_Li F^-1_Jk and d ln J / dF_kL = F^-1_Lk.
        const double c = m.mu - m.lambda * lnJ;
        for (int i = 0; i < 3; ++i)
            for (int a = 0; a < 3; ++a)
                for (int k = 0; k < 3; ++k)
                    for (int l = 0; l < 3; ++l)
                        (*tangent)[(3 * i + a) * 9 + 3 * k + l] = (i == k && a == l ? m.mu : 0.0) +
                                                                  c * fi[l][i] * fi[a][k] +
                                                                  m.lambda * fi[a][i] * fi[l][k];
    }
    return p;
}

std::array<double, 6> cauchyStress(const NeoHookean& m, const Tensor3& f) {
    const Tensor3 p = firstPiolaStress(m, f);
    const double j = determinant(f);
    auto s = [&](int a, int b) {
        double v = 0;
        for (int k = 0; k < 3; ++k) v += p[a][k] * f[b][k];
        return v / j;
    };
    return {s(0, 0), s(1, 1), s(2, 2), s(0, 1), s(1, 2), s(0, 2)};
}

void hyperelasticElement(const FeMesh& mesh, int element, const NeoHookean& m, std::span<const double> u,
                         std::vector<double>& force, std::vector<double>& stiffness) {
    const int p = mesh.nodesPerElement, n = 3 * p;
    force.assign(static_cast<std::size_t>(n), 0.0);
    stiffness.assign(static_cast<std::size_t>(n) * n, 0.0);
    std::array<double, 81> a{};
    for (const VolumePoint& g : volumePoints(mesh, element, p == 4 ? 1 : 2)) {
        Tensor3 f{};
        for (int i = 0; i < 3; ++i) f[i][i] = 1;
        for (int q = 0; q < p; ++q)
            for (int i = 0; i < 3; ++i)
                for (int b = 0; b < 3; ++b) f[i][b] += u[3 * q + i] * g.dx[q][b];
        const Tensor3 pk = firstPiolaStress(m, f, &a);
        for (int q = 0; q < p; ++q)
            for (int i = 0; i < 3; ++i) {
                double v = 0;
                for (int b = 0; b < 3; ++b) v += pk[i][b] * g.dx[q][b];
                force[3 * q + i] += g.weight * v;
            }
        // K_(qi)(rk) = sum_JL dN_q/dX_J A_iJkL dN_r/dX_L
        for (int q = 0; q < p; ++q)
            for (int i = 0; i < 3; ++i)
                for (int r = 0; r < p; ++r)
                    for (int k = 0; k < 3; ++k) {
                        double v = 0;
                        for (int b = 0; b < 3; ++b)
                            for (int l = 0; l < 3; ++l)
                                v += g.dx[q][b] * a[(3 * i + b) * 9 + 3 * k + l] * g.dx[r][l];
                        stiffness[static_cast<std::size_t>(3 * q + i) * n + 3 * r + k] += g.weight * v;
                    }
    }
}

void followerPressureFacet(const FeMesh& mesh, const Facet& facet,
                           const std::function<double(const Vec3&)>& pressure, std::span<const double> u,
                           std::vector<double>& force, std::vector<double>& stiffness) {
    const std::vector<int> nodes = mesh.faceNodes(facet.element, facet.face);
    const int nf = static_cast<int>(nodes.size()), n = 3 * nf;
    force.assign(static_cast<std::size_t>(n), 0.0);
    stiffness.assign(static_cast<std::size_t>(n) * n, 0.0);
    // The outward sense of the parametric normal, from the undeformed face (the same rule as the
    // face loads of the linear analyses, so that the first step's loads are theirs).
    const std::vector<BoundaryPoint> reference = facePoints(mesh, facet);
    const std::vector<QuadPoint>& rule = triangleRule(nf == 3 ? 2 : 5);
    double orientation = 0;
    for (std::size_t q = 0; q < rule.size(); ++q) {
        const TriShape s = triShape(nf, rule[q].xi[0], rule[q].xi[1]);
        Vec3 dr0, ds0, dr, ds;
        for (int i = 0; i < nf; ++i) {
            const Vec3 x0 = mesh.node(nodes[i]);
            const Vec3 x = x0 + Vec3{u[3 * i], u[3 * i + 1], u[3 * i + 2]};
            dr0 = dr0 + s.dxi[i][0] * x0;
            ds0 = ds0 + s.dxi[i][1] * x0;
            dr = dr + s.dxi[i][0] * x;
            ds = ds + s.dxi[i][1] * x;
        }
        if (q == 0) orientation = dot(cross(dr0, ds0), reference[0].normal) < 0 ? -1.0 : 1.0;
        const double pw = pressure(reference[q].x) * rule[q].weight * orientation;
        const Vec3 area = cross(dr, ds);
        // d(dr x ds) = dN_j,xi (e x ds) + dN_j,eta (dr x e): with [v] the cross-product matrix,
        // d force_i / d x_j = -p w N_i (dN_j,eta [dr] - dN_j,xi [ds]).
        auto crossMatrix = [](const Vec3& v) {
            return std::array<std::array<double, 3>, 3>{{{0, -v.z, v.y}, {v.z, 0, -v.x}, {-v.y, v.x, 0}}};
        };
        const auto cr = crossMatrix(dr), cs = crossMatrix(ds);
        for (int i = 0; i < nf; ++i) {
            for (int a = 0; a < 3; ++a) force[3 * i + a] -= pw * s.n[i] * area[a];
            for (int j = 0; j < nf; ++j)
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b)
                        stiffness[static_cast<std::size_t>(3 * i + a) * n + 3 * j + b] +=
                            pw * s.n[i] * (s.dxi[j][1] * cr[a][b] - s.dxi[j][0] * cs[a][b]);
        }
    }
}

}  // namespace tarvsolv
