#pragma once
// A real window showing one of a dialog's Custom controls (a property grid, an editable grid, the
// time graph's plot). The backend asks each registered factory in turn for a view of the control;
// the first that knows the widget's type builds one. The view shows the model's state on sync()
// and turns a person's input into the model's user* calls.
#include <functional>
#include <memory>

class wxWindow;

namespace ui {
class Dialog;
class CustomWidget;
}  // namespace ui

namespace ui_wx {

class WidgetView {
  public:
    virtual ~WidgetView() = default;
    virtual wxWindow* window() = 0;
    // Shows the model's current state (called after every change the model reports).
    virtual void sync() = 0;
};

// Builds a view for control `controlId` of `dialog` (whose widget, if any, is `widget`) inside
// `parent`; answers null for a control it does not know.
using WidgetViewFactory = std::function<std::unique_ptr<WidgetView>(wxWindow* parent, ui::Dialog& dialog,
                                                                    int controlId, ui::CustomWidget* widget)>;

void addWidgetViewFactory(WidgetViewFactory factory);
// The view of the first factory that knows the control; null when none does.
std::unique_ptr<WidgetView> makeWidgetView(wxWindow* parent, ui::Dialog& dialog, int controlId);

}  // namespace ui_wx
