#include "view_camera.h"

#include <algorithm>
#include <cmath>

namespace hostapp {

namespace {

// The add-on docks its panel over the left of the graphics area and draws its legend there
// (it clears only the view right of this strip): the part is fitted into the rest of the view.
constexpr int kAddOnStripWidth = 120;

double dot(const host::Point3& a, const host::Point3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
}  // namespace

void ViewCamera::fit(const host::Point3& low, const host::Point3& high, int width, int height) {
    width_ = width;
    height_ = height;
    centre_ = {(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
    // The extent of the box's eight corners on the screen axes.
    double halfWidth = 0.0, halfHeight = 0.0;
    for (int i = 0; i < 8; ++i) {
        const host::Point3 corner{(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y,
                                  (i & 4) ? high.z : low.z};
        const host::Point3 d{corner.x - centre_.x, corner.y - centre_.y, corner.z - centre_.z};
        halfWidth = std::max(halfWidth, std::abs(dot(d, right_)));
        halfHeight = std::max(halfHeight, std::abs(dot(d, up_)));
    }
    depthRange_ = 1.0;
    for (int i = 0; i < 8; ++i) {
        const host::Point3 corner{(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y,
                                  (i & 4) ? high.z : low.z};
        const host::Point3 d{corner.x - centre_.x, corner.y - centre_.y, corner.z - centre_.z};
        depthRange_ = std::max(depthRange_, 1.5 * std::abs(dot(d, toward_)) + 1.0);
    }
    const double margin = 0.8;  // leaves room for the overlay labels around the part
    const double freeWidth = std::max(width - kAddOnStripWidth, width / 2);
    const double sx = halfWidth > 0 ? margin * freeWidth / (2 * halfWidth) : 1.0;
    const double sy = halfHeight > 0 ? margin * height / (2 * halfHeight) : 1.0;
    scale_ = std::min(sx, sy);
    if (!std::isfinite(scale_) || scale_ <= 0) scale_ = 1.0;
    // Moves the view so that the part's centre lands in the middle of the free area.
    const double shift = (width - freeWidth) / 2.0 / scale_;
    centre_ = {centre_.x - shift * right_.x, centre_.y - shift * right_.y, centre_.z - shift * right_.z};
}

ViewPoint ViewCamera::project(const host::Point3& p) const {
    const host::Point3 d{p.x - centre_.x, p.y - centre_.y, p.z - centre_.z};
    return {width_ / 2.0 + scale_ * dot(d, right_), height_ / 2.0 - scale_ * dot(d, up_), dot(d, toward_)};
}

host::Point3 ViewCamera::towardsViewer() const {
    return toward_;
}

render::Matrix4 ViewCamera::viewMatrix() const {
    // Columns: the screen's right, its up, and the depth away from the viewer.
    const host::Point3 axes[3] = {right_, up_, {-toward_.x, -toward_.y, -toward_.z}};
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
    render::Matrix4 m;
    m.m[0][0] = static_cast<float>(2.0 * scale_ / width_);
    m.m[1][1] = static_cast<float>(2.0 * scale_ / height_);
    m.m[2][2] = static_cast<float>(1.0 / (2.0 * depthRange_));
    m.m[3][2] = 0.5f;
    return m;
}

}  // namespace hostapp
