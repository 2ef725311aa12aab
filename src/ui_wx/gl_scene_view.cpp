#include "ui_wx/gl_scene_view.h"

#include <wx/dcclient.h>
#include <wx/glcanvas.h>
#include <wx/timer.h>

#include <cstring>
#include <functional>

#include "render/gl/gl_scene_painter.h"
#include "render/gl/png_file.h"

namespace ui_wx {

namespace {

// A timer calling `tick`.
class Ticker : public wxTimer {
  public:
    explicit Ticker(std::function<void()> tick) : tick_(std::move(tick)) {}
    void Notify() override { tick_(); }

  private:
    std::function<void()> tick_;
};

wxGLAttributes canvasAttributes() {
    wxGLAttributes attributes;
    attributes.PlatformDefaults().RGBA().DoubleBuffer().Depth(16).EndList();
    return attributes;
}

}  // namespace

GlSceneView::GlSceneView(wxWindow* parent, ui::Dialog& dialog, render::ISceneView& scene)
    : dialog_(&dialog),
      scene_(scene),
      canvas_(new wxGLCanvas(parent, canvasAttributes(), wxID_ANY, wxDefaultPosition, wxDefaultSize,
                             wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE, kSceneCanvasName)),
      container_(parent),
      context_(std::make_unique<wxGLContext>(canvas_)),
      timer_(std::make_unique<Ticker>([this] { tick(false); })) {
    canvas_->SetName(kSceneCanvasName);
    canvas_->SetBackgroundStyle(wxBG_STYLE_PAINT);
    canvas_->Bind(wxEVT_PAINT, &GlSceneView::onPaint, this);
    for (auto type : {wxEVT_MOTION, wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MOUSEWHEEL})
        canvas_->Bind(type, &GlSceneView::onMouse, this);
    // A lost capture ends nothing: the release that follows is passed on as usual.
    canvas_->Bind(wxEVT_MOUSE_CAPTURE_LOST, &GlSceneView::onCaptureLost, this);
    canvas_->Bind(wxEVT_SIZE, &GlSceneView::onSize, this);
    canvas_->Bind(wxEVT_DESTROY, &GlSceneView::onCanvasDestroyed, this);
    container_->Bind(wxEVT_SIZE, &GlSceneView::onContainerSize, this);
    dialog.addObserver(this);
    scene_.attachScreen(this);
    timer_->StartOnce(1);
}

GlSceneView::~GlSceneView() {
    timer_->Stop();
    if (dialog_ != nullptr) {
        dialog_->removeObserver(this);
        scene_.attachScreen(nullptr);
    }
    if (canvas_ != nullptr) unbind();
}

void GlSceneView::unbind() {
    canvas_->Unbind(wxEVT_PAINT, &GlSceneView::onPaint, this);
    for (auto type : {wxEVT_MOTION, wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MOUSEWHEEL})
        canvas_->Unbind(type, &GlSceneView::onMouse, this);
    canvas_->Unbind(wxEVT_MOUSE_CAPTURE_LOST, &GlSceneView::onCaptureLost, this);
    canvas_->Unbind(wxEVT_SIZE, &GlSceneView::onSize, this);
    canvas_->Unbind(wxEVT_DESTROY, &GlSceneView::onCanvasDestroyed, this);
    container_->Unbind(wxEVT_SIZE, &GlSceneView::onContainerSize, this);
}

wxWindow* GlSceneView::window() {
    return canvas_;
}

void GlSceneView::destroyed(ui::Dialog& dialog) {
    // The control goes with its dialog: no more ticks, and it must not keep this renderer.
    timer_->Stop();
    dialog.removeObserver(this);
    scene_.attachScreen(nullptr);
    dialog_ = nullptr;
}

void GlSceneView::onCanvasDestroyed(wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() != canvas_) return;
    timer_->Stop();
    if (dialog_ != nullptr) scene_.attachScreen(nullptr);
    unbind();
    canvas_ = nullptr;
}

void GlSceneView::sync() {
    if (canvas_ == nullptr || dialog_ == nullptr) return;
    const auto [left, top, right, bottom] = scene_.placement();
    const wxRect wanted(left, top, std::max(right - left, 1), std::max(bottom - top, 1));
    if (canvas_->GetRect() == wanted) return;
    syncing_ = true;
    canvas_->SetSize(wanted);
    syncing_ = false;
}

bool GlSceneView::makeCurrent() {
    if (canvas_ == nullptr || !canvas_->IsShownOnScreen()) return false;
    if (!canvas_->SetCurrent(*context_)) return false;
    if (!painter_) painter_ = std::make_unique<render::gl::GlScenePainter>();
    return true;
}

void GlSceneView::tick(bool force) {
    if (ticking_ || dialog_ == nullptr || canvas_ == nullptr) return;
    if (!canvas_->IsShownOnScreen()) {
        // Hidden (the dialog not shown yet): look again a little later.
        if (!timer_->IsRunning()) timer_->StartOnce(kIdleLookMs);
        return;
    }
    if (!force && !scene_.frameWanted()) {
        // Nothing new to draw: the picture on screen stays. Input and the dialog's changes wake
        // the view at once; a slow look catches what a handler changed without either.
        if (!timer_->IsRunning()) timer_->StartOnce(kIdleLookMs);
        return;
    }
    ticking_ = true;
    scene_.runFrames(1);
    ticking_ = false;
    // The next tick is 1 ms after the loop has handled what waited meanwhile (input, paints, calls
    // queued for later): a tick always ready would starve them, and ticks never pile up.
    std::weak_ptr<int> alive = alive_;
    canvas_->CallAfter([this, alive] {
        if (alive.lock() && canvas_ != nullptr && dialog_ != nullptr && !timer_->IsRunning())
            timer_->StartOnce(1);
    });
}

void GlSceneView::draw(const render::SceneFrame& frame) {
    if (!makeCurrent()) return;
    const wxSize size = canvas_->GetClientSize();
    render::SceneFrame sized = frame;
    sized.width = std::max(size.x, 1);
    sized.height = std::max(size.y, 1);
    painter_->draw(sized);
    if (keepNext_) {
        // Read before the swap: what a window's front buffer holds cannot be read back everywhere.
        keepNext_ = false;
        const std::size_t row = static_cast<std::size_t>(sized.width) * 4;
        std::vector<std::uint8_t> raw(row * sized.height);
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, sized.width, sized.height, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
        kept_.resize(raw.size());
        for (int y = 0; y < sized.height; ++y)
            std::memcpy(&kept_[y * row], &raw[(sized.height - 1 - y) * row], row);
        keptWidth_ = sized.width;
        keptHeight_ = sized.height;
    }
    canvas_->SwapBuffers();
}

std::vector<std::uint8_t> GlSceneView::pixels() {
    return kept_;
}

bool GlSceneView::writePng(const std::string& path) {
    if (kept_.empty()) return false;
    return render::gl::writePng(path, keptWidth_, keptHeight_, kept_);
}

void GlSceneView::onPaint(wxPaintEvent&) {
    wxPaintDC dc(canvas_);
    tick(true);
}

void GlSceneView::wake() {
    if (ticking_ || dialog_ == nullptr || canvas_ == nullptr) return;
    timer_->StartOnce(1);
}

void GlSceneView::changed(ui::Dialog&, int) {
    wake();
}

void GlSceneView::onMouse(wxMouseEvent& event) {
    if (dialog_ == nullptr) return;
    const wxPoint p = event.GetPosition();
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_MOTION) {
        if (!canvas_->HasFocus()) canvas_->SetFocus();
        unsigned buttons = 0;
        if (event.LeftIsDown()) buttons |= render::kSceneLeft;
        if (event.RightIsDown()) buttons |= render::kSceneRight;
        if (event.MiddleIsDown()) buttons |= render::kSceneMiddle;
        scene_.pointerMoved(p.x, p.y, buttons);
    } else if (type == wxEVT_LEFT_DOWN) {
        if (scene_.leftPressed(p.x, p.y) && !canvas_->HasCapture()) canvas_->CaptureMouse();
    } else if (type == wxEVT_LEFT_UP) {
        if (canvas_->HasCapture()) canvas_->ReleaseMouse();
        scene_.leftReleased(p.x, p.y);
    } else if (type == wxEVT_MOUSEWHEEL) {
        // Whole notches; a fine-grained wheel's parts add up until they make one.
        wheelRest_ += event.GetWheelRotation();
        const int delta = std::max(event.GetWheelDelta(), 1);
        const int notches = wheelRest_ / delta;
        wheelRest_ -= notches * delta;
        if (notches != 0) scene_.wheelTurned(notches);
    }
    wake();
    event.Skip();
}

void GlSceneView::onCaptureLost(wxMouseCaptureLostEvent&) {}

void GlSceneView::onSize(wxSizeEvent& event) {
    event.Skip();
    if (syncing_ || dialog_ == nullptr) return;
    const wxSize size = canvas_->GetClientSize();
    if (size.x > 0 && size.y > 0) scene_.viewResized(size.x, size.y);
    wake();
}

void GlSceneView::onContainerSize(wxSizeEvent& event) {
    event.Skip();
    if (dialog_ == nullptr || event.GetEventObject() != container_) return;
    const wxSize size = container_->GetClientSize();
    scene_.containerResized(size.x, size.y);
}

}  // namespace ui_wx
