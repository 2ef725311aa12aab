#pragma once
// A small colour chooser: a palette of basic colours, the colour as hex digits "RRGGBB" and a
// swatch of it. Built from plain wx windows so that input events can drive it.
#include <wx/colour.h>
#include <wx/dialog.h>

class wxPanel;
class wxTextCtrl;

namespace ui_wx {

class ColourDialog : public wxDialog {
  public:
    ColourDialog(wxWindow* parent, const wxColour& initial);

    wxColour colour() const { return colour_; }
    wxTextCtrl* hexField() const { return hex_; }

  private:
    void show(const wxColour& colour, bool fromField);
    wxColour colour_;
    wxTextCtrl* hex_ = nullptr;
    wxPanel* swatch_ = nullptr;
};

}  // namespace ui_wx
