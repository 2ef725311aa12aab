#include "ui_wx/message_window.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "ui_wx/wx_text.h"

namespace ui_wx {

namespace {

wxArtID artOf(ui::MessageIcon icon) {
    switch (icon) {
        case ui::MessageIcon::Information:
            return wxART_INFORMATION;
        case ui::MessageIcon::Warning:
            return wxART_WARNING;
        case ui::MessageIcon::Error:
            return wxART_ERROR;
        case ui::MessageIcon::Question:
            return wxART_QUESTION;
        case ui::MessageIcon::None:
            break;
    }
    return wxArtID();
}

}  // namespace

MessageWindow::MessageWindow(wxWindow* parent, const std::string& text, const std::string& caption,
                             ui::MessageIcon icon, ui::MessageButtons buttons)
    : wxDialog(parent, wxID_ANY, toWx(caption), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE) {
    SetName("message");
    auto* body = new wxBoxSizer(wxHORIZONTAL);
    const wxArtID art = artOf(icon);
    if (!art.empty())
        body->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX)), 0,
                  wxALL, 12);
    auto* message = new wxStaticText(this, wxID_ANY, wxString());
    message->SetLabelText(toWx(text));
    message->Wrap(420);
    body->Add(message, 1, wxALL | wxALIGN_CENTER_VERTICAL, 12);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddStretchSpacer();
    switch (buttons) {
        case ui::MessageButtons::Ok:
            addButton(row, ui::kIdOk, "OK");
            break;
        case ui::MessageButtons::OkCancel:
            addButton(row, ui::kIdOk, "OK");
            addButton(row, ui::kIdCancel, "Cancel");
            break;
        case ui::MessageButtons::YesNo:
            addButton(row, ui::kIdYes, "&Yes");
            addButton(row, ui::kIdNo, "&No");
            break;
        case ui::MessageButtons::YesNoCancel:
            addButton(row, ui::kIdYes, "&Yes");
            addButton(row, ui::kIdNo, "&No");
            addButton(row, ui::kIdCancel, "Cancel");
            break;
    }
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(body, 1, wxEXPAND);
    all->Add(row, 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(all);
    // Escape answers Cancel where there is one, else the only button there is.
    SetEscapeId(button(ui::kIdCancel) ? ui::kIdCancel : (button(ui::kIdNo) ? wxID_NONE : ui::kIdOk));
    if (parent != nullptr) CentreOnParent();
}

void MessageWindow::addButton(wxSizer* row, int answer, const wxString& label) {
    auto* b = new wxButton(this, answer, label);
    b->Bind(wxEVT_BUTTON, [this, answer](wxCommandEvent&) { EndModal(answer); });
    if (row->GetItemCount() == 1) b->SetDefault();
    row->Add(b, 0, wxLEFT, 8);
}

wxButton* MessageWindow::button(int answer) const {
    return dynamic_cast<wxButton*>(FindWindow(answer));
}

}  // namespace ui_wx
