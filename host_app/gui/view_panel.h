#pragma once
// The centre of the main window: the current session's part shaded as the host view's camera
// sees it, with what the running commands draw into the view (contours, overlay marks). It is
// drawn again when its size changes or the host was asked to redraw.
#include <wx/bitmap.h>
#include <wx/panel.h>

namespace hostapp {
class HostApplication;
}

namespace hostapp::gui {

class ViewPanel : public wxPanel {
  public:
    ViewPanel(wxWindow* parent, HostApplication& app);

    // Draws the picture again at the next paint.
    void invalidate();
    // Draws again when the host counted a redraw since the last picture.
    void refreshIfAsked();

  private:
    void onPaint(wxPaintEvent& event);
    void draw();

    HostApplication& app_;
    wxBitmap picture_;
    int drawnRedraws_ = -1;
    bool stale_ = true;
};

}  // namespace hostapp::gui
