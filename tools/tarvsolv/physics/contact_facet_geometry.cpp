#include "physics/contact_facet_geometry.h"

#include <algorithm>
#include <cmath>

namespace tarvsolv {
namespace {

void keepInTriangle(double& xi, double& eta) {
    xi = std::max(0.0, xi);
    eta = std::max(0.0, eta);
    if (xi + eta > 1) {
        const double s = xi + eta;
        xi /= s;
        eta /= s;
    }
}

}  // namespace

Vec3 Placement::operator()(int node) const {
    const Vec3 x = mesh.node(node);
    if (!u) return x;
    const std::size_t k = 3 * static_cast<std::size_t>(node);
    return {x.x + (*u)[k], x.y + (*u)[k + 1], x.z + (*u)[k + 2]};
}

SurfacePoint surfaceAt(const Placement& at, const std::vector<int>& nodes, double xi, double eta) {
    SurfacePoint p;
    p.shape = triShape(static_cast<int>(nodes.size()), xi, eta);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const Vec3 x = at(nodes[i]);
        p.x = p.x + p.shape.n[i] * x;
        p.dr = p.dr + p.shape.dxi[i][0] * x;
        p.ds = p.ds + p.shape.dxi[i][1] * x;
    }
    return p;
}

std::array<double, 2> nearestOnFacet(const Placement& at, const std::vector<int>& nodes, const Vec3& x) {
    double xi = 1.0 / 3, eta = 1.0 / 3;
    for (int it = 0; it < 8; ++it) {
        const SurfacePoint p = surfaceAt(at, nodes, xi, eta);
        const Vec3 r = x - p.x;
        const double a = dot(p.dr, p.dr), b = dot(p.dr, p.ds), c = dot(p.ds, p.ds);
        const double det = a * c - b * b;
        if (!(det > 0)) break;
        const double g1 = dot(p.dr, r), g2 = dot(p.ds, r);
        const double dxi = (c * g1 - b * g2) / det, deta = (a * g2 - b * g1) / det;
        xi += dxi;
        eta += deta;
        keepInTriangle(xi, eta);
        if (std::abs(dxi) + std::abs(deta) < 1e-12) break;
    }
    return {xi, eta};
}

}  // namespace tarvsolv
