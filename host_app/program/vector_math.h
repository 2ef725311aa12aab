#pragma once
// The few vector operations the view's camera and picker share, on host points.
#include <cmath>

#include "host/geometry.h"

namespace hostapp::vec {

using host::Point3;

inline double dot(const Point3& a, const Point3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Point3 cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// a + t b
inline Point3 plus(const Point3& a, const Point3& b, double t = 1.0) {
    return {a.x + t * b.x, a.y + t * b.y, a.z + t * b.z};
}
inline Point3 minus(const Point3& a, const Point3& b) {
    return plus(a, b, -1.0);
}
inline double length(const Point3& a) {
    return std::sqrt(dot(a, a));
}
// The point a fraction `t` of the way from `a` to `b`.
inline Point3 lerp(const Point3& a, const Point3& b, double t) {
    return plus(a, minus(b, a), t);
}
// `a` made unit length; a zero vector stays as it is.
inline Point3 unit(const Point3& a) {
    const double n = length(a);
    return n > 0 ? Point3{a.x / n, a.y / n, a.z / n} : a;
}

}  // namespace hostapp::vec
