#include "ui_wx/canvas_view.h"

#include <wx/dcbuffer.h>
#include <wx/textctrl.h>
#include <wx/window.h>

#include <algorithm>
#include <cmath>

#include "ui_wx/dc_canvas.h"
#include "ui_wx/wx_text.h"

namespace ui_wx {

CanvasView::CanvasView(wxWindow* parent, widgets::CanvasWidget& widget)
    : widget_(widget),
      window_(new wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                           wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS)),
      edit_(new wxTextCtrl(window_, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                           wxTE_PROCESS_ENTER)) {
    edit_->Hide();
    window_->SetBackgroundStyle(wxBG_STYLE_PAINT);
    window_->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(window_);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        // The picture's layout leaves room for a small font's labels.
        dc.SetFont(wxFontInfo(8));
        DcCanvas canvas(dc);
        const wxSize size = window_->GetClientSize();
        widget_.paint(canvas, size.x, size.y);
    });
    for (auto type : {wxEVT_LEFT_DOWN, wxEVT_MOTION, wxEVT_LEFT_UP})
        window_->Bind(type, &CanvasView::onMouse, this);
    // A lost capture ends nothing: the next press starts afresh.
    window_->Bind(wxEVT_MOUSE_CAPTURE_LOST, [](wxMouseCaptureLostEvent&) {});
    edit_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) {
        widget_.finishEdit(fromWx(edit_->GetValue()));
        sync();
    });
    edit_->Bind(wxEVT_CHAR_HOOK, &CanvasView::onEditKey, this);
    sync();
}

void CanvasView::sync() {
    window_->Refresh();
    const auto box = widget_.editBox();
    if (!box) {
        if (edit_->IsShown()) {
            edit_->Hide();
            window_->SetFocus();
        }
        return;
    }
    if (edit_->IsShown()) return;
    // At least wide enough for a number and as tall as the control needs for its text.
    const int height = std::max(edit_->GetBestSize().y, static_cast<int>(box->at.bottom - box->at.top));
    const int width = std::max(70, static_cast<int>(box->at.right - box->at.left) + 16);
    const int left =
        std::clamp(static_cast<int>(box->at.left), 0, std::max(0, window_->GetClientSize().x - width));
    const int top =
        std::clamp(static_cast<int>(box->at.top), 0, std::max(0, window_->GetClientSize().y - height));
    edit_->SetSize(left, top, width, height);
    edit_->ChangeValue(toWx(box->text));
    edit_->Show();
    edit_->SetFocus();
    edit_->SelectAll();
}

void CanvasView::onMouse(wxMouseEvent& event) {
    const wxPoint p = event.GetPosition();
    if (event.LeftDown()) {
        if (edit_->IsShown()) widget_.cancelEdit();  // a click elsewhere leaves the edit
        window_->SetFocus();
        if (!window_->HasCapture()) window_->CaptureMouse();
        widget_.mouseDown(p.x, p.y);
    } else if (event.Dragging()) {
        widget_.mouseMove(p.x, p.y);
        window_->Refresh();
    } else if (event.LeftUp()) {
        if (window_->HasCapture()) window_->ReleaseMouse();
        widget_.mouseUp(p.x, p.y);
    }
    sync();
}

void CanvasView::onEditKey(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE) {
        widget_.cancelEdit();
        sync();
        return;
    }
    event.Skip();
}

}  // namespace ui_wx
