#include "ui_wx/entry_window.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "ui_wx/wx_text.h"

namespace ui_wx {

EntryWindow::EntryWindow(wxWindow* parent, const std::string& title, const std::string& prompt,
                         const std::string& value)
    : wxDialog(parent, wxID_ANY, toWx(title), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE) {
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(new wxStaticText(this, wxID_ANY, toWx(prompt)), 0, wxALL, 8);
    edit_ = new wxTextCtrl(this, wxID_ANY, toWx(value), wxDefaultPosition, wxSize(420, -1), wxTE_PROCESS_ENTER);
    edit_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { EndModal(wxID_OK); });
    all->Add(edit_, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    all->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(all);
    edit_->SetFocus();
    if (parent != nullptr) CentreOnParent();
}

std::string EntryWindow::value() const {
    return fromWx(edit_->GetValue());
}

}  // namespace ui_wx
