#include "results/trackball.h"

#include <algorithm>
#include <cmath>

namespace results {

namespace {

using Vec3 = std::array<double, 3>;

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double length(const Vec3& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// Height of the point over the ball: on the sphere near the centre, on a hyperbolic sheet farther out
// so that drags beyond the ball still rotate smoothly.
double projectToBall(double x, double y) {
    const double d = std::sqrt(x * x + y * y);
    if (d < kTrackballRadius * std::sqrt(0.5)) return std::sqrt(kTrackballRadius * kTrackballRadius - d * d);
    const double t = kTrackballRadius / std::sqrt(2.0);
    return t * t / d;
}

Quaternion axisAngle(Vec3 axis, double angle) {
    const double n = length(axis);
    if (n > 0)
        for (double& c : axis) c /= n;
    const double s = std::sin(angle / 2);
    return {axis[0] * s, axis[1] * s, axis[2] * s, std::cos(angle / 2)};
}

Quaternion normalised(const Quaternion& q) {
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    if (n == 0) return {0, 0, 0, 1};
    return {q[0] / n, q[1] / n, q[2] / n, q[3] / n};
}

// q2 * q1: the rotation q1 followed by q2.
Quaternion compose(const Quaternion& q1, const Quaternion& q2) {
    const Vec3 v1{q1[0], q1[1], q1[2]}, v2{q2[0], q2[1], q2[2]};
    const Vec3 c = cross(v2, v1);
    Quaternion r;
    for (int i = 0; i < 3; ++i) r[i] = v1[i] * q2[3] + v2[i] * q1[3] + c[i];
    r[3] = q1[3] * q2[3] - (v1[0] * v2[0] + v1[1] * v2[1] + v1[2] * v2[2]);
    return r;
}

}  // namespace

Quaternion dragRotation(double x1, double y1, double x2, double y2) {
    if (x1 == x2 && y1 == y2) return {0, 0, 0, 1};
    const Vec3 p1{x1, y1, projectToBall(x1, y1)}, p2{x2, y2, projectToBall(x2, y2)};
    const Vec3 axis = cross(p1, p2);
    const Vec3 d{p1[0] - p2[0], p1[1] - p2[1], p1[2] - p2[2]};
    const double t = std::clamp(length(d) / (2.0 * kTrackballRadius), -1.0, 1.0);
    return axisAngle(axis, 2.0 * std::asin(t));
}

Matrix16 rotationMatrix(const Quaternion& q) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    return {1 - 2 * (y * y + z * z),
            2 * (x * y + z * w),
            2 * (z * x - y * w),
            0,
            2 * (x * y - z * w),
            1 - 2 * (z * z + x * x),
            2 * (y * z + x * w),
            0,
            2 * (z * x + y * w),
            2 * (y * z - x * w),
            1 - 2 * (y * y + x * x),
            0,
            0,
            0,
            0,
            1};
}

void Trackball::resize(int width, int height) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
}

void Trackball::drag(double fromX, double fromY, double toX, double toY) {
    auto nx = [this](double px) { return (2.0 * px - width_) / width_; };
    auto ny = [this](double py) { return (height_ - 2.0 * py) / height_; };
    add(dragRotation(nx(fromX), ny(fromY), nx(toX), ny(toY)));
}

void Trackball::add(const Quaternion& q) {
    rotation_ = compose(rotation_, q);
    if (++count_ >= kRenormaliseCount) {
        count_ = 0;
        rotation_ = normalised(rotation_);
    }
    matrix_ = rotationMatrix(rotation_);
}

}  // namespace results
