#include "gui/view_canvas.h"

#include <GL/gl.h>
#include <wx/dcclient.h>

#include <cmath>
#include <exception>

#include "program/host_application.h"
#include "program/view_renderer.h"
#include "render/gl/gl_render_device.h"

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
    // The devices' textures go with the context they were made in.
    if (context_ && devices_ && SetCurrent(*context_)) devices_.reset();
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
    paint(nullptr);
}

void ViewCanvas::paint(RasterImage* capture) {
    drawnRedraws_ = app_.redrawCount();
    const wxSize size = GetClientSize() * GetContentScaleFactor();
    if (!makeCurrent() || size.x < 16 || size.y < 16) return;
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (app_.currentSession() != nullptr) {
        try {
            app_.prepareView(size.x, size.y);
            if (!devices_) devices_ = std::make_unique<ViewDevices>(size.x, size.y);
            drawViewGl(app_, *devices_, size.x, size.y);
        } catch (const std::exception&) {
            // A view that cannot be drawn stays white; the failure was the host's or the add-on's
            // to report, and painting goes on.
            glClearColor(1, 1, 1, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }
    // The frame is read before it is shown: after the swap the back buffer's content is undefined
    // and the front buffer of a window reads back black here.
    if (capture != nullptr) {
        glReadBuffer(GL_BACK);
        *capture = readFrame(size.x, size.y);
    }
    SwapBuffers();
    ++frames_;
    lastFrameAt_ = std::chrono::steady_clock::now();
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
    RasterImage image(1, 1);
    paint(&image);
    return image;
}

}  // namespace hostapp::gui
