#include "results/opengl_control.h"

#include <algorithm>

#include "formats/mesh.h"
#include "mesh_solve/mesh_store.h"
#include "results/display_state.h"

static_assert(unsigned(results::kLeftButton) == render::kSceneLeft &&
                  unsigned(results::kRightButton) == render::kSceneRight &&
                  unsigned(results::kMiddleButton) == render::kSceneMiddle,
              "the camera and the scene view name the buttons alike");

COpenGLControl::COpenGLControl(results::ResultsScene& scene) : scene_(scene) {}

void COpenGLControl::moveWindow(const ui::Rect& rect) {
    const bool moved = rect.left != rect_.left || rect.top != rect_.top || rect.right != rect_.right ||
                       rect.bottom != rect_.bottom;
    rect_ = rect;
    camera_.resize(rect.width(), rect.height());
    // A window showing the control follows its rectangle.
    if (moved) changed();
}

// While a probe press is held the left button draws the probe's rectangle instead of turning.
void COpenGLControl::OnMouseMove(double x, double y, unsigned buttons) {
    if (capturing_) buttons &= ~unsigned(results::kLeftButton);
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

bool COpenGLControl::leftPressed(double x, double y) {
    OnLButtonDown(x, y);
    return capturing_;
}

void COpenGLControl::wheelTurned(int notches) {
    for (int i = 0; i < std::abs(notches); ++i) OnMouseWheel(notches > 0);
}

void COpenGLControl::viewResized(int width, int height) {
    if (width == rect_.width() && height == rect_.height()) return;
    moveWindow({rect_.left, rect_.top, rect_.left + width, rect_.top + height});
}

void COpenGLControl::containerResized(int width, int height) {
    if (containerResize_) containerResize_(width, height);
}

int COpenGLControl::probedNodes() const {
    const auto& states = mesh_solve::libraryMesh().nodeStates();
    return static_cast<int>(std::count(states.begin(), states.end(), results::kProbed));
}

COpenGLControl::FrameKey COpenGLControl::currentKey() const {
    return {camera_.modelView(), camera_.width(), camera_.height(), scene_.contentVersion(),
            scene_.switches()};
}

bool COpenGLControl::frameWanted() const {
    return results::displayState().animate || !drawn_ || !(*drawn_ == currentKey());
}

void COpenGLControl::OnTimer() {
    scene_.tick();
    draw();
}

void COpenGLControl::runFrames(int count) {
    for (int i = 0; i < count; ++i) OnTimer();
}

render::ISceneRenderer* COpenGLControl::rendererFor(int width, int height) {
    if (screen_ != nullptr) return screen_;
    if (!renderer_ || width != rendererWidth_ || height != rendererHeight_) {
        renderer_ = render::makeSceneRenderer(width, height);
        rendererWidth_ = width;
        rendererHeight_ = height;
    }
    return renderer_.get();
}

void COpenGLControl::draw() {
    ++frames_;
    drawn_ = currentKey();
    if (auto* renderer = rendererFor(camera_.width(), camera_.height()))
        renderer->draw(scene_.frame(camera_));
}

std::vector<std::uint8_t> COpenGLControl::pixels() {
    if (screen_ != nullptr) {
        // The window keeps the pixels of the frame it is asked to: a fresh one.
        screen_->keepNextFrame();
        draw();
        return screen_->pixels();
    }
    return renderer_ ? renderer_->pixels() : std::vector<std::uint8_t>{};
}

bool COpenGLControl::snapshot(const std::string& path, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    if (screen_ != nullptr) {
        // What the window shows: a fresh frame on screen, read back from the window.
        screen_->keepNextFrame();
        screen_->draw(scene_.frame(camera_));
        return screen_->writePng(path);
    }
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
