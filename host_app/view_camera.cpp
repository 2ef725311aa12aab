#include "view_camera.h"

#include <algorithm>
#include <cmath>

namespace hostapp {

namespace {
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
    const double margin = 0.8;  // leaves room for the overlay labels around the part
    const double sx = halfWidth > 0 ? margin * width / (2 * halfWidth) : 1.0;
    const double sy = halfHeight > 0 ? margin * height / (2 * halfHeight) : 1.0;
    scale_ = std::min(sx, sy);
    if (!std::isfinite(scale_) || scale_ <= 0) scale_ = 1.0;
}

ViewPoint ViewCamera::project(const host::Point3& p) const {
    const host::Point3 d{p.x - centre_.x, p.y - centre_.y, p.z - centre_.z};
    return {width_ / 2.0 + scale_ * dot(d, right_), height_ / 2.0 - scale_ * dot(d, up_), dot(d, toward_)};
}

host::Point3 ViewCamera::towardsViewer() const {
    return toward_;
}

}  // namespace hostapp
