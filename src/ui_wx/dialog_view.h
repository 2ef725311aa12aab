#pragma once
// The controls of one ui::Dialog as real wx controls inside a container window (a top-level
// dialog, or a panel the host docks). Controls stand at the template's rectangles with the
// template's ids, kinds and texts; what code does to the dialog is shown by sync(), and a person's
// clicks, typing, choices and slider moves reach the dialog's user* calls.
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "ui/control.h"
#include "ui_wx/widget_view.h"

class wxWindow;
class wxCommandEvent;
class wxScrollEvent;
class wxRadioButton;

namespace ui {
class Dialog;
}

namespace ui_wx {

class DialogView {
  public:
    // Builds every control of `dialog` in `container` and shows the dialog's state; `acted` is
    // called after each person's action has been handled.
    DialogView(ui::Dialog& dialog, wxWindow* container, std::function<void()> acted);
    ~DialogView();
    DialogView(const DialogView&) = delete;
    DialogView& operator=(const DialogView&) = delete;

    ui::Dialog& dialog() const { return dialog_; }
    wxWindow* container() const { return container_; }
    // The window of control `id`; null when the dialog has none.
    wxWindow* controlWindow(int id) const;
    // The view of Custom control `id`; null when it has none.
    WidgetView* widgetView(int id) const {
        auto it = widgetViews_.find(id);
        return it == widgetViews_.end() ? nullptr : it->second.get();
    }
    // Shows the state of control `id` (0: every control).
    void sync(int id);
    // Gives the focus to the first control, in tab order, that can take it, passing over a list
    // with nothing chosen: GTK chooses the first line of a list that takes the focus so, and tells
    // the dialog, which would then hold a choice the person never made.
    void focusFirstControl();

  private:
    void build();
    wxWindow* makeControl(const ui::Control& c);
    wxWindow* makeButton(const ui::Control& c);
    wxWindow* makeRadio(const ui::Control& c);
    // Whether a button of the group that starts with `noChoice` is checked in the dialog.
    bool groupHasChoice(const wxRadioButton* noChoice) const;
    wxWindow* makePicture(const ui::Control& c);
    void bindEvents(const ui::Control& c, wxWindow* w);
    void syncControl(const ui::Control& c, wxWindow* w);
    void syncItems(const ui::Control& c, wxWindow* w);
    // Runs a person's action on the dialog, unless the change comes from sync() itself.
    void act(const std::function<void()>& action);
    void onScroll(int id, wxScrollEvent& event, int code);

    ui::Dialog& dialog_;
    wxWindow* container_;
    std::function<void()> acted_;
    std::map<int, wxWindow*> windows_;
    std::map<int, std::unique_ptr<WidgetView>> widgetViews_;
    bool syncing_ = false;
    // Per radio button, the hidden button that starts its group and is on while none is chosen.
    std::map<int, wxRadioButton*> noChoiceButtons_;
    wxRadioButton* groupStart_ = nullptr;  // the group being built
};

}  // namespace ui_wx
