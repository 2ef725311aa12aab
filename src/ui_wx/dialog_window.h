#pragma once
// The top-level window of a dialog: its caption and client size from the template, and the keys
// and the close box passed to the dialog as the toolkit defines them (Enter presses the default
// button or OK, Escape and the close box cancel unless the dialog decides otherwise).
#include <wx/dialog.h>

#include <functional>

namespace ui {
class Dialog;
}

namespace ui_wx {

class DialogWindow : public wxDialog {
  public:
    DialogWindow(wxWindow* parent, ui::Dialog& dialog, std::function<void()> acted);

    // Stops passing events to the dialog (it is being destroyed).
    void detach() { dialog_ = nullptr; }

  private:
    void onClose(wxCloseEvent& event);
    void onCharHook(wxKeyEvent& event);

    ui::Dialog* dialog_;
    std::function<void()> acted_;
};

}  // namespace ui_wx
