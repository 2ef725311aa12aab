#include "formats/derived_stress.h"

#include <algorithm>
#include <cmath>

namespace results {
namespace {

// The solver's and the other views' value of pi; kept so that every view shows the same numbers.
constexpr double kPi = 3.14159;

struct Invariants {
    double p = 0;                   // mean stress
    double dx = 0, dy = 0, dz = 0;  // deviator
    double q = 0;                   // equivalent stress
};

Invariants invariants(const StressComponents& s) {
    Invariants v;
    v.p = (s.sx + s.sy + s.sz) / 3.0;
    v.dx = s.sx - v.p;
    v.dy = s.sy - v.p;
    v.dz = s.sz - v.p;
    const double j2 =
        0.5 * (v.dx * v.dx + v.dy * v.dy + v.dz * v.dz) + s.txy * s.txy + s.tyz * s.tyz + s.txz * s.txz;
    v.q = std::sqrt(3.0) * std::sqrt(j2);
    return v;
}

double withSignOf(double value, double sign) {
    if (sign > 0) return value;
    if (sign < 0) return -value;
    return 0.0;
}

}  // namespace

double vonMises(const StressComponents& s) {
    return invariants(s).q;
}

PrincipalStresses principalStresses(const StressComponents& s) {
    const Invariants v = invariants(s);
    const double j3 = v.dx * v.dy * v.dz - v.dx * s.tyz * s.tyz - v.dy * s.txz * s.txz -
                      v.dz * s.txy * s.txy + 2.0 * s.txy * s.tyz * s.txz;
    double theta = 0.0;
    if (v.q != 0.0) theta = std::asin(std::clamp(-13.5 * j3 / (v.q * v.q * v.q), -1.0, 1.0)) / 3.0;
    const double a = v.p + (2.0 * v.q / 3.0) * std::sin(theta - 2.0 * kPi / 3.0);
    const double b = v.p + (2.0 * v.q / 3.0) * std::sin(theta);
    const double c = 3.0 * v.p - a - b;
    double sorted[3] = {a, b, c};
    std::sort(sorted, sorted + 3, [](double x, double y) { return x > y; });
    return {sorted[0], sorted[1], sorted[2]};
}

double stressValue(const StressComponents& s, int item) {
    switch (item) {
        case kItemSigmaX:
            return s.sx;
        case kItemSigmaY:
            return s.sy;
        case kItemSigmaZ:
            return s.sz;
        case kItemTauXY:
            return s.txy;
        case kItemTauYZ:
            return s.tyz;
        case kItemTauXZ:
            return s.txz;
        case kItemVonMises:
            return vonMises(s);
        default:
            break;
    }
    if (item < kItemTresca || item > kItemMaxPrincipal) return 0.0;
    const PrincipalStresses ps = principalStresses(s);
    // The dominant principal stress: the one of larger magnitude, P1 on a tie.
    const double dominant = std::fabs(ps.p3) > std::fabs(ps.p1) ? ps.p3 : ps.p1;
    switch (item) {
        case kItemTresca:
            return ps.p1 - ps.p3;
        case kItemSignedVonMises:
            return withSignOf(vonMises(s), dominant);
        case kItemSignedTresca:
            return withSignOf(ps.p1 - ps.p3, dominant);
        case kItemPrincipal1:
            return ps.p1;
        case kItemPrincipal2:
            return ps.p2;
        case kItemPrincipal3:
            return ps.p3;
        default:
            return dominant;  // kItemMaxPrincipal
    }
}

}  // namespace results
