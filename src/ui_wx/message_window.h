#pragma once
// A message box as a window of wx controls: the icon, the text and the buttons of the request,
// each button ending the window with the toolkit's answer id (kIdOk, kIdCancel, kIdYes, kIdNo).
// Its buttons are real windows, so a script's real clicks reach them as a person's do.
#include <wx/dialog.h>

#include <string>

#include "ui/control.h"
#include "ui/prompts.h"

class wxButton;

namespace ui_wx {

class MessageWindow : public wxDialog {
  public:
    MessageWindow(wxWindow* parent, const std::string& text, const std::string& caption, ui::MessageIcon icon,
                  ui::MessageButtons buttons);

    // The button that answers `answer`; null when the window has none.
    wxButton* button(int answer) const;

  private:
    void addButton(wxSizer* row, int answer, const wxString& label);
};

}  // namespace ui_wx
