#include "gui/view_panel.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>

#include <cstring>
#include <optional>

#include "host_application.h"
#include "view_picture.h"

namespace hostapp::gui {

ViewPanel::ViewPanel(wxWindow* parent, HostApplication& app)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE), app_(app) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetName("view");
    Bind(wxEVT_PAINT, &ViewPanel::onPaint, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        invalidate();
        e.Skip();
    });
}

void ViewPanel::invalidate() {
    stale_ = true;
    Refresh();
}

void ViewPanel::refreshIfAsked() {
    if (app_.redrawCount() != drawnRedraws_) invalidate();
}

void ViewPanel::draw() {
    const wxSize size = GetClientSize();
    stale_ = false;
    drawnRedraws_ = app_.redrawCount();
    if (app_.currentSession() == nullptr || size.x < 16 || size.y < 16) {
        picture_ = wxBitmap();
        return;
    }
    std::optional<RasterImage> drawn;
    try {
        drawn.emplace(drawView(app_, size.x, size.y));
    } catch (const std::exception&) {
        // A view that cannot be drawn stays empty; the failure was the host's or the add-on's to
        // report, and painting goes on.
        picture_ = wxBitmap();
        return;
    }
    const RasterImage& image = *drawn;
    // wxImage takes ownership of a malloc'ed buffer.
    auto* rgb = static_cast<unsigned char*>(std::malloc(image.rgb().size()));
    std::memcpy(rgb, image.rgb().data(), image.rgb().size());
    picture_ = wxBitmap(wxImage(image.width(), image.height(), rgb));
}

void ViewPanel::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    if (stale_) draw();
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (picture_.IsOk()) dc.DrawBitmap(picture_, 0, 0);
}

}  // namespace hostapp::gui
