#include "ui_wx/dialog_window.h"

#include <wx/textctrl.h>

#include "ui/dialog.h"
#include "ui_wx/wx_text.h"

namespace ui_wx {

DialogWindow::DialogWindow(wxWindow* parent, ui::Dialog& dialog, std::function<void()> acted)
    : wxDialog(parent, wxID_ANY, toWx(dialog.windowText()), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE),
      dialog_(&dialog),
      acted_(std::move(acted)) {
    const ui::Rect& r = dialog.windowRect();
    SetClientSize(std::max(r.width(), 40), std::max(r.height(), 20));
    Bind(wxEVT_CLOSE_WINDOW, &DialogWindow::onClose, this);
    Bind(wxEVT_CHAR_HOOK, &DialogWindow::onCharHook, this);
}

void DialogWindow::onClose(wxCloseEvent& event) {
    if (dialog_ == nullptr) {
        event.Skip();
        return;
    }
    // The dialog decides; it destroys or hides the window itself.
    if (event.CanVeto()) event.Veto();
    dialog_->userClose();
    if (acted_) acted_();
}

void DialogWindow::onCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    // Keys typed into a widget's own editor (a property grid's or a grid's cell editor) are that
    // editor's: Enter confirms the value there, Escape drops it.
    wxWindow* focus = FindFocus();
    const bool inWidget = focus != nullptr && focus != this && focus->GetParent() != this;
    if (dialog_ == nullptr || event.HasAnyModifiers() || inWidget) {
        event.Skip();
        return;
    }
    if (key == WXK_ESCAPE) {
        dialog_->userPressEscape();
    } else if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
        // Enter in a multi-line edit is a new line, not the default button.
        auto* edit = dynamic_cast<wxTextCtrl*>(FindFocus());
        if (edit != nullptr && edit->IsMultiLine()) {
            event.Skip();
            return;
        }
        dialog_->userPressEnter();
    } else {
        event.Skip();
        return;
    }
    if (acted_) acted_();
}

}  // namespace ui_wx
