#include "fem/element_kernels.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "fem/quadrature.h"

namespace tarvsolv {
namespace {

// Voigt index of the symmetric pair (a, b): xx yy zz xy yz xz.
constexpr int kVoigt[3][3] = {{0, 3, 5}, {3, 1, 4}, {5, 4, 2}};

// Strain-displacement columns of one node: bv[v][b] is strain v of a unit displacement b.
void strainColumns(const std::array<double, 3>& dn, double (&bv)[6][3]) {
    for (auto& row : bv) row[0] = row[1] = row[2] = 0;
    for (int a = 0; a < 3; ++a) bv[a][a] = dn[a];
    bv[3][0] = dn[1], bv[3][1] = dn[0];
    bv[4][1] = dn[2], bv[4][2] = dn[1];
    bv[5][0] = dn[2], bv[5][2] = dn[0];
}

// Solves the 3x3 symmetric system by Cholesky into its inverse; false when not positive definite.
bool invertPositiveDefinite(const double (&a)[3][3], double (&inv)[3][3]) {
    double l[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j <= i; ++j) {
            double sum = a[i][j];
            for (int k = 0; k < j; ++k) sum -= l[i][k] * l[j][k];
            if (i == j) {
                if (!(sum > 1e-12 * std::abs(a[i][i]))) return false;
                l[i][i] = std::sqrt(sum);
            } else {
                l[i][j] = sum / l[j][j];
            }
        }
    for (int col = 0; col < 3; ++col) {
        double y[3], x[3];
        for (int i = 0; i < 3; ++i) {
            double sum = i == col ? 1.0 : 0.0;
            for (int k = 0; k < i; ++k) sum -= l[i][k] * y[k];
            y[i] = sum / l[i][i];
        }
        for (int i = 2; i >= 0; --i) {
            double sum = y[i];
            for (int k = i + 1; k < 3; ++k) sum -= l[k][i] * x[k];
            x[i] = sum / l[i][i];
        }
        for (int i = 0; i < 3; ++i) inv[i][col] = x[i];
    }
    return true;
}

// Degree of the rule for stiffness-like integrands (gradient times gradient).
int stiffnessDegree(const FeMesh& mesh) {
    return mesh.nodesPerElement == 4 ? 1 : 2;
}
// Degree for shape-times-shape and load integrands.
int massDegree(const FeMesh& mesh) {
    return mesh.nodesPerElement == 4 ? 2 : 5;
}

}  // namespace

ElasticMaterial::ElasticMaterial(const IsotropicElastic& m)
    : lambda(m.young * m.poisson / ((1 + m.poisson) * (1 - 2 * m.poisson))),
      mu(m.young / (2 * (1 + m.poisson))),
      density(m.density) {
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) d[6 * a + b] = lambda + (a == b ? 2 * mu : 0.0);
        d[6 * (a + 3) + a + 3] = mu;
        expansion[a] = m.expansion;
    }
}

std::optional<ElasticMaterial> orthotropicElastic(const OrthotropicConstants& c) {
    if (!(c.e1 > 0 && c.e2 > 0 && c.g12 > 0)) return std::nullopt;
    const double g23 = c.e2 / (2 * (1 + c.nu));
    if (!(g23 > 0)) return std::nullopt;
    // Normal compliance in the material axes; its inverse is the normal block of the stiffness.
    const double s[3][3] = {{1 / c.e1, -c.nu / c.e1, -c.nu / c.e1},
                            {-c.nu / c.e1, 1 / c.e2, -c.nu / c.e2},
                            {-c.nu / c.e1, -c.nu / c.e2, 1 / c.e2}};
    double normal[3][3];
    if (!invertPositiveDefinite(s, normal)) return std::nullopt;
    double local[6][6] = {};
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) local[a][b] = normal[a][b];
    local[3][3] = c.g12;  // 1-2
    local[4][4] = g23;    // 2-3
    local[5][5] = c.g12;  // 1-3
    // r[i][m]: component i of material axis m.
    const double angle = c.angleDegrees * std::numbers::pi / 180;
    const double cs = std::cos(angle), sn = std::sin(angle);
    const double r[3][3] = {{cs, -sn, 0}, {sn, cs, 0}, {0, 0, 1}};
    // Rotate the fourth-order tensor one index at a time: C'_ijkl = r_im r_jn r_kp r_lq C_mnpq.
    double t[3][3][3][3], u[3][3][3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                for (int l = 0; l < 3; ++l) t[i][j][k][l] = local[kVoigt[i][j]][kVoigt[k][l]];
    for (int pass = 0; pass < 4; ++pass) {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                for (int k = 0; k < 3; ++k)
                    for (int l = 0; l < 3; ++l) {
                        double sum = 0;
                        // Rotates the first index and moves it last, so four passes rotate all four.
                        for (int m = 0; m < 3; ++m) sum += r[l][m] * t[m][i][j][k];
                        u[i][j][k][l] = sum;
                    }
        std::copy(&u[0][0][0][0], &u[0][0][0][0] + 81, &t[0][0][0][0]);
    }
    ElasticMaterial out;
    out.isotropic = false;
    out.density = c.density;
    constexpr int kPair[6][2] = {{0, 0}, {1, 1}, {2, 2}, {0, 1}, {1, 2}, {0, 2}};
    for (int v = 0; v < 6; ++v)
        for (int w = 0; w < 6; ++w) out.d[6 * v + w] = t[kPair[v][0]][kPair[v][1]][kPair[w][0]][kPair[w][1]];
    const double alpha[3] = {c.alpha1, c.alpha2, c.alpha2};
    for (int v = 0; v < 6; ++v) {
        const int i = kPair[v][0], j = kPair[v][1];
        double sum = 0;
        for (int m = 0; m < 3; ++m) sum += r[i][m] * alpha[m] * r[j][m];
        out.expansion[v] = i == j ? sum : 2 * sum;
    }
    return out;
}

void displacementGradient(const VolumePoint& g, int nodes, std::span<const double> ue, double (&grad)[3][3]) {
    for (auto& row : grad)
        for (double& v : row) v = 0;
    for (int i = 0; i < nodes; ++i)
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b) grad[a][b] += ue[3 * i + a] * g.dx[i][b];
}

std::array<double, 6> stressOf(const ElasticMaterial& m, const double (&grad)[3][3], double dT) {
    const double strain[6] = {grad[0][0] - m.expansion[0] * dT,
                              grad[1][1] - m.expansion[1] * dT,
                              grad[2][2] - m.expansion[2] * dT,
                              grad[0][1] + grad[1][0] - m.expansion[3] * dT,
                              grad[1][2] + grad[2][1] - m.expansion[4] * dT,
                              grad[0][2] + grad[2][0] - m.expansion[5] * dT};
    std::array<double, 6> s{};
    for (int v = 0; v < 6; ++v)
        for (int w = 0; w < 6; ++w) s[v] += m.d[6 * v + w] * strain[w];
    return s;
}

VolumePoint volumePoint(const FeMesh& mesh, int element, const std::array<double, 3>& xi, double ruleWeight) {
    const int p = mesh.nodesPerElement;
    const TetShape s = tetShape(p, xi[0], xi[1], xi[2]);
    const auto nodes = mesh.elementNodes(element);
    double j[3][3] = {};  // j[a][d] = d x_a / d xi_d
    VolumePoint out;
    for (int i = 0; i < p; ++i) {
        const Vec3 x = mesh.node(nodes[i]);
        for (int a = 0; a < 3; ++a)
            for (int d = 0; d < 3; ++d) j[a][d] += x[a] * s.dxi[i][d];
        out.x = out.x + s.n[i] * x;
    }
    const double det = j[0][0] * (j[1][1] * j[2][2] - j[1][2] * j[2][1]) -
                       j[0][1] * (j[1][0] * j[2][2] - j[1][2] * j[2][0]) +
                       j[0][2] * (j[1][0] * j[2][1] - j[1][1] * j[2][0]);
    if (det == 0 || !std::isfinite(det))
        throw std::runtime_error("element " + std::to_string(element + 1) + " is degenerate (zero volume)");
    // inv[d][a] = d xi_d / d x_a
    double inv[3][3];
    inv[0][0] = (j[1][1] * j[2][2] - j[1][2] * j[2][1]) / det;
    inv[0][1] = (j[0][2] * j[2][1] - j[0][1] * j[2][2]) / det;
    inv[0][2] = (j[0][1] * j[1][2] - j[0][2] * j[1][1]) / det;
    inv[1][0] = (j[1][2] * j[2][0] - j[1][0] * j[2][2]) / det;
    inv[1][1] = (j[0][0] * j[2][2] - j[0][2] * j[2][0]) / det;
    inv[1][2] = (j[0][2] * j[1][0] - j[0][0] * j[1][2]) / det;
    inv[2][0] = (j[1][0] * j[2][1] - j[1][1] * j[2][0]) / det;
    inv[2][1] = (j[0][1] * j[2][0] - j[0][0] * j[2][1]) / det;
    inv[2][2] = (j[0][0] * j[1][1] - j[0][1] * j[1][0]) / det;
    for (int i = 0; i < p; ++i) {
        out.n[i] = s.n[i];
        for (int a = 0; a < 3; ++a)
            out.dx[i][a] = s.dxi[i][0] * inv[0][a] + s.dxi[i][1] * inv[1][a] + s.dxi[i][2] * inv[2][a];
    }
    out.detJ = det;
    out.weight = std::abs(det) * ruleWeight;
    return out;
}

std::vector<VolumePoint> volumePoints(const FeMesh& mesh, int element, int degree) {
    std::vector<VolumePoint> points;
    for (const QuadPoint& q : tetRule(degree)) points.push_back(volumePoint(mesh, element, q.xi, q.weight));
    return points;
}

namespace {

// Stiffness of a general law: sum over points of w * B_i^T D B_j. Each column b of a node's strain
// matrix has three entries: strain kStrainOf[b][k] takes the derivative along kAlong[b][k].
constexpr int kStrainOf[3][3] = {{0, 3, 5}, {1, 3, 4}, {2, 4, 5}};
constexpr int kAlong[3][3] = {{0, 1, 2}, {1, 0, 2}, {2, 1, 0}};

void anisotropicStiffness(const FeMesh& mesh, int element, const ElasticMaterial& m,
                          std::vector<double>& ke) {
    const int p = mesh.nodesPerElement, n = 3 * p;
    double dbj[3][6];  // w * D B_j, by column b
    for (const VolumePoint& g : volumePoints(mesh, element, stiffnessDegree(mesh))) {
        for (int j = 0; j < p; ++j) {
            const auto& dj = g.dx[j];
            for (int b = 0; b < 3; ++b)
                for (int v = 0; v < 6; ++v) {
                    const double* row = &m.d[6 * v];
                    dbj[b][v] = g.weight * (row[kStrainOf[b][0]] * dj[kAlong[b][0]] +
                                            row[kStrainOf[b][1]] * dj[kAlong[b][1]] +
                                            row[kStrainOf[b][2]] * dj[kAlong[b][2]]);
                }
            for (int i = 0; i < p; ++i) {
                const auto& di = g.dx[i];
                for (int a = 0; a < 3; ++a) {
                    double* row = &ke[static_cast<std::size_t>(3 * i + a) * n + 3 * j];
                    const int v0 = kStrainOf[a][0], v1 = kStrainOf[a][1], v2 = kStrainOf[a][2];
                    const double d0 = di[kAlong[a][0]], d1 = di[kAlong[a][1]], d2 = di[kAlong[a][2]];
                    for (int b = 0; b < 3; ++b) row[b] += d0 * dbj[b][v0] + d1 * dbj[b][v1] + d2 * dbj[b][v2];
                }
            }
        }
    }
}

}  // namespace

void elasticStiffness(const FeMesh& mesh, int element, const ElasticMaterial& m, std::vector<double>& ke) {
    const int p = mesh.nodesPerElement, n = 3 * p;
    ke.assign(static_cast<std::size_t>(n) * n, 0.0);
    if (!m.isotropic) return anisotropicStiffness(mesh, element, m, ke);
    const ElasticMaterial& l = m;
    for (const VolumePoint& g : volumePoints(mesh, element, stiffnessDegree(mesh))) {
        for (int i = 0; i < p; ++i) {
            const auto& di = g.dx[i];
            for (int j = 0; j < p; ++j) {
                const auto& dj = g.dx[j];
                const double dd = di[0] * dj[0] + di[1] * dj[1] + di[2] * dj[2];
                for (int a = 0; a < 3; ++a) {
                    double* row = &ke[static_cast<std::size_t>(3 * i + a) * n + 3 * j];
                    for (int b = 0; b < 3; ++b)
                        row[b] += g.weight * (l.lambda * di[a] * dj[b] + l.mu * di[b] * dj[a] +
                                              (a == b ? l.mu * dd : 0.0));
                }
            }
        }
    }
}

void consistentMass(const FeMesh& mesh, int element, double rho, std::vector<double>& me) {
    const int p = mesh.nodesPerElement, n = 3 * p;
    me.assign(static_cast<std::size_t>(n) * n, 0.0);
    for (const VolumePoint& g : volumePoints(mesh, element, massDegree(mesh)))
        for (int i = 0; i < p; ++i)
            for (int j = 0; j < p; ++j) {
                const double v = rho * g.weight * g.n[i] * g.n[j];
                for (int a = 0; a < 3; ++a) me[static_cast<std::size_t>(3 * i + a) * n + 3 * j + a] += v;
            }
}

void bodyForce(const FeMesh& mesh, int element, const std::function<Vec3(const Vec3&)>& force,
               std::vector<double>& fe) {
    const int p = mesh.nodesPerElement;
    fe.assign(3 * p, 0.0);
    for (const VolumePoint& g : volumePoints(mesh, element, massDegree(mesh))) {
        const Vec3 f = force(g.x);
        for (int i = 0; i < p; ++i)
            for (int a = 0; a < 3; ++a) fe[3 * i + a] += g.weight * g.n[i] * f[a];
    }
}

void thermalLoad(const FeMesh& mesh, int element, const ElasticMaterial& m, std::span<const double> dT,
                 std::vector<double>& fe) {
    const int p = mesh.nodesPerElement;
    fe.assign(3 * p, 0.0);
    // Stress per degree of the restrained free thermal strain.
    double perDegree[6] = {};
    for (int v = 0; v < 6; ++v)
        for (int w = 0; w < 6; ++w) perDegree[v] += m.d[6 * v + w] * m.expansion[w];
    double bi[6][3];
    for (const VolumePoint& g : volumePoints(mesh, element, massDegree(mesh))) {
        double t = 0;
        for (int i = 0; i < p; ++i) t += g.n[i] * dT[i];
        const double s = g.weight * t;
        for (int i = 0; i < p; ++i) {
            strainColumns(g.dx[i], bi);
            for (int a = 0; a < 3; ++a) {
                double sum = 0;
                for (int v = 0; v < 6; ++v) sum += bi[v][a] * perDegree[v];
                fe[3 * i + a] += s * sum;
            }
        }
    }
}

void conductivityMatrix(const FeMesh& mesh, int element, const Vec3& k, std::vector<double>& ke) {
    const int p = mesh.nodesPerElement;
    ke.assign(static_cast<std::size_t>(p) * p, 0.0);
    for (const VolumePoint& g : volumePoints(mesh, element, stiffnessDegree(mesh)))
        for (int i = 0; i < p; ++i)
            for (int j = 0; j < p; ++j)
                ke[static_cast<std::size_t>(i) * p + j] +=
                    g.weight * (k.x * g.dx[i][0] * g.dx[j][0] + k.y * g.dx[i][1] * g.dx[j][1] +
                                k.z * g.dx[i][2] * g.dx[j][2]);
}

void heatSource(const FeMesh& mesh, int element, const std::function<double(const Vec3&)>& q,
                std::vector<double>& fe) {
    const int p = mesh.nodesPerElement;
    fe.assign(p, 0.0);
    for (const VolumePoint& g : volumePoints(mesh, element, massDegree(mesh))) {
        const double v = q(g.x);
        for (int i = 0; i < p; ++i) fe[i] += g.weight * g.n[i] * v;
    }
}

std::array<Stress6, 4> cornerStresses(const FeMesh& mesh, int element, const ElasticMaterial& m,
                                      std::span<const double> ue, std::span<const double> dT) {
    const int p = mesh.nodesPerElement;
    std::array<Stress6, 4> out{};
    for (int c = 0; c < 4; ++c) {
        const VolumePoint g = volumePoint(mesh, element, kTetCorners[c]);
        double e[3][3];
        displacementGradient(g, p, ue, e);
        out[c] = stressOf(m, e, dT.empty() ? 0.0 : dT[c]);
    }
    return out;
}

std::array<Vec3, 4> cornerHeatFlux(const FeMesh& mesh, int element, const Vec3& k,
                                   std::span<const double> te) {
    const int p = mesh.nodesPerElement;
    std::array<Vec3, 4> out{};
    for (int c = 0; c < 4; ++c) {
        const VolumePoint g = volumePoint(mesh, element, kTetCorners[c]);
        double grad[3] = {0, 0, 0};
        for (int i = 0; i < p; ++i)
            for (int b = 0; b < 3; ++b) grad[b] += te[i] * g.dx[i][b];
        out[c] = Vec3{-k.x * grad[0], -k.y * grad[1], -k.z * grad[2]};
    }
    return out;
}

std::vector<BoundaryPoint> facePoints(const FeMesh& mesh, const Facet& facet) {
    const std::vector<int> nodes = mesh.faceNodes(facet.element, facet.face);
    const int nf = static_cast<int>(nodes.size());
    std::vector<BoundaryPoint> points;
    // Outward: away from the element's centroid, judged at the flat face's centroid.
    const Vec3 a = mesh.node(nodes[0]), b = mesh.node(nodes[1]), c = mesh.node(nodes[2]);
    const Vec3 flatNormal = cross(b - a, c - a);
    const Vec3 faceCentre = (1.0 / 3) * (a + b + c);
    const double orientation =
        dot(flatNormal, faceCentre - elementCentroid(mesh, facet.element)) < 0 ? -1.0 : 1.0;
    for (const QuadPoint& q : triangleRule(nf == 3 ? 2 : 5)) {
        const TriShape s = triShape(nf, q.xi[0], q.xi[1]);
        BoundaryPoint bp;
        bp.xi = {q.xi[0], q.xi[1]};
        Vec3 dr, ds;
        for (int i = 0; i < nf; ++i) {
            const Vec3 x = mesh.node(nodes[i]);
            bp.n[i] = s.n[i];
            bp.x = bp.x + s.n[i] * x;
            dr = dr + s.dxi[i][0] * x;
            ds = ds + s.dxi[i][1] * x;
        }
        const Vec3 na = orientation * cross(dr, ds);
        bp.measure = norm(na) * q.weight;
        bp.normal = normalized(na);
        points.push_back(bp);
    }
    return points;
}

std::vector<BoundaryPoint> edgePoints(const FeMesh& mesh, int a, int b, int mid) {
    std::vector<BoundaryPoint> points;
    const Vec3 xa = mesh.node(a), xb = mesh.node(b);
    const Vec3 xm = mid >= 0 ? mesh.node(mid) : 0.5 * (xa + xb);
    for (const QuadPoint& q : lineRule()) {
        const double s = q.xi[0];
        BoundaryPoint bp;
        if (mid >= 0) {
            bp.n[0] = (1 - s) * (1 - 2 * s);
            bp.n[1] = s * (2 * s - 1);
            bp.n[2] = 4 * s * (1 - s);
            const Vec3 tangent = (4 * s - 3) * xa + (4 * s - 1) * xb + (4 - 8 * s) * xm;
            bp.measure = norm(tangent) * q.weight;
        } else {
            bp.n[0] = 1 - s;
            bp.n[1] = s;
            bp.measure = norm(xb - xa) * q.weight;
        }
        bp.x = bp.n[0] * xa + bp.n[1] * xb + (mid >= 0 ? bp.n[2] * xm : Vec3{});
        points.push_back(bp);
    }
    return points;
}

}  // namespace tarvsolv
