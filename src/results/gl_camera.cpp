#include "results/gl_camera.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace results {

void GlCamera::resize(int width, int height) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    trackball_.resize(width_, height_);
}

void GlCamera::mouseMove(double x, double y, unsigned buttons) {
    const float dx = static_cast<float>(x) - lastX_, dy = static_cast<float>(y) - lastY_;
    const bool left = buttons & kLeftButton, right = buttons & kRightButton, middle = buttons & kMiddleButton;
    // The left button alone turns the model as in the host's view; both buttons together as well.
    if (left && !middle)
        trackball_.drag(lastX_, lastY_, x, y);
    else if (right && !left && !middle)
        distance_ -= 0.04f * dy;
    else if (middle && !left && !right) {
        panX_ += 0.001f * distance_ * dx;
        panY_ -= 0.001f * distance_ * dy;
    }
    lastX_ = static_cast<float>(x);
    lastY_ = static_cast<float>(y);
}

void GlCamera::wheel(bool forward) {
    distance_ += forward ? -0.5f : 0.5f;
}

void GlCamera::zoomToFit() {
    distance_ = kInitialDistance;
    panX_ = panY_ = 0;
}

Matrix16 GlCamera::modelView() const {
    Matrix16 m = trackball_.matrix();
    // Translation first in the matrix product: it only adds to the last column.
    m[12] += panX_;
    m[13] += panY_;
    m[14] += -distance_;
    return m;
}

// The model-view is a rotation R and a translation t: the eye (the origin of eye space) is at
// R^T (-t) in the model.
std::array<double, 3> GlCamera::eyeInModel() const {
    const Matrix16 m = modelView();
    std::array<double, 3> eye{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) eye[i] -= m[i * 4 + j] * m[12 + j];
    return eye;
}

Matrix16 GlCamera::projection() const {
    const double f = 1.0 / std::tan(kFieldOfViewDegrees * std::numbers::pi / 360.0);
    const double aspect = static_cast<double>(width_) / height_;
    Matrix16 p{};
    p[0] = f / aspect;
    p[5] = f;
    p[10] = (kFarPlane + kNearPlane) / (kNearPlane - kFarPlane);
    p[11] = -1;
    p[14] = 2 * kFarPlane * kNearPlane / (kNearPlane - kFarPlane);
    return p;
}

namespace {

std::array<double, 4> transform(const Matrix16& m, const std::array<double, 4>& v) {
    std::array<double, 4> r{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) r[row] += m[col * 4 + row] * v[col];
    return r;
}

}  // namespace

bool GlCamera::project(const std::array<float, 3>& point, WindowPoint& out) const {
    const auto eye = transform(modelView(), {point[0], point[1], point[2], 1.0});
    const auto clip = transform(projection(), eye);
    if (clip[3] <= 0) return false;
    const double nx = clip[0] / clip[3], ny = clip[1] / clip[3];
    out.x = (nx + 1) / 2 * width_;
    out.y = height_ - (ny + 1) / 2 * height_;
    out.depth = -eye[2];
    return true;
}

}  // namespace results
