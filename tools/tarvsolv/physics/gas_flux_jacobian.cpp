#include "physics/gas_flux_jacobian.h"

#include <algorithm>
#include <cmath>

namespace tarvsolv {
namespace {

constexpr int kN = kGasFields;

double& at(GasBlock& m, int i, int j) {
    return m[static_cast<std::size_t>(i * kN + j)];
}

// d p / d U of p = (gamma - 1) (rho E - |rho u|^2 / (2 rho)).
std::array<double, kGasFields> pressureGradient(const IdealGas& gas, const GasConserved& U) {
    const double g1 = gas.gamma - 1;
    const Vec3 u{U[1] / U[0], U[2] / U[0], U[3] / U[0]};
    return {0.5 * g1 * dot(u, u), -g1 * u.x, -g1 * u.y, -g1 * u.z, g1};
}

}  // namespace

GasConserved eulerFlux(const IdealGas& gas, const GasConserved& U, Vec3 n) {
    const GasPrimitive w = gas.primitive(U);
    const double un = dot(w.u, n);
    return {U[0] * un, U[1] * un + w.p * n.x, U[2] * un + w.p * n.y, U[3] * un + w.p * n.z,
            (U[4] + w.p) * un};
}

GasBlock eulerFluxJacobian(const IdealGas& gas, const GasConserved& U, Vec3 n) {
    const GasPrimitive w = gas.primitive(U);
    const double g1 = gas.gamma - 1, un = dot(w.u, n);
    const double phi = 0.5 * g1 * dot(w.u, w.u);  // d p / d rho
    const double H = (U[4] + w.p) / U[0];         // total enthalpy
    GasBlock m{};
    for (int j = 0; j < 3; ++j) at(m, 0, 1 + j) = n[j];
    for (int i = 0; i < 3; ++i) {
        at(m, 1 + i, 0) = phi * n[i] - w.u[i] * un;
        for (int j = 0; j < 3; ++j) at(m, 1 + i, 1 + j) = w.u[i] * n[j] - g1 * n[i] * w.u[j];
        at(m, 1 + i, 1 + i) += un;
        at(m, 1 + i, 4) = g1 * n[i];
    }
    at(m, 4, 0) = un * (phi - H);
    for (int j = 0; j < 3; ++j) at(m, 4, 1 + j) = H * n[j] - g1 * un * w.u[j];
    at(m, 4, 4) = gas.gamma * un;
    return m;
}

double spectralRadius(const IdealGas& gas, const GasConserved& U, Vec3 n) {
    const GasPrimitive w = gas.primitive(U);
    return std::abs(dot(w.u, n)) + gas.soundSpeed(w) * norm(n);
}

RusanovJacobians rusanovJacobians(const IdealGas& gas, const GasConserved& a, const GasConserved& b, Vec3 n) {
    RusanovJacobians j{eulerFluxJacobian(gas, a, n), eulerFluxJacobian(gas, b, n)};
    const double lambda = std::max(spectralRadius(gas, a, n), spectralRadius(gas, b, n));
    for (double& v : j.a) v *= 0.5;
    for (double& v : j.b) v *= 0.5;
    for (int k = 0; k < kN; ++k) {
        at(j.a, k, k) += 0.5 * lambda;
        at(j.b, k, k) -= 0.5 * lambda;
    }
    return j;
}

GasConserved wallFlux(const IdealGas& gas, const GasConserved& U, Vec3 n) {
    const double p = gas.primitive(U).p;
    return {0, p * n.x, p * n.y, p * n.z, 0};
}

GasBlock wallFluxJacobian(const IdealGas& gas, const GasConserved& U, Vec3 n) {
    const auto dp = pressureGradient(gas, U);
    GasBlock m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < kN; ++j) at(m, 1 + i, j) = n[i] * dp[j];
    return m;
}

}  // namespace tarvsolv
