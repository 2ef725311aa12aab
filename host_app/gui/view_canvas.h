#pragma once
// The host's 3-D view in the centre of the main window, on an OpenGL canvas: the current
// session's part shaded with its edges, what is picked, the design points and planes, the running
// commands' contours and overlay marks, drawn on the canvas's own context at every paint. The
// mouse turns (left drag), pans (middle drag, or Shift and left drag) and zooms (wheel) the view;
// a left click picks what is under the cursor, Ctrl and a click adds or removes it; Escape clears.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/glcanvas.h>

#include "program/raster_image.h"

namespace hostapp {
class HostApplication;
struct ViewDevices;
}  // namespace hostapp

namespace hostapp::gui {

class ViewCanvas : public wxGLCanvas {
  public:
    // What a click does: the view pixel, and whether it adds to the picks (Ctrl held).
    using PickHandler = std::function<void(double x, double y, bool add)>;

    ViewCanvas(wxWindow* parent, HostApplication& app);
    ~ViewCanvas() override;

    void setPickHandler(PickHandler handler) { pick_ = std::move(handler); }
    // Paints again at the next chance.
    void invalidate();
    // Paints again when the host counted a redraw since the last paint.
    void refreshIfAsked();
    // Paints at once (a command that asks for a redraw while it runs a loop of its own).
    void redrawNow();
    int framesDrawn() const { return frames_; }
    // When the last frame was shown.
    std::chrono::steady_clock::time_point lastFrameAt() const { return lastFrameAt_; }
    // The view painted afresh, as RGB rows from the top (what is on the screen).
    RasterImage picture();

  private:
    void onPaint(wxPaintEvent& event);
    // Draws the view and shows it; with `capture`, the frame is also read into it.
    void paint(RasterImage* capture);
    void onMouse(wxMouseEvent& event);
    void onKey(wxKeyEvent& event);
    bool makeCurrent();

    HostApplication& app_;
    std::unique_ptr<wxGLContext> context_;
    std::unique_ptr<ViewDevices> devices_;  // the view's devices, kept with its context
    PickHandler pick_;
    wxPoint press_;
    bool dragging_ = false;
    int drawnRedraws_ = -1;
    int frames_ = 0;
    std::chrono::steady_clock::time_point lastFrameAt_{};
};

}  // namespace hostapp::gui
