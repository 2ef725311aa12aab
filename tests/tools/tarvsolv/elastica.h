#pragma once
// The tip of a cantilever under a large tip force of fixed direction across it, from the
// elastica, for the unit tests and the end-to-end checker.
#include <array>
#include <cmath>

namespace tarvsolv::testing {

struct ElasticaTip {
    double shortening = 0, deflection = 0;  // along and across the unloaded beam, over its length
};

// Load parameter alpha = P L^2 / EI: theta'' = -alpha cos(theta) along the unit length, with
// theta(0) = 0 and theta'(1) = 0, by shooting on theta'(0) (bisection) with fourth-order
// Runge-Kutta steps.
inline ElasticaTip elasticaTip(double alpha) {
    constexpr int kSteps = 2000;
    // theta'(1) for a root curvature, which rises with it; `tip` receives the tip's position.
    auto shoot = [alpha](double rootCurvature, ElasticaTip& tip) {
        // State (theta, theta', x, y)' = (theta', -alpha cos theta, cos theta, sin theta).
        auto rate = [alpha](const std::array<double, 4>& s) {
            return std::array<double, 4>{s[1], -alpha * std::cos(s[0]), std::cos(s[0]), std::sin(s[0])};
        };
        std::array<double, 4> s{0, rootCurvature, 0, 0};
        const double h = 1.0 / kSteps;
        auto along = [&](const std::array<double, 4>& k, double f) {
            std::array<double, 4> out = s;
            for (int c = 0; c < 4; ++c) out[c] += f * k[c];
            return out;
        };
        for (int i = 0; i < kSteps; ++i) {
            const auto k1 = rate(s), k2 = rate(along(k1, h / 2)), k3 = rate(along(k2, h / 2)),
                       k4 = rate(along(k3, h));
            for (int c = 0; c < 4; ++c) s[c] += h / 6 * (k1[c] + 2 * k2[c] + 2 * k3[c] + k4[c]);
        }
        tip = {1 - s[2], s[3]};
        return s[1];
    };
    double lo = 0, hi = alpha;  // theta'(1) < 0 at no root curvature, >= 0 at alpha
    ElasticaTip tip;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (shoot(mid, tip) > 0 ? hi : lo) = mid;
    }
    shoot(lo, tip);
    return tip;
}

}  // namespace tarvsolv::testing
