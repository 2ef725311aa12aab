#include "physics/gas_flux.h"

#include <algorithm>

namespace tarvsolv {

GasConserved eulerFlux(const IdealGas& gas, const GasPrimitive& w, const Vec3& n) {
    const double un = dot(w.u, n);
    const double energy = w.p / (gas.gamma - 1) + 0.5 * w.rho * dot(w.u, w.u);
    return {w.rho * un, w.rho * w.u.x * un + w.p * n.x, w.rho * w.u.y * un + w.p * n.y,
            w.rho * w.u.z * un + w.p * n.z, (energy + w.p) * un};
}

GasConserved wallFlux(const GasPrimitive& w, const Vec3& n) {
    return {0, w.p * n.x, w.p * n.y, w.p * n.z, 0};
}

namespace {

// The star state of side K (left or right) along the unit normal `e`: Toro's (10.39) in three
// dimensions, the tangential velocity carried over.
GasConserved starState(const IdealGas& gas, const GasPrimitive& w, const Vec3& e, double s, double star) {
    const double un = dot(w.u, e);
    const double factor = w.rho * (s - un) / (s - star);
    const double energy = w.p / (gas.gamma - 1) + 0.5 * w.rho * dot(w.u, w.u);
    const Vec3 u = w.u + (star - un) * e;
    return {factor, factor * u.x, factor * u.y, factor * u.z,
            factor * (energy / w.rho + (star - un) * (star + w.p / (w.rho * (s - un))))};
}

}  // namespace

GasConserved hllcFlux(const IdealGas& gas, const GasPrimitive& left, const GasPrimitive& right,
                      const Vec3& n) {
    const double area = norm(n);
    if (area == 0) return {};
    const Vec3 e = (1 / area) * n;
    const double uL = dot(left.u, e), uR = dot(right.u, e);
    const double cL = gas.soundSpeed(left), cR = gas.soundSpeed(right);
    // Roe averages for Einfeldt's bounds.
    const double sqL = std::sqrt(left.rho), sqR = std::sqrt(right.rho);
    const double hL = (gas.gamma / (gas.gamma - 1)) * left.p / left.rho + 0.5 * dot(left.u, left.u);
    const double hR = (gas.gamma / (gas.gamma - 1)) * right.p / right.rho + 0.5 * dot(right.u, right.u);
    const Vec3 uRoe = (1 / (sqL + sqR)) * (sqL * left.u + sqR * right.u);
    const double hRoe = (sqL * hL + sqR * hR) / (sqL + sqR);
    const double cRoe = std::sqrt(std::max((gas.gamma - 1) * (hRoe - 0.5 * dot(uRoe, uRoe)), 0.0));
    const double unRoe = dot(uRoe, e);
    const double sL = std::min({uL - cL, uR - cR, unRoe - cRoe});
    const double sR = std::max({uL + cL, uR + cR, unRoe + cRoe});

    // Only the upwind side's physical flux is needed: each branch takes its own.
    GasConserved f{};
    if (sL >= 0) {
        f = eulerFlux(gas, left, e);
    } else if (sR <= 0) {
        f = eulerFlux(gas, right, e);
    } else {
        const double star = (right.p - left.p + left.rho * uL * (sL - uL) - right.rho * uR * (sR - uR)) /
                            (left.rho * (sL - uL) - right.rho * (sR - uR));
        const bool leftSide = star >= 0;
        const GasPrimitive& w = leftSide ? left : right;
        const double s = leftSide ? sL : sR;
        const GasConserved q = gas.conserved(w), qs = starState(gas, w, e, s, star);
        const GasConserved fk = eulerFlux(gas, w, e);
        for (int k = 0; k < kGasFields; ++k) f[k] = fk[k] + s * (qs[k] - q[k]);
    }
    for (double& v : f) v *= area;
    return f;
}

}  // namespace tarvsolv
