#include "ui_wx/colour_dialog.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace ui_wx {

namespace {

// Two rows of basic colours.
constexpr unsigned long kPalette[] = {0x000000, 0x808080, 0x800000, 0x808000, 0x008000, 0x008080,
                                      0x000080, 0x800080, 0xFFFFFF, 0xC0C0C0, 0xFF0000, 0xFFFF00,
                                      0x00FF00, 0x00FFFF, 0x0000FF, 0xFF00FF};

wxColour fromRgb(unsigned long rgb) {
    return wxColour((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

wxString hexOf(const wxColour& c) {
    return wxString::Format("%02X%02X%02X", c.Red(), c.Green(), c.Blue());
}

}  // namespace

ColourDialog::ColourDialog(wxWindow* parent, const wxColour& initial)
    : wxDialog(parent, wxID_ANY, "Colour"), colour_(initial) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* palette = new wxGridSizer(2, 8, 4, 4);
    for (unsigned long rgb : kPalette) {
        auto* cell = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(22, 22), wxBORDER_SIMPLE);
        cell->SetBackgroundColour(fromRgb(rgb));
        cell->Bind(wxEVT_LEFT_DOWN, [this, rgb](wxMouseEvent&) { show(fromRgb(rgb), false); });
        palette->Add(cell);
    }
    sizer->Add(palette, 0, wxALL, 8);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, "Hex (RRGGBB):"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    hex_ =
        new wxTextCtrl(this, wxID_ANY, hexOf(initial), wxDefaultPosition, wxSize(90, -1), wxTE_PROCESS_ENTER);
    row->Add(hex_, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    swatch_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(48, 24), wxBORDER_SIMPLE);
    swatch_->SetBackgroundColour(initial);
    row->Add(swatch_, 0, wxALIGN_CENTER_VERTICAL);
    sizer->Add(row, 0, wxLEFT | wxRIGHT, 8);
    sizer->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(sizer);

    hex_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        unsigned long rgb = 0;
        const wxString digits = hex_->GetValue().Trim().Trim(false);
        if (digits.length() == 6 && digits.ToULong(&rgb, 16)) show(fromRgb(rgb), true);
    });
    hex_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { EndModal(wxID_OK); });
}

void ColourDialog::show(const wxColour& colour, bool fromField) {
    colour_ = colour;
    swatch_->SetBackgroundColour(colour);
    swatch_->Refresh();
    if (!fromField) hex_->ChangeValue(hexOf(colour));
}

}  // namespace ui_wx
