#pragma once
// The drawing area of the results window: the camera moved by the mouse, the probe rectangle, the
// timer tick that animates and redraws, and snapshots at any size. The drawing itself goes to the
// scene renderer the program installed (OpenGL off screen in headless runs), or to the renderer of
// the window a window system shows the control in.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "render/scene_renderer.h"
#include "results/gl_camera.h"
#include "results/results_scene.h"
#include "ui/control.h"
#include "ui/custom_widget.h"

class COpenGLControl : public ui::CustomWidget, public render::ISceneView {
  public:
    // The window class the control registers.
    static constexpr const char* kWindowClass = "OpenGL";

    explicit COpenGLControl(results::ResultsScene& scene);

    // Places the control (dialog pixels); the projection and trackball follow its size.
    void moveWindow(const ui::Rect& rect);
    const ui::Rect& windowRect() const { return rect_; }
    // What the dialog does when the window holding the control is sized (its client size).
    void onContainerResize(std::function<void(int width, int height)> handler) {
        containerResize_ = std::move(handler);
    }

    void OnMouseMove(double x, double y, unsigned buttons);
    void OnLButtonDown(double x, double y);
    void OnLButtonUp(double x, double y);
    void OnMouseWheel(bool forward);
    // One tick of the 1 ms timer: advances the animation and draws a frame.
    void OnTimer();
    // Whether a tick would draw anything new: the animation runs, or the camera, the size, the
    // switches or the scene changed since the last frame. A window ticks only then.
    bool frameWanted() const override;
    // Runs `count` timer ticks (headless runs ask for frames instead of waiting on a clock).
    void runFrames(int count) override;

    // Draws the current frame off screen at width x height and writes it as PNG (on screen: the
    // window's frame at its own size).
    bool snapshot(const std::string& path, int width, int height) override;
    // The last frame drawn at the control's size, RGBA rows from the top (on screen: a frame drawn
    // now); empty without a renderer.
    std::vector<std::uint8_t> pixels();

    void pointerMoved(double x, double y, unsigned buttons) override { OnMouseMove(x, y, buttons); }
    bool leftPressed(double x, double y) override;
    void leftReleased(double x, double y) override { OnLButtonUp(x, y); }
    void wheelTurned(int notches) override;
    std::array<int, 4> placement() const override {
        return {rect_.left, rect_.top, rect_.right, rect_.bottom};
    }
    void viewResized(int width, int height) override;
    void containerResized(int width, int height) override;
    void attachScreen(render::ISceneRenderer* screen) override { screen_ = screen; }
    int probedNodes() const override;

    results::GlCamera& camera() { return camera_; }
    int framesDrawn() const override { return frames_; }

  private:
    // What the last frame was drawn from.
    struct FrameKey {
        results::Matrix16 view{};
        int width = 0, height = 0;
        std::uint64_t content = 0;
        results::SceneSwitches switches;
        bool operator==(const FrameKey&) const = default;
    };
    FrameKey currentKey() const;
    void draw();
    render::ISceneRenderer* rendererFor(int width, int height);

    results::ResultsScene& scene_;
    results::GlCamera camera_;
    ui::Rect rect_{};
    std::unique_ptr<render::ISceneRenderer> renderer_;
    render::ISceneRenderer* screen_ = nullptr;
    std::function<void(int, int)> containerResize_;
    int rendererWidth_ = 0, rendererHeight_ = 0;
    double pressX_ = 0, pressY_ = 0;
    bool capturing_ = false;
    int frames_ = 0;
    std::optional<FrameKey> drawn_;
};
