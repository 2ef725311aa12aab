#pragma once
// Closed forms the solver's results are checked against, shared by the solver's tests and the
// end-to-end checks: cantilevers and columns of a rectangular section, and slabs and bars in
// conduction.
#include <cmath>
#include <numbers>

namespace tarvsolv::testing {

// The tip deflection of a cantilever per unit tip force bending across `height`, with shear
// deformation (Timoshenko, k = 5/6).
inline double tipCompliance(double length, double width, double height, double e, double nu) {
    const double inertia = width * height * height * height / 12, g = e / (2 * (1 + nu));
    return std::pow(length, 3) / (3 * e * inertia) + length / (5.0 / 6 * g * width * height);
}

// A bending frequency (Hz) of a cantilever, `beta` the root of the mode, bending across `depth`:
// Euler-Bernoulli corrected for shear and rotary inertia; rho in kg/mm3.
inline double cantileverFrequency(double length, double depth, double breadth, double e, double nu,
                                  double rho, double beta) {
    const double g = e / (2 * (1 + nu));
    const double massPerLength = rho * 1e-3 * depth * breadth;  // kg/mm3 -> N s2/mm4, times the area
    const double euler =
        beta * beta / (2 * std::numbers::pi) *
        std::sqrt(e * breadth * std::pow(depth, 3) / 12 / (massPerLength * std::pow(length, 4)));
    return euler / std::sqrt(1 + std::pow(beta / length, 2) * depth * depth / 12 * (1 + e / (5.0 / 6 * g)));
}

// Euler's load of a column of an effective length bending across `depth`, with Timoshenko's shear
// correction (k = 5/6).
inline double criticalLoad(double effectiveLength, double depth, double breadth, double e, double nu) {
    const double pi = std::numbers::pi;
    const double euler =
        pi * pi * e * breadth * std::pow(depth, 3) / 12 / (effectiveLength * effectiveLength);
    const double shear = 5.0 / 6 * e / (2 * (1 + nu)) * breadth * depth;
    return euler / (1 + euler / shear);
}

// A slab of thickness `length` from 0 to 1 at t = 0, its face x = 0 held at 1 from then on,
// insulated at x = `length`: the temperature rise at depth x after time t (the series solution).
inline double slabRise(double x, double t, double length, double diffusivity) {
    double theta = 0;
    for (int n = 0; n < 200; ++n) {
        const double m = (2 * n + 1) * std::numbers::pi / (2 * length);
        theta += 4 / ((2 * n + 1) * std::numbers::pi) * std::sin(m * x) * std::exp(-m * m * diffusivity * t);
    }
    return 1 - theta;
}

// A bar of `length` from 0 whose end x = 0 is held at 1 from t = 0 and whose other end stays at 0:
// its mean temperature after time t (Carslaw and Jaeger, Conduction of Heat in Solids, 3.3; the
// sine series integrated over the length), 1/2 - sum over odd n of 4 / (n pi)^2 exp(-(n pi / L)^2 a t).
inline double heldEndsMeanRise(double t, double length, double diffusivity) {
    double mean = 0.5;
    for (int n = 1; n < 200; n += 2) {
        const double npi = n * std::numbers::pi;
        mean -= 4 / (npi * npi) * std::exp(-npi * npi * diffusivity * t / (length * length));
    }
    return mean;
}

// The steady temperature at x of a slab of `thickness` heated by the flux q at x = 0 and cooled at
// the far face by a fluid at `fluid` through h, its conductivity k0 (1 + b T): the Kirchhoff
// transform theta = T + b T^2 / 2 is linear through it, theta(x) = theta(TL) + q (L - x) / k0 with
// TL = fluid + q / h at the cooled face.
inline double kirchhoffSlab(double x, double thickness, double k0, double b, double q, double h,
                            double fluid) {
    const double tl = fluid + q / h;
    const double theta = tl + b * tl * tl / 2 + q * (thickness - x) / k0;
    return (std::sqrt(1 + 2 * b * theta) - 1) / b;
}

}  // namespace tarvsolv::testing
