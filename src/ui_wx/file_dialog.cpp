#include "ui_wx/file_dialog.h"

#include <wx/button.h>
#include <wx/filectrl.h>
#include <wx/filename.h>
#include <wx/generic/filectrlg.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

namespace ui_wx {

namespace {

wxTextCtrl* findTextCtrl(wxWindow* window) {
    for (wxWindow* child : window->GetChildren()) {
        if (auto* text = dynamic_cast<wxTextCtrl*>(child)) return text;
        if (auto* found = findTextCtrl(child)) return found;
    }
    return nullptr;
}

}  // namespace

FileDialog::FileDialog(wxWindow* parent, const wxString& title, const wxString& folder, const wxString& name,
                       const wxString& wildcard, bool save)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    const wxString dir = folder.empty() || !wxDirExists(folder) ? wxGetCwd() : folder;
    files_ = new wxGenericFileCtrl(this, wxID_ANY, dir, name, wildcard.empty() ? wxString("*") : wildcard,
                                   (save ? wxFC_SAVE : wxFC_OPEN) | wxFC_NOSHOWHIDDEN, wxDefaultPosition,
                                   wxSize(560, 340));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(files_, 1, wxEXPAND | wxALL, 8);
    sizer->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(sizer);
    if (auto* ok = dynamic_cast<wxButton*>(FindWindow(wxID_OK))) ok->SetLabel(save ? "&Save" : "&Open");

    // Enter in the name field (or a double click on a file) confirms the dialog.
    files_->Bind(wxEVT_FILECTRL_FILEACTIVATED, [this](wxFileCtrlEvent&) { EndModal(wxID_OK); });
    Bind(
        wxEVT_BUTTON,
        [this](wxCommandEvent&) {
            if (!nameField()->GetValue().empty()) EndModal(wxID_OK);
        },
        wxID_OK);
    if (wxTextCtrl* field = nameField()) field->SetFocus();
}

wxTextCtrl* FileDialog::nameField() const {
    return findTextCtrl(files_);
}

wxString FileDialog::path() const {
    const wxString typed = nameField()->GetValue();
    if (wxIsAbsolutePath(typed)) return typed;
    wxFileName name(files_->GetDirectory(), typed.empty() ? files_->GetFilename() : typed);
    return name.GetFullPath();
}

}  // namespace ui_wx
