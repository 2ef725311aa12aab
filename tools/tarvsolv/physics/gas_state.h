#pragma once
// The state of an ideal gas at a point: the conserved variables the finite-volume scheme carries
// (density, momentum, total energy per volume, in that order, five per vertex in the solution
// vector) and the primitive ones (density, velocity, pressure) its fluxes and boundaries use.
// Everything is in the run's consistent units; temperatures are absolute.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "fem/vec3.h"

namespace tarvsolv {

inline constexpr int kGasFields = 5;  // rho, rho u, rho v, rho w, rho E
using GasConserved = std::array<double, kGasFields>;

// The conserved state of vertex `v` in a solution of five values a vertex, interleaved.
inline GasConserved conservedAt(const double* U, std::size_t v) {
    GasConserved q;
    std::copy_n(U + kGasFields * v, kGasFields, q.begin());
    return q;
}
inline GasConserved conservedAt(const std::vector<double>& U, std::size_t v) {
    return conservedAt(U.data(), v);
}

struct GasPrimitive {
    double rho = 0;
    Vec3 u;
    double p = 0;
};

struct IdealGas {
    double gamma = 1.4;  // ratio of specific heats
    double R = 0;        // gas constant (consistent units: length^2 / (s^2 K))
    double mu = 0;       // dynamic viscosity; 0: inviscid (Euler)
    double k = 0;        // conductivity (consistent units)

    double cv() const { return R / (gamma - 1); }
    double cp() const { return gamma * R / (gamma - 1); }
    bool viscous() const { return mu > 0; }

    GasPrimitive primitive(const GasConserved& q) const {
        GasPrimitive w;
        w.rho = q[0];
        w.u = {q[1] / q[0], q[2] / q[0], q[3] / q[0]};
        w.p = (gamma - 1) * (q[4] - 0.5 * q[0] * dot(w.u, w.u));
        return w;
    }
    GasConserved conserved(const GasPrimitive& w) const {
        return {w.rho, w.rho * w.u.x, w.rho * w.u.y, w.rho * w.u.z,
                w.p / (gamma - 1) + 0.5 * w.rho * dot(w.u, w.u)};
    }
    double soundSpeed(const GasPrimitive& w) const { return std::sqrt(gamma * w.p / w.rho); }
    double temperature(const GasPrimitive& w) const { return w.p / (w.rho * R); }
    double mach(const GasPrimitive& w) const { return norm(w.u) / soundSpeed(w); }
    // The state of density from p = rho R T.
    GasPrimitive fromPressureTemperature(double p, double T, Vec3 u) const { return {p / (R * T), u, p}; }
    // Physically admissible: density and pressure above 0, every value finite.
    static bool admissible(const GasPrimitive& w) {
        return std::isfinite(w.rho) && std::isfinite(w.p) && std::isfinite(w.u.x) && std::isfinite(w.u.y) &&
               std::isfinite(w.u.z) && w.rho > 0 && w.p > 0;
    }
};

}  // namespace tarvsolv
