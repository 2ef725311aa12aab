#pragma once
// The drawing area of the results window: the camera moved by the mouse, the probe rectangle, the
// timer tick that animates and redraws, and snapshots at any size. The drawing itself goes to the
// scene renderer the program installed (OpenGL off screen in headless runs).
#include <memory>
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

    void OnMouseMove(double x, double y, unsigned buttons);
    void OnLButtonDown(double x, double y);
    void OnLButtonUp(double x, double y);
    void OnMouseWheel(bool forward);
    // One tick of the 1 ms timer: advances the animation and draws a frame.
    void OnTimer();
    // Runs `count` timer ticks (headless runs ask for frames instead of waiting on a clock).
    void runFrames(int count) override;

    // Draws the current frame off screen at width x height and writes it as PNG.
    bool snapshot(const std::string& path, int width, int height) override;
    // The last frame drawn at the control's size, RGBA rows from the top; empty without a renderer.
    std::vector<std::uint8_t> pixels();

    results::GlCamera& camera() { return camera_; }
    int framesDrawn() const { return frames_; }

  private:
    void draw();
    render::ISceneRenderer* rendererFor(int width, int height);

    results::ResultsScene& scene_;
    results::GlCamera camera_;
    ui::Rect rect_{};
    std::unique_ptr<render::ISceneRenderer> renderer_;
    int rendererWidth_ = 0, rendererHeight_ = 0;
    double pressX_ = 0, pressY_ = 0;
    bool capturing_ = false;
    int frames_ = 0;
};
