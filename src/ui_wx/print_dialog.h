#pragma once
// The print dialog: to the printer, to a file (PDF for a ".pdf" name, else PNG) with its path, or
// a preview of the page first. Its answer is the target the page is opened on (see wx_print_page.h
// for the printer and preview targets).
#include <wx/dialog.h>

#include <optional>
#include <string>

class wxRadioButton;
class wxTextCtrl;

namespace ui_wx {

class PrintDialog : public wxDialog {
  public:
    explicit PrintDialog(wxWindow* parent);

    // After ShowModal answered wxID_OK: the page's target path.
    std::string target() const;
    wxTextCtrl* pathField() const { return path_; }
    wxRadioButton* toFileChoice() const { return toFile_; }

  private:
    wxRadioButton* toPrinter_ = nullptr;
    wxRadioButton* toFile_ = nullptr;
    wxTextCtrl* path_ = nullptr;
    bool preview_ = false;
};

}  // namespace ui_wx
