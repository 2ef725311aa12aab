#include "gui/view_canvas.h"

#include <GL/gl.h>
#include <wx/dcclient.h>

#include <cmath>
#include <exception>

#include "host_application.h"
#include "render/gl/gl_render_device.h"
#include "view_renderer.h"

namespace hostapp::gui {

namespace {

// A press that moves less than this many pixels before it is released is a click, not a drag.
constexpr int kClickSlack = 3;

wxGLAttributes canvasAttributes() {
    wxGLAttributes attributes;
    attributes.PlatformDefaults().RGBA().DoubleBuffer().Depth(24).EndList();
    return attributes;
}

}  // namespace

ViewCanvas::ViewCanvas(wxWindow* parent, HostApplication& app)
    : wxGLCanvas(parent, canvasAttributes(), wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS),
      app_(app) {
    SetName("view");
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &ViewCanvas::onPaint, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        invalidate();
        e.Skip();
    });
    for (auto type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP, wxEVT_MOTION, wxEVT_MOUSEWHEEL})
        Bind(type, &ViewCanvas::onMouse, this);
    Bind(wxEVT_KEY_DOWN, &ViewCanvas::onKey, this);
}

ViewCanvas::~ViewCanvas() {
    // The device's textures go with the context they were made in.
    if (context_ && device_ && SetCurrent(*context_)) device_ = nullptr;
}

bool ViewCanvas::makeCurrent() {
    if (!IsShownOnScreen()) return false;
    if (!context_) context_ = std::make_unique<wxGLContext>(this);
    return context_->IsOK() && SetCurrent(*context_);
}

void ViewCanvas::invalidate() {
    Refresh(false);
}

void ViewCanvas::refreshIfAsked() {
    if (app_.redrawCount() != drawnRedraws_) invalidate();
}

void ViewCanvas::redrawNow() {
    Refresh(false);
    Update();
}

void ViewCanvas::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);  // tells the system the window is painted, whatever is drawn below
    drawnRedraws_ = app_.redrawCount();
    const wxSize size = GetClientSize() * GetContentScaleFactor();
    if (!makeCurrent() || size.x < 16 || size.y < 16) return;
    if (app_.currentSession() == nullptr) {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    } else {
        try {
            app_.prepareView(size.x, size.y);
            if (!device_) device_ = platform::makeRef<render::gl::GlRenderDevice>(size.x, size.y);
            drawViewGl(app_, *device_, size.x, size.y);
        } catch (const std::exception&) {
            // A view that cannot be drawn stays white; the failure was the host's or the add-on's
            // to report, and painting goes on.
            glClearColor(1, 1, 1, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }
    SwapBuffers();
    ++frames_;
}

void ViewCanvas::onMouse(wxMouseEvent& event) {
    const wxPoint at = event.GetPosition();
    if (event.GetEventType() == wxEVT_MOUSEWHEEL) {
        const double notches = static_cast<double>(event.GetWheelRotation()) / event.GetWheelDelta();
        app_.camera().zoom(std::pow(kWheelZoom, notches), at.x, at.y);
        invalidate();
        return;
    }
    if (event.LeftDown() || event.MiddleDown()) {
        SetFocus();
        press_ = at;
        dragging_ = false;
        if (!HasCapture()) CaptureMouse();
        return;
    }
    if (event.Dragging() && (event.LeftIsDown() || event.MiddleIsDown())) {
        const wxPoint delta = at - press_;
        if (!dragging_ && std::abs(delta.x) <= kClickSlack && std::abs(delta.y) <= kClickSlack) return;
        dragging_ = true;
        if (event.MiddleIsDown() || event.ShiftDown())
            app_.camera().pan(delta.x, delta.y);
        else
            app_.camera().rotate(delta.x, delta.y);
        press_ = at;
        invalidate();
        return;
    }
    if (event.LeftUp() || event.MiddleUp()) {
        if (HasCapture()) ReleaseMouse();
        if (event.LeftUp() && !dragging_ && pick_) pick_(at.x, at.y, event.ControlDown());
        dragging_ = false;
    }
}

void ViewCanvas::onKey(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE && pick_) {
        pick_(-1, -1, false);  // a pick off every view pixel clears the picks
        return;
    }
    event.Skip();
}

RasterImage ViewCanvas::picture() {
    redrawNow();
    const wxSize size = GetClientSize() * GetContentScaleFactor();
    RasterImage image(std::max(1, size.x), std::max(1, size.y));
    if (!makeCurrent() || size.x <= 0 || size.y <= 0) return image;
    std::vector<unsigned char> raw(static_cast<std::size_t>(size.x) * size.y * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, size.x, size.y, GL_RGB, GL_UNSIGNED_BYTE, raw.data());
    glReadBuffer(GL_BACK);
    for (int y = 0; y < size.y; ++y)
        for (int x = 0; x < size.x; ++x) {
            const unsigned char* p = &raw[(static_cast<std::size_t>(size.y - 1 - y) * size.x + x) * 3];
            image.set(x, y, p[0] | (p[1] << 8) | (p[2] << 16));
        }
    return image;
}

}  // namespace hostapp::gui
