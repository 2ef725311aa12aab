#pragma once
// Closed forms of the dynamics of an ideal gas the gas solver's results are checked against,
// shared by the solver's tests and the end-to-end checks: the exact solution of a shock tube
// (the Riemann problem), isentropic flow through a nozzle and the normal shock that stands in it,
// and the oblique shock of a wedge.
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace tarvsolv::testing {

struct GasPoint {
    double rho = 0, u = 0, p = 0;
};

// The root of the increasing or decreasing `f` between `lo` and `hi` (f(lo) and f(hi) of
// opposite signs), by bisection to the last bits.
inline double bisect(const std::function<double(double)>& f, double lo, double hi) {
    const bool rising = f(hi) > f(lo);
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        ((f(mid) > 0) == rising ? hi : lo) = mid;
    }
    return 0.5 * (lo + hi);
}

// The exact solution of the Riemann problem between the states `left` and `right` (Toro, Riemann
// Solvers and Numerical Methods for Fluid Dynamics, chapter 4): the star region's pressure and
// velocity, the densities on each side of the contact, and the state at x/t = `s`. Both waves may
// be shocks or rarefactions; a vacuum is not formed by the states tested here.
class ExactRiemann {
  public:
    ExactRiemann(GasPoint left, GasPoint right, double gamma) : l_(left), r_(right), g_(gamma) {
        cl_ = std::sqrt(g_ * l_.p / l_.rho);
        cr_ = std::sqrt(g_ * r_.p / r_.rho);
        const auto balance = [&](double p) { return side(p, l_, cl_) + side(p, r_, cr_) + r_.u - l_.u; };
        pStar_ = bisect(balance, 1e-12 * std::min(l_.p, r_.p), 100 * std::max(l_.p, r_.p));
        uStar_ = 0.5 * (l_.u + r_.u) + 0.5 * (side(pStar_, r_, cr_) - side(pStar_, l_, cl_));
        rhoStarL_ = starDensity(l_);
        rhoStarR_ = starDensity(r_);
    }

    double pStar() const { return pStar_; }
    double uStar() const { return uStar_; }
    double rhoStarLeft() const { return rhoStarL_; }
    double rhoStarRight() const { return rhoStarR_; }
    // Speeds of the contact and of the right-running shock (when the right wave is one).
    double contactSpeed() const { return uStar_; }
    double rightShockSpeed() const {
        return r_.u + cr_ * std::sqrt((g_ + 1) / (2 * g_) * pStar_ / r_.p + (g_ - 1) / (2 * g_));
    }
    // The head and tail speeds of the left-running rarefaction (when the left wave is one).
    double leftHeadSpeed() const { return l_.u - cl_; }
    double leftTailSpeed() const { return uStar_ - cl_ * std::pow(pStar_ / l_.p, (g_ - 1) / (2 * g_)); }

    GasPoint at(double s) const {
        if (s <= uStar_) return leftSide(s);
        return rightSide(s);
    }

  private:
    // f_K(p) of the pressure function: the velocity change across the wave on side K.
    double side(double p, const GasPoint& k, double c) const {
        if (p > k.p) {
            const double a = 2 / ((g_ + 1) * k.rho), b = (g_ - 1) / (g_ + 1) * k.p;
            return (p - k.p) * std::sqrt(a / (p + b));
        }
        return 2 * c / (g_ - 1) * (std::pow(p / k.p, (g_ - 1) / (2 * g_)) - 1);
    }
    double starDensity(const GasPoint& k) const {
        const double ratio = pStar_ / k.p, m = (g_ - 1) / (g_ + 1);
        if (pStar_ > k.p) return k.rho * (ratio + m) / (m * ratio + 1);
        return k.rho * std::pow(ratio, 1 / g_);
    }
    GasPoint leftSide(double s) const {
        if (pStar_ > l_.p) {
            const double shock =
                l_.u - cl_ * std::sqrt((g_ + 1) / (2 * g_) * pStar_ / l_.p + (g_ - 1) / (2 * g_));
            return s < shock ? l_ : GasPoint{rhoStarL_, uStar_, pStar_};
        }
        if (s < leftHeadSpeed()) return l_;
        if (s > leftTailSpeed()) return {rhoStarL_, uStar_, pStar_};
        const double q = 2 / (g_ + 1) + (g_ - 1) / ((g_ + 1) * cl_) * (l_.u - s);
        return {l_.rho * std::pow(q, 2 / (g_ - 1)), 2 / (g_ + 1) * (cl_ + (g_ - 1) / 2 * l_.u + s),
                l_.p * std::pow(q, 2 * g_ / (g_ - 1))};
    }
    GasPoint rightSide(double s) const {
        if (pStar_ > r_.p) return s > rightShockSpeed() ? r_ : GasPoint{rhoStarR_, uStar_, pStar_};
        const double head = r_.u + cr_;
        const double tail = uStar_ + cr_ * std::pow(pStar_ / r_.p, (g_ - 1) / (2 * g_));
        if (s > head) return r_;
        if (s < tail) return {rhoStarR_, uStar_, pStar_};
        const double q = 2 / (g_ + 1) - (g_ - 1) / ((g_ + 1) * cr_) * (r_.u - s);
        return {r_.rho * std::pow(q, 2 / (g_ - 1)), 2 / (g_ + 1) * (-cr_ + (g_ - 1) / 2 * r_.u + s),
                r_.p * std::pow(q, 2 * g_ / (g_ - 1))};
    }

    GasPoint l_, r_;
    double g_, cl_ = 0, cr_ = 0, pStar_ = 0, uStar_ = 0, rhoStarL_ = 0, rhoStarR_ = 0;
};

// Isentropic flow: the ratio of a section's area to the sonic area at Mach number m.
inline double areaRatio(double m, double gamma) {
    const double e = (gamma + 1) / (2 * (gamma - 1));
    return std::pow(2 / (gamma + 1) * (1 + (gamma - 1) / 2 * m * m), e) / m;
}
// The Mach number of area ratio `ratio` (at least 1) on the subsonic or the supersonic branch.
inline double machOfAreaRatio(double ratio, double gamma, bool supersonic) {
    const auto f = [&](double m) { return areaRatio(m, gamma) - ratio; };
    return supersonic ? bisect(f, 1.0, 50.0) : bisect(f, 1e-9, 1.0);
}
// Static over total pressure and temperature at Mach number m.
inline double pressureRatio(double m, double gamma) {
    return std::pow(1 + (gamma - 1) / 2 * m * m, -gamma / (gamma - 1));
}
inline double temperatureRatio(double m, double gamma) {
    return 1 / (1 + (gamma - 1) / 2 * m * m);
}
// The Mach number of a static over total pressure ratio (at most 1), the inverse of pressureRatio.
inline double machOfPressureRatio(double ratio, double gamma) {
    return std::sqrt(2 / (gamma - 1) * (std::pow(ratio, -(gamma - 1) / gamma) - 1));
}

// A normal shock at upstream Mach number m1: the downstream Mach number, and the ratios of static
// and of total pressure across it.
struct NormalShock {
    double m2 = 0, staticRatio = 0, totalRatio = 0;
};
inline NormalShock normalShock(double m1, double gamma) {
    const double m1s = m1 * m1;
    NormalShock s;
    s.m2 = std::sqrt((1 + (gamma - 1) / 2 * m1s) / (gamma * m1s - (gamma - 1) / 2));
    s.staticRatio = 1 + 2 * gamma / (gamma + 1) * (m1s - 1);
    s.totalRatio = std::pow((gamma + 1) * m1s / ((gamma - 1) * m1s + 2), gamma / (gamma - 1)) *
                   std::pow((gamma + 1) / (2 * gamma * m1s - (gamma - 1)), 1 / (gamma - 1));
    return s;
}

// A nozzle whose throat is sonic, exit area `exitRatio` times the throat's: the exit's static
// over the inlet's total pressure with a normal shock at the section of area ratio `shockRatio`
// (1 .. exitRatio), subsonic after it.
inline double exitPressureWithShock(double shockRatio, double exitRatio, double gamma) {
    const NormalShock s = normalShock(machOfAreaRatio(shockRatio, gamma, true), gamma);
    // After the shock the total pressure falls by totalRatio and the sonic area grows by its inverse.
    const double exitMach = machOfAreaRatio(exitRatio * s.totalRatio, gamma, false);
    return s.totalRatio * pressureRatio(exitMach, gamma);
}
// The area ratio of the section the normal shock stands in for an exit pressure `exitOverTotal`
// between the two critical ones (shock at the throat, shock at the exit).
inline double shockAreaRatio(double exitOverTotal, double exitRatio, double gamma) {
    return bisect([&](double a) { return exitPressureWithShock(a, exitRatio, gamma) - exitOverTotal; },
                  1.0 + 1e-12, exitRatio);
}

// The weak oblique shock angle (radians) of a wedge of half-angle `theta` in a stream of Mach
// number m (the theta-beta-M relation); NaN when the shock detaches.
inline double obliqueShockAngle(double m, double theta, double gamma) {
    const auto deflection = [&](double beta) {
        const double s = m * m * std::sin(beta) * std::sin(beta);
        return std::atan(2 / std::tan(beta) * (s - 1) / (m * m * (gamma + std::cos(2 * beta)) + 2));
    };
    // The deflection rises from 0 at the Mach angle to its largest, then falls: find the largest.
    double lo = std::asin(1 / m), hi = std::numbers::pi / 2;
    for (int i = 0; i < 200; ++i) {
        const double a = lo + (hi - lo) / 3, b = hi - (hi - lo) / 3;
        if (deflection(a) < deflection(b))
            lo = a;
        else
            hi = b;
    }
    const double betaMax = 0.5 * (lo + hi);
    if (deflection(betaMax) < theta) return std::nan("");
    return bisect([&](double beta) { return deflection(beta) - theta; }, std::asin(1 / m), betaMax);
}

}  // namespace tarvsolv::testing
