#pragma once
// An open or save dialog built from wx's generic file control, so that its name field can be
// typed into and confirmed with Enter by input events (a native file chooser cannot be driven).
#include <wx/dialog.h>

class wxGenericFileCtrl;
class wxTextCtrl;

namespace ui_wx {

class FileDialog : public wxDialog {
  public:
    FileDialog(wxWindow* parent, const wxString& title, const wxString& folder, const wxString& name,
               const wxString& wildcard, bool save);

    wxString path() const;
    // The name field (a person types a name or a whole path there).
    wxTextCtrl* nameField() const;

  private:
    wxGenericFileCtrl* files_ = nullptr;
};

}  // namespace ui_wx
