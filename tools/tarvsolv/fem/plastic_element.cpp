#include "fem/plastic_element.h"

#include <cmath>

#include "fem/element_kernels.h"
#include "fem/quadrature.h"

namespace tarvsolv {
namespace {

// The stiffness rule: exact for the elastic stiffness of linear and quadratic elements.
int pointDegree(const FeMesh& mesh) {
    return mesh.nodesPerElement == 4 ? 1 : 2;
}

// Strains ex ey ez gxy gyz gxz at a point from the element's displacements.
std::array<double, 6> strainAt(const VolumePoint& g, int p, std::span<const double> ue) {
    double grad[3][3];
    displacementGradient(g, p, ue, grad);
    return {grad[0][0],
            grad[1][1],
            grad[2][2],
            grad[0][1] + grad[1][0],
            grad[1][2] + grad[2][1],
            grad[0][2] + grad[2][0]};
}

// Column b of node i's strain matrix has the derivatives along kAlong[b] in the strains kStrainOf[b].
constexpr int kStrainOf[3][3] = {{0, 3, 5}, {1, 3, 4}, {2, 4, 5}};
constexpr int kAlong[3][3] = {{0, 1, 2}, {1, 0, 2}, {2, 1, 0}};

void evaluate(const FeMesh& mesh, int element, const PlasticLaw& law, std::span<const double> ue,
              const FreeThermalStrain& thermal, std::span<const PlasticState> previous,
              std::vector<double>* ke, std::vector<double>* fint, std::vector<PlasticUpdate>& updates) {
    const int p = mesh.nodesPerElement, n = 3 * p;
    if (ke) ke->assign(static_cast<std::size_t>(n) * n, 0.0);
    if (fint) fint->assign(n, 0.0);
    updates.clear();
    const std::vector<VolumePoint> points = volumePoints(mesh, element, pointDegree(mesh));
    for (std::size_t k = 0; k < points.size(); ++k) {
        const VolumePoint& g = points[k];
        std::array<double, 6> strain = strainAt(g, p, ue);
        if (!thermal.nodeChanges.empty()) {
            double dT = 0;
            for (int i = 0; i < p; ++i) dT += g.n[i] * thermal.nodeChanges[i];
            for (int a = 0; a < 3; ++a) strain[a] -= thermal.factor * thermal.expansion * dT;
        }
        updates.push_back(plasticReturn(law, strain, previous[k]));
        const PlasticUpdate& up = updates.back();
        if (fint)
            for (int i = 0; i < p; ++i)
                for (int a = 0; a < 3; ++a) {
                    double v = 0;
                    for (int t = 0; t < 3; ++t) v += g.dx[i][kAlong[a][t]] * up.stress[kStrainOf[a][t]];
                    (*fint)[3 * i + a] += g.weight * v;
                }
        if (!ke) continue;
        // The tangent is symmetric (associated flow): the blocks i <= j here, the rest mirrored.
        double dbj[3][6];  // w * D B_j, by column b
        for (int j = 0; j < p; ++j) {
            for (int b = 0; b < 3; ++b)
                for (int v = 0; v < 6; ++v) {
                    const double* row = &up.tangent[6 * v];
                    double s = 0;
                    for (int t = 0; t < 3; ++t) s += row[kStrainOf[b][t]] * g.dx[j][kAlong[b][t]];
                    dbj[b][v] = g.weight * s;
                }
            for (int i = 0; i <= j; ++i)
                for (int a = 0; a < 3; ++a) {
                    double* row = &(*ke)[static_cast<std::size_t>(3 * i + a) * n + 3 * j];
                    for (int b = 0; b < 3; ++b)
                        for (int t = 0; t < 3; ++t) row[b] += g.dx[i][kAlong[a][t]] * dbj[b][kStrainOf[a][t]];
                }
        }
    }
    if (ke)
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < r / 3 * 3; ++c)
                (*ke)[static_cast<std::size_t>(r) * n + c] = (*ke)[static_cast<std::size_t>(c) * n + r];
}

// corners x points: the linear field through the 4-point rule's points evaluated at the corners.
std::array<std::array<double, 4>, 4> cornerExtrapolation() {
    const auto& rule = tetRule(2);
    double m[4][8] = {};  // [1 xi eta zeta | I], reduced to [I | M^-1]
    for (int g = 0; g < 4; ++g) {
        m[g][0] = 1;
        for (int a = 0; a < 3; ++a) m[g][1 + a] = rule[g].xi[a];
        m[g][4 + g] = 1;
    }
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::abs(m[r][c]) > std::abs(m[pivot][c])) pivot = r;
        for (int k = 0; k < 8; ++k) std::swap(m[c][k], m[pivot][k]);
        const double d = m[c][c];
        for (int k = 0; k < 8; ++k) m[c][k] /= d;
        for (int r = 0; r < 4; ++r)
            if (r != c) {
                const double f = m[r][c];
                for (int k = 0; k < 8; ++k) m[r][k] -= f * m[c][k];
            }
    }
    std::array<std::array<double, 4>, 4> e{};
    for (int corner = 0; corner < 4; ++corner) {
        const double at[4] = {1, kTetCorners[corner][0], kTetCorners[corner][1], kTetCorners[corner][2]};
        for (int g = 0; g < 4; ++g)
            for (int a = 0; a < 4; ++a) e[corner][g] += at[a] * m[a][4 + g];
    }
    return e;
}

}  // namespace

int plasticPointCount(const FeMesh& mesh) {
    return static_cast<int>(tetRule(pointDegree(mesh)).size());
}

void plasticElement(const FeMesh& mesh, int element, const PlasticLaw& law, std::span<const double> ue,
                    const FreeThermalStrain& thermal, std::span<const PlasticState> previous,
                    std::vector<double>& ke, std::vector<double>& fint, std::vector<PlasticUpdate>& updates) {
    evaluate(mesh, element, law, ue, thermal, previous, &ke, &fint, updates);
}

void plasticPointUpdates(const FeMesh& mesh, int element, const PlasticLaw& law, std::span<const double> ue,
                         const FreeThermalStrain& thermal, std::span<const PlasticState> previous,
                         std::vector<PlasticUpdate>& updates) {
    evaluate(mesh, element, law, ue, thermal, previous, nullptr, nullptr, updates);
}

std::array<double, 4> pointsToCorners(const FeMesh& mesh, std::span<const double> atPoints) {
    if (plasticPointCount(mesh) == 1) return {atPoints[0], atPoints[0], atPoints[0], atPoints[0]};
    static const auto extrapolation = cornerExtrapolation();
    std::array<double, 4> out{};
    for (int c = 0; c < 4; ++c)
        for (int g = 0; g < 4; ++g) out[c] += extrapolation[c][g] * atPoints[g];
    return out;
}

}  // namespace tarvsolv
