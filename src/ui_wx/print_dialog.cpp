#include "ui_wx/print_dialog.h"

#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "ui_wx/wx_print_page.h"
#include "ui_wx/wx_text.h"

namespace ui_wx {

PrintDialog::PrintDialog(wxWindow* parent) : wxDialog(parent, wxID_ANY, "Print") {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    toPrinter_ = new wxRadioButton(this, wxID_ANY, "Printer", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    toFile_ = new wxRadioButton(this, wxID_ANY, "Print to file (PDF for a .pdf name, else PNG)");
    sizer->Add(toPrinter_, 0, wxALL, 8);
    sizer->Add(toFile_, 0, wxLEFT | wxRIGHT, 8);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, "File:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    path_ = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxSize(320, -1), wxTE_PROCESS_ENTER);
    row->Add(path_, 1, wxALIGN_CENTER_VERTICAL);
    sizer->Add(row, 0, wxEXPAND | wxALL, 8);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* preview = new wxButton(this, wxID_PREVIEW, "Pre&view");
    buttons->Add(preview, 0, wxRIGHT, 6);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, wxID_OK, "&Print"), 0, wxRIGHT, 6);
    buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
    sizer->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(sizer);

    auto update = [this] { path_->Enable(toFile_->GetValue()); };
    toPrinter_->Bind(wxEVT_RADIOBUTTON, [update](wxCommandEvent&) { update(); });
    toFile_->Bind(wxEVT_RADIOBUTTON, [this, update](wxCommandEvent&) {
        update();
        path_->SetFocus();
    });
    update();
    // Typing a path chooses the file.
    path_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) {
        if (!path_->GetValue().empty()) EndModal(wxID_OK);
    });
    preview->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        preview_ = true;
        EndModal(wxID_OK);
    });
    Bind(
        wxEVT_BUTTON,
        [this](wxCommandEvent& e) {
            if (toFile_->GetValue() && path_->GetValue().empty()) return;
            e.Skip();
        },
        wxID_OK);
}

std::string PrintDialog::target() const {
    if (preview_) return kPreviewTarget;
    if (toFile_->GetValue()) return fromWx(path_->GetValue());
    return kPrinterTarget;
}

}  // namespace ui_wx
