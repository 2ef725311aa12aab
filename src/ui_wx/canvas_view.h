#pragma once
// A widgets::CanvasWidget (the time graph's plot) in a wx window: painted through a DcCanvas,
// the left button's press, moves and release passed to the widget (a click or a drag, the rubber
// band drawn while dragging), and the widget's in-place edit box shown as a real text control
// over its rectangle (Enter finishes, Escape cancels).
#include "ui_wx/widget_view.h"
#include "widgets/canvas_widget.h"

class wxTextCtrl;
class wxMouseEvent;
class wxKeyEvent;

namespace ui_wx {

class CanvasView : public WidgetView {
  public:
    CanvasView(wxWindow* parent, widgets::CanvasWidget& widget);
    wxWindow* window() override { return window_; }
    void sync() override;
    // The in-place edit control (hidden while the widget has no edit box open).
    wxTextCtrl* editControl() const { return edit_; }

  private:
    void onMouse(wxMouseEvent& event);
    void onEditKey(wxKeyEvent& event);

    widgets::CanvasWidget& widget_;
    wxWindow* window_;
    wxTextCtrl* edit_;
};

}  // namespace ui_wx
