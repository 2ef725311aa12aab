#include "fem/element_kernels.h"

#include <cmath>
#include <stdexcept>

#include "fem/quadrature.h"

namespace tarvsolv {
namespace {

struct Lame {
    double lambda, mu;
};

Lame lame(const IsotropicElastic& m) {
    const double nu = m.poisson;
    return {m.young * nu / ((1 + nu) * (1 - 2 * nu)), m.young / (2 * (1 + nu))};
}

// Degree of the rule for stiffness-like integrands (gradient times gradient).
int stiffnessDegree(const FeMesh& mesh) {
    return mesh.nodesPerElement == 4 ? 1 : 2;
}
// Degree for shape-times-shape and load integrands.
int massDegree(const FeMesh& mesh) {
    return mesh.nodesPerElement == 4 ? 2 : 5;
}

Vec3 elementCentroid(const FeMesh& mesh, int element) {
    const auto nodes = mesh.elementNodes(element);
    Vec3 c;
    for (int k = 0; k < 4; ++k) c = c + mesh.node(nodes[k]);
    return 0.25 * c;
}

}  // namespace

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

void elasticStiffness(const FeMesh& mesh, int element, const IsotropicElastic& m, std::vector<double>& ke) {
    const int p = mesh.nodesPerElement, n = 3 * p;
    ke.assign(static_cast<std::size_t>(n) * n, 0.0);
    const Lame l = lame(m);
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

void thermalLoad(const FeMesh& mesh, int element, const IsotropicElastic& m, std::span<const double> dT,
                 std::vector<double>& fe) {
    const int p = mesh.nodesPerElement;
    fe.assign(3 * p, 0.0);
    const Lame l = lame(m);
    const double bulk3 = 3 * l.lambda + 2 * l.mu;
    for (const VolumePoint& g : volumePoints(mesh, element, massDegree(mesh))) {
        double t = 0;
        for (int i = 0; i < p; ++i) t += g.n[i] * dT[i];
        const double s = g.weight * bulk3 * m.expansion * t;
        for (int i = 0; i < p; ++i)
            for (int a = 0; a < 3; ++a) fe[3 * i + a] += s * g.dx[i][a];
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

std::array<Stress6, 4> cornerStresses(const FeMesh& mesh, int element, const IsotropicElastic& m,
                                      std::span<const double> ue, std::span<const double> dT) {
    const int p = mesh.nodesPerElement;
    const Lame l = lame(m);
    std::array<Stress6, 4> out{};
    for (int c = 0; c < 4; ++c) {
        const VolumePoint g = volumePoint(mesh, element, kTetCorners[c]);
        double e[3][3] = {};  // displacement gradient du_a / dx_b
        for (int i = 0; i < p; ++i)
            for (int a = 0; a < 3; ++a)
                for (int b = 0; b < 3; ++b) e[a][b] += ue[3 * i + a] * g.dx[i][b];
        const double thermal = dT.empty() ? 0.0 : m.expansion * dT[c];
        const double volumetric = e[0][0] + e[1][1] + e[2][2] - 3 * thermal;
        Stress6& s = out[c];
        for (int a = 0; a < 3; ++a) s[a] = l.lambda * volumetric + 2 * l.mu * (e[a][a] - thermal);
        s[3] = l.mu * (e[0][1] + e[1][0]);
        s[4] = l.mu * (e[1][2] + e[2][1]);
        s[5] = l.mu * (e[0][2] + e[2][0]);
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
