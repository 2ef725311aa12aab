#include "physics/gas_reconstruction.h"

#include <algorithm>
#include <cmath>

namespace tarvsolv {

std::array<double, kGasFields> asArray(const GasPrimitive& w) {
    return {w.rho, w.u.x, w.u.y, w.u.z, w.p};
}

GasPrimitive fromArray(const std::array<double, kGasFields>& a) {
    return {a[0], {a[1], a[2], a[3]}, a[4]};
}

namespace {

// The inverse of the symmetric 3x3 matrix (xx, yy, zz, xy, yz, xz), same layout; 0 if singular.
std::array<double, 6> symmetricInverse(const std::array<double, 6>& m) {
    const double a = m[0], b = m[1], c = m[2], d = m[3], e = m[4], f = m[5];
    const double c00 = b * c - e * e, c01 = f * e - d * c, c02 = d * e - b * f;
    const double det = a * c00 + d * c01 + f * c02;
    if (std::abs(det) < 1e-300) return {};
    const double s = 1 / det;
    return {c00 * s, (a * c - f * f) * s, (a * b - d * d) * s, c01 * s, (d * f - a * e) * s, c02 * s};
}

Vec3 times(const std::array<double, 6>& m, const Vec3& v) {
    return {m[0] * v.x + m[3] * v.y + m[5] * v.z, m[3] * v.x + m[1] * v.y + m[4] * v.z,
            m[5] * v.x + m[4] * v.y + m[2] * v.z};
}

// Venkatakrishnan's limiter of one extrapolation `d2` against the neighbourhood's bound `d1`.
double venkatakrishnan(double d1, double d2, double eps2) {
    if (d2 == 0) return 1;
    const double num = (d1 * d1 + eps2) * d2 + 2 * d2 * d2 * d1;
    const double den = d1 * d1 + 2 * d2 * d2 + d1 * d2 + eps2;
    return std::clamp(num / (den * d2), 0.0, 1.0);
}

}  // namespace

GasReconstruction::GasReconstruction(const DualMesh& dual, double k) : dual_(dual), k_(k) {
    const int n = dual.vertexCount();
    std::vector<std::array<double, 6>> moments(n, std::array<double, 6>{});
    neighbours_.assign(n, {});
    const auto add = [&](int i, const Vec3& d) {
        const double w = 1 / dot(d, d);  // inverse-distance weights: near neighbours count most
        auto& m = moments[i];
        m[0] += w * d.x * d.x, m[1] += w * d.y * d.y, m[2] += w * d.z * d.z;
        m[3] += w * d.x * d.y, m[4] += w * d.y * d.z, m[5] += w * d.x * d.z;
    };
    for (const DualEdge& e : dual.edges) {
        const Vec3 d = dual.position[e.b] - dual.position[e.a];
        add(e.a, d), add(e.b, d);
        neighbours_[e.a].push_back(e.b), neighbours_[e.b].push_back(e.a);
    }
    inverse_.resize(n);
    for (int i = 0; i < n; ++i) inverse_[i] = symmetricInverse(moments[i]);
    // The limiter's threshold is made dimensionless by the model's size, so that it acts alike in
    // every unit system: (K h / L)^3 with h the control volume's cube root and L the bounding box's
    // diagonal, times the square of each field's range.
    Vec3 lo = dual.position.empty() ? Vec3{} : dual.position[0], hi = lo;
    for (const Vec3& p : dual.position)
        for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], p[a]), hi[a] = std::max(hi[a], p[a]);
    const double size = std::max(norm(hi - lo), 1e-300);
    epsilon2_.resize(n);
    for (int i = 0; i < n; ++i) epsilon2_[i] = std::pow(k_ * std::cbrt(dual.volume[i]) / size, 3);
}

void GasReconstruction::restrictTo(const std::vector<char>& needed) {
    needed_ = needed;
    edges_.clear();
    for (std::size_t k = 0; k < dual_.edges.size() && !needed_.empty(); ++k)
        if (needed_[dual_.edges[k].a] || needed_[dual_.edges[k].b]) edges_.push_back(k);
}

std::vector<Vec3> GasReconstruction::gradients(const std::vector<double>& values, int width) const {
    const int n = dual_.vertexCount();
    std::vector<Vec3> rhs(static_cast<std::size_t>(n) * width);
    // The edges in ascending order either way, so that each vertex sums its terms in one order.
    const std::size_t count = needed_.empty() ? dual_.edges.size() : edges_.size();
    for (std::size_t at = 0; at < count; ++at) {
        const DualEdge& e = dual_.edges[needed_.empty() ? at : edges_[at]];
        const Vec3 d = dual_.position[e.b] - dual_.position[e.a];
        const Vec3 wd = (1 / dot(d, d)) * d;
        for (int k = 0; k < width; ++k) {
            const double dv = values[static_cast<std::size_t>(e.b) * width + k] -
                              values[static_cast<std::size_t>(e.a) * width + k];
            Vec3& ra = rhs[static_cast<std::size_t>(e.a) * width + k];
            Vec3& rb = rhs[static_cast<std::size_t>(e.b) * width + k];
            ra = ra + dv * wd;
            rb = rb + dv * wd;  // from b, both the offset and the difference change sign
        }
    }
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < width && (needed_.empty() || needed_[i]); ++k) {
            Vec3& g = rhs[static_cast<std::size_t>(i) * width + k];
            g = times(inverse_[i], g);
        }
    return rhs;
}

std::vector<GasGradient> GasReconstruction::limitedGradients(const std::vector<GasPrimitive>& w) const {
    const int n = dual_.vertexCount();
    std::vector<double> values(static_cast<std::size_t>(n) * kGasFields);
    for (int i = 0; i < n; ++i) {
        const auto a = asArray(w[i]);
        std::copy(a.begin(), a.end(), values.begin() + static_cast<std::ptrdiff_t>(i) * kGasFields);
    }
    const std::vector<Vec3> raw = gradients(values, kGasFields);
    std::vector<GasGradient> g(n);
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < kGasFields; ++k) g[i][k] = raw[static_cast<std::size_t>(i) * kGasFields + k];
    if (!frozen_ || limiter_.size() != static_cast<std::size_t>(n)) {
        std::array<double, kGasFields> lo{}, hi{};
        for (int k = 0; k < kGasFields; ++k) lo[k] = hi[k] = values[k];
        for (std::size_t v = 0; v < values.size(); ++v)
            lo[v % kGasFields] = std::min(lo[v % kGasFields], values[v]),
                   hi[v % kGasFields] = std::max(hi[v % kGasFields], values[v]);
        // Velocity components share one range: the speed's scale.
        double speed = 0;
        for (int k = 1; k <= 3; ++k) speed = std::max(speed, hi[k] - lo[k]);
        limiter_.assign(n, {});
        for (int i = 0; i < n; ++i) {
            if (!needed_.empty() && !needed_[i]) continue;
            if (shockSensorGamma_ > 0 && !nearShock(i, values)) {
                limiter_[i].fill(1.0);
                continue;
            }
            // Per field: the neighbourhood's bounds, and the largest extrapolations up and down to
            // the midpoints. The limiter of one extrapolation only falls as it grows against a fixed
            // bound, so these two extremes give the smallest over all the neighbours.
            const double* own = &values[static_cast<std::size_t>(i) * kGasFields];
            std::array<double, kGasFields> dmax{}, dmin{}, up{}, down{};
            for (int j : neighbours_[i]) {
                const double* other = &values[static_cast<std::size_t>(j) * kGasFields];
                const Vec3 half = 0.5 * (dual_.position[j] - dual_.position[i]);
                for (int k = 0; k < kGasFields; ++k) {
                    const double d = other[k] - own[k], d2 = dot(g[i][k], half);
                    dmax[k] = std::max(dmax[k], d), dmin[k] = std::min(dmin[k], d);
                    up[k] = std::max(up[k], d2), down[k] = std::min(down[k], d2);
                }
            }
            for (int k = 0; k < kGasFields; ++k) {
                const double range = k >= 1 && k <= 3 ? speed : hi[k] - lo[k];
                const double eps2 = epsilon2_[i] * range * range + 1e-300;
                limiter_[i][k] =
                    std::min(venkatakrishnan(dmax[k], up[k], eps2), venkatakrishnan(dmin[k], down[k], eps2));
            }
        }
    }
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < kGasFields; ++k) g[i][k] = limiter_[i][k] * g[i][k];
    return g;
}

bool GasReconstruction::nearShock(int vertex, const std::vector<double>& values) const {
    double lowest = values[static_cast<std::size_t>(vertex) * kGasFields + 4], highest = lowest;
    const auto fast = [&](int v) {
        const double* w = &values[static_cast<std::size_t>(v) * kGasFields];
        const double p = w[4];
        lowest = std::min(lowest, p), highest = std::max(highest, p);
        const double speed2 = w[1] * w[1] + w[2] * w[2] + w[3] * w[3];
        return speed2 * w[0] > kSmoothMach * kSmoothMach * shockSensorGamma_ * p;
    };
    if (fast(vertex)) return true;
    for (int j : neighbours_[static_cast<std::size_t>(vertex)])
        if (fast(j)) return true;
    return highest > kSmoothPressureRatio * lowest;
}

std::pair<GasPrimitive, GasPrimitive> GasReconstruction::edgeStates(const DualEdge& edge,
                                                                    const std::vector<GasPrimitive>& w,
                                                                    const std::vector<GasGradient>& g) const {
    const Vec3 half = 0.5 * (dual_.position[edge.b] - dual_.position[edge.a]);
    std::array<double, kGasFields> left = asArray(w[edge.a]), right = asArray(w[edge.b]);
    for (int k = 0; k < kGasFields; ++k) {
        left[k] += dot(g[edge.a][k], half);
        right[k] -= dot(g[edge.b][k], half);
    }
    const GasPrimitive l = fromArray(left), r = fromArray(right);
    if (!IdealGas::admissible(l) || !IdealGas::admissible(r)) return {w[edge.a], w[edge.b]};
    return {l, r};
}

}  // namespace tarvsolv
