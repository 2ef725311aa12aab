#include "program/view_camera.h"

#include <algorithm>
#include <cmath>

#include "program/vector_math.h"

namespace hostapp {

namespace {

using host::Point3;

// A drag across this many pixels turns the model by one radian.
constexpr double kPixelsPerRadian = 200.0;

using namespace vec;

// `v` turned by `angle` about the unit axis `k` (Rodrigues).
Point3 turned(const Point3& v, const Point3& k, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    const Point3 kv = cross(k, v);
    const double kd = dot(k, v) * (1 - c);
    return {v.x * c + kv.x * s + k.x * kd, v.y * c + kv.y * s + k.y * kd, v.z * c + kv.z * s + k.z * kd};
}

}  // namespace

void ViewCamera::setAxes(const Point3& right, const Point3& up) {
    right_ = unit(right);
    up_ = unit(plus(up, right_, -dot(up, right_)));  // kept square to right through many turns
    toward_ = cross(right_, up_);
}

void ViewCamera::fit(const Point3& low, const Point3& high, int width, int height) {
    width_ = width;
    height_ = height;
    moved_ = false;
    pivot_ = {(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
    radius_ = std::sqrt(dot(plus(high, low, -1), plus(high, low, -1))) / 2;
    // The extent of the box's eight corners on the screen axes.
    double halfWidth = 0.0, halfHeight = 0.0;
    for (int i = 0; i < 8; ++i) {
        const Point3 corner{(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
        const Point3 d = plus(corner, pivot_, -1);
        halfWidth = std::max(halfWidth, std::abs(dot(d, right_)));
        halfHeight = std::max(halfHeight, std::abs(dot(d, up_)));
    }
    const double margin = 0.8;  // leaves room for the overlay labels around the part
    // A view too narrow for the windows over it (less than a third of it left free) is framed as if
    // they were not there.
    const double left = kAddOnStripWidth;
    const double right = width - coveredRight_ - left >= width / 3.0 ? width - coveredRight_ : width;
    const double freeWidth = std::max(right - left, width / 3.0);
    const double sx = halfWidth > 0 ? margin * freeWidth / (2 * halfWidth) : 1.0;
    const double sy = halfHeight > 0 ? margin * height / (2 * halfHeight) : 1.0;
    scale_ = std::min(sx, sy);
    if (!std::isfinite(scale_) || scale_ <= 0) scale_ = 1.0;
    // Moves the view so that the part's centre lands in the middle of the free area.
    const double freeMiddle = freeWidth == right - left ? (left + right) / 2 : width - freeWidth / 2;
    centre_ = plus(pivot_, right_, (width / 2.0 - freeMiddle) / scale_);
}

void ViewCamera::resize(int width, int height) {
    width_ = width;
    height_ = height;
}

void ViewCamera::setStandardView(StandardView view) {
    switch (view) {
        case StandardView::Iso:
            setAxes({-1, 1, 0}, {-1, -1, 2});
            break;
        case StandardView::Front:  // looking along +Y, Z up
            setAxes({1, 0, 0}, {0, 0, 1});
            break;
        case StandardView::Top:  // looking down -Z, Y up
            setAxes({1, 0, 0}, {0, 1, 0});
            break;
        case StandardView::Right:  // looking along -X, Z up
            setAxes({0, 1, 0}, {0, 0, 1});
            break;
    }
    moved_ = true;
}

void ViewCamera::rotate(double dx, double dy) {
    const ViewPoint before = project(pivot_);
    Point3 right = right_, up = up_;
    if (dx != 0) {
        right = turned(right, up_, -dx / kPixelsPerRadian);
    }
    if (dy != 0) {
        up = turned(up, right, -dy / kPixelsPerRadian);
    }
    setAxes(right, up);
    // The pivot keeps its pixel and sits at depth 0, so the depth range holds the whole model.
    const double a = (before.x - width_ / 2.0) / scale_, b = (height_ / 2.0 - before.y) / scale_;
    centre_ = plus(plus(pivot_, right_, -a), up_, -b);
    moved_ = true;
}

void ViewCamera::pan(double dx, double dy) {
    centre_ = plus(plus(centre_, right_, -dx / scale_), up_, dy / scale_);
    moved_ = true;
}

void ViewCamera::zoom(double factor, double x, double y) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    const Point3 fixed = rayAt(x, y).origin;
    scale_ *= factor;
    const ViewPoint now = project(fixed);
    pan(x - now.x, y - now.y);
}

ViewPoint ViewCamera::project(const Point3& p) const {
    const Point3 d = plus(p, centre_, -1);
    return {width_ / 2.0 + scale_ * dot(d, right_), height_ / 2.0 - scale_ * dot(d, up_), dot(d, toward_)};
}

ViewRay ViewCamera::rayAt(double x, double y) const {
    const Point3 onScreen =
        plus(plus(centre_, right_, (x - width_ / 2.0) / scale_), up_, (height_ / 2.0 - y) / scale_);
    return {plus(onScreen, toward_, 2 * radius_ + 1), {-toward_.x, -toward_.y, -toward_.z}};
}

Point3 ViewCamera::towardsViewer() const {
    return toward_;
}

render::Matrix4 ViewCamera::viewMatrix() const {
    // Columns: the screen's right, its up, and the depth away from the viewer.
    const Point3 axes[3] = {right_, up_, {-toward_.x, -toward_.y, -toward_.z}};
    render::Matrix4 m;
    for (int c = 0; c < 3; ++c) {
        m.m[0][c] = static_cast<float>(axes[c].x);
        m.m[1][c] = static_cast<float>(axes[c].y);
        m.m[2][c] = static_cast<float>(axes[c].z);
        m.m[3][c] = static_cast<float>(-dot(centre_, axes[c]));
    }
    return m;
}

render::Matrix4 ViewCamera::projectionMatrix() const {
    // Parallel projection: pixels = centre + scale * view coordinates; depth -range..range to 0..1.
    const double depthRange = 1.5 * radius_ + 1.0;
    render::Matrix4 m;
    m.m[0][0] = static_cast<float>(2.0 * scale_ / width_);
    m.m[1][1] = static_cast<float>(2.0 * scale_ / height_);
    m.m[2][2] = static_cast<float>(1.0 / (2.0 * depthRange));
    m.m[3][2] = 0.5f;
    return m;
}

}  // namespace hostapp
