#pragma once
// A render::ISceneView (the results window's OpenGL control) on a real OpenGL window: a wxGLCanvas
// named "OpenGL" (RGBA, double buffered, 16-bit depth) whose own context the control draws its
// frames into, a 1 ms timer ticking the control (started again once the loop is free) while the control
// has a new frame to draw or animates, and idle otherwise (input, the dialog's changes and paints wake it),
// the pointer passed on (each move takes the focus; a probe press captures the mouse until its release), and
// sizes followed both ways: the canvas's size reaches the control's projection, the dialog's size reaches the
// dialog's layout of it.
#include <memory>

#include "render/scene_renderer.h"
#include "ui/dialog.h"
#include "ui_wx/widget_view.h"

class wxGLCanvas;
class wxGLContext;
class wxMouseEvent;
class wxMouseCaptureLostEvent;
class wxPaintEvent;
class wxSizeEvent;
class wxTimer;
class wxWindowDestroyEvent;

namespace render::gl {
class GlScenePainter;
}

namespace ui_wx {

// How often an idle view looks whether the control has a new frame to draw.
inline constexpr int kIdleLookMs = 50;

// The name of the canvas window, for tests and the GUI's person to find it by.
inline constexpr const char* kSceneCanvasName = "OpenGL";

class GlSceneView : public WidgetView, private render::ISceneRenderer, private ui::DialogObserver {
  public:
    GlSceneView(wxWindow* parent, ui::Dialog& dialog, render::ISceneView& scene);
    ~GlSceneView() override;
    GlSceneView(const GlSceneView&) = delete;
    GlSceneView& operator=(const GlSceneView&) = delete;

    wxWindow* window() override;
    // Places the canvas at the control's rectangle.
    void sync() override;
    render::ISceneView& scene() const { return scene_; }

  private:
    // The control's frames, drawn into the canvas and read back from it.
    void draw(const render::SceneFrame& frame) override;
    std::vector<std::uint8_t> pixels() override;
    bool writePng(const std::string& path) override;
    void keepNextFrame() override { keepNext_ = true; }
    // The dialog (and the control with it) is going.
    void destroyed(ui::Dialog& dialog) override;

    // Draws a frame when the control wants one (or always, `force`: the window must be painted).
    void tick(bool force);
    // The next tick comes at once.
    void wake();
    void changed(ui::Dialog& dialog, int controlId) override;
    bool makeCurrent();
    void unbind();
    void onPaint(wxPaintEvent& event);
    void onMouse(wxMouseEvent& event);
    void onCaptureLost(wxMouseCaptureLostEvent& event);
    void onSize(wxSizeEvent& event);
    void onContainerSize(wxSizeEvent& event);
    void onCanvasDestroyed(wxWindowDestroyEvent& event);

    ui::Dialog* dialog_;  // null once the dialog is destroyed
    render::ISceneView& scene_;
    wxGLCanvas* canvas_;  // null once the window system destroyed it
    wxWindow* container_;
    std::unique_ptr<wxGLContext> context_;
    std::unique_ptr<render::gl::GlScenePainter> painter_;
    std::unique_ptr<wxTimer> timer_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // calls queued for later check it
    // The pixels of the last frame drawn after keepNextFrame(), rows from the top.
    std::vector<std::uint8_t> kept_;
    int keptWidth_ = 0, keptHeight_ = 0;
    bool keepNext_ = false;
    int wheelRest_ = 0;
    bool ticking_ = false;
    bool syncing_ = false;
};

}  // namespace ui_wx
