#include "results/opengl_control.h"

COpenGLControl::COpenGLControl(results::ResultsScene& scene) : scene_(scene) {}

void COpenGLControl::moveWindow(const ui::Rect& rect) {
    rect_ = rect;
    camera_.resize(rect.width(), rect.height());
}

void COpenGLControl::OnMouseMove(double x, double y, unsigned buttons) {
    camera_.mouseMove(x, y, buttons);
}

void COpenGLControl::OnLButtonDown(double x, double y) {
    if (!scene_.switches().probe) return;
    pressX_ = x;
    pressY_ = y;
    capturing_ = true;
}

void COpenGLControl::OnLButtonUp(double x, double y) {
    if (!capturing_) return;
    capturing_ = false;
    if (!scene_.switches().probe) return;
    scene_.probe(results::ProbeRectangle::between(pressX_, pressY_, x, y), camera_);
}

void COpenGLControl::OnMouseWheel(bool forward) {
    camera_.wheel(forward);
}

void COpenGLControl::OnTimer() {
    scene_.tick();
    draw();
}

void COpenGLControl::runFrames(int count) {
    for (int i = 0; i < count; ++i) OnTimer();
}

render::ISceneRenderer* COpenGLControl::rendererFor(int width, int height) {
    if (!renderer_ || width != rendererWidth_ || height != rendererHeight_) {
        renderer_ = render::makeSceneRenderer(width, height);
        rendererWidth_ = width;
        rendererHeight_ = height;
    }
    return renderer_.get();
}

void COpenGLControl::draw() {
    ++frames_;
    if (auto* renderer = rendererFor(camera_.width(), camera_.height()))
        renderer->draw(scene_.frame(camera_));
}

std::vector<std::uint8_t> COpenGLControl::pixels() {
    return renderer_ ? renderer_->pixels() : std::vector<std::uint8_t>{};
}

bool COpenGLControl::snapshot(const std::string& path, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    // The camera takes the picture's shape for this frame, then returns to the control's.
    const int oldWidth = camera_.width(), oldHeight = camera_.height();
    camera_.resize(width, height);
    auto renderer = render::makeSceneRenderer(width, height);
    bool written = false;
    if (renderer) {
        renderer->draw(scene_.frame(camera_));
        written = renderer->writePng(path);
    }
    camera_.resize(oldWidth, oldHeight);
    return written;
}
