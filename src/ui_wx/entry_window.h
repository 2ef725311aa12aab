#pragma once
// A small modal window asking for one line of text (a file's path, a print file, a colour), with
// OK and Cancel. A script answers it by typing into its edit and pressing Enter, as a person does.
#include <wx/dialog.h>

#include <string>

class wxTextCtrl;

namespace ui_wx {

class EntryWindow : public wxDialog {
  public:
    EntryWindow(wxWindow* parent, const std::string& title, const std::string& prompt, const std::string& value);

    wxTextCtrl* edit() const { return edit_; }
    std::string value() const;

  private:
    wxTextCtrl* edit_;
};

}  // namespace ui_wx
