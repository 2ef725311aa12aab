#include "ui_wx/dialog_view.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/listbox.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include "render/builtin_textures.h"
#include "ui/dialog.h"
#include "ui_wx/wx_backend.h"
#include "ui_wx/wx_text.h"

namespace ui_wx {

namespace {

wxPoint positionOf(const ui::Rect& r) {
    return {r.left, r.top};
}

wxSize sizeOf(const ui::Rect& r) {
    return {std::max(r.width(), 1), std::max(r.height(), 1)};
}

// The template's id as a wx window id (0 is the "no id" of static texts).
wxWindowID windowId(int id) {
    return id == 0 ? wxID_ANY : id;
}

bool hasStyle(const ui::Control& c, unsigned style) {
    return (c.tmpl.style & style) != 0;
}

// A press on a control of a window that does not have the keys makes that window the active one
// first: without a window manager nothing else would, and what the person then types would go to
// the window that had them (the main window after a click in the view). The press goes on to the
// control, which takes the focus inside its window as usual.
void takeKeysOnPress(wxWindow& w) {
    w.Bind(wxEVT_LEFT_DOWN, [&w](wxMouseEvent& event) {
        auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(&w));
        if (top != nullptr && !top->IsActive()) top->Raise();
        event.Skip();
    });
    for (wxWindow* child : w.GetChildren()) takeKeysOnPress(*child);
}

}  // namespace

DialogView::DialogView(ui::Dialog& dialog, wxWindow* container, std::function<void()> acted)
    : dialog_(dialog), container_(container), acted_(std::move(acted)) {
    build();
    sync(0);
}

DialogView::~DialogView() = default;

void DialogView::build() {
    // Group boxes first, so that the controls inside them are drawn above their frames; the
    // others in the template's order, which is the tab order.
    // Labels and frames often share one id (or none); only a control whose id is its own can be
    // reached by code, the others show their template's text.
    std::map<int, int> uses;
    for (const ui::Control& c : dialog_.controls()) ++uses[c.id()];
    for (int pass = 0; pass < 2; ++pass) {
        for (const ui::Control& c : dialog_.controls()) {
            if ((c.kind() == ui::ControlKind::GroupBox) != (pass == 0)) continue;
            wxWindow* w = makeControl(c);
            if (w == nullptr) continue;
            takeKeysOnPress(*w);
            if (c.id() > 0 && uses[c.id()] == 1) {
                windows_[c.id()] = w;
                bindEvents(c, w);
            } else {
                syncing_ = true;
                syncControl(c, w);
                syncing_ = false;
            }
        }
    }
}

void DialogView::focusFirstControl() {
    for (const ui::Control& c : dialog_.controls()) {
        if (c.kind() == ui::ControlKind::Static || c.kind() == ui::ControlKind::GroupBox) continue;
        if (c.kind() == ui::ControlKind::ListBox && c.selection < 0) continue;
        auto it = windows_.find(c.id());
        if (it == windows_.end()) continue;
        wxWindow* w = it->second;
        if (!w->IsShown() || !w->IsEnabled() || !w->AcceptsFocus()) continue;
        w->SetFocus();
        return;
    }
}

wxWindow* DialogView::makeControl(const ui::Control& c) {
    const wxPoint at = positionOf(c.tmpl.rect);
    const wxSize size = sizeOf(c.tmpl.rect);
    const wxWindowID id = windowId(c.id());
    switch (c.kind()) {
        case ui::ControlKind::Static: {
            if (c.tmpl.icon != 0) return makePicture(c);
            auto* text = new wxStaticText(container_, id, wxString(), at, size, wxST_NO_AUTORESIZE);
            return text;
        }
        case ui::ControlKind::GroupBox:
            return new wxStaticBox(container_, id, toWx(c.text), at, size);
        case ui::ControlKind::Edit: {
            long style = 0;
            if (hasStyle(c, ui::kStyleMultiLine)) style |= wxTE_MULTILINE;
            if (hasStyle(c, ui::kStylePassword)) style |= wxTE_PASSWORD;
            if (hasStyle(c, ui::kStyleReadOnly)) style |= wxTE_READONLY;
            return new wxTextCtrl(container_, id, wxString(), at, size, style);
        }
        case ui::ControlKind::Button:
            return makeButton(c);
        case ui::ControlKind::CheckBox:
            return new wxCheckBox(container_, id, toWx(c.text), at, size);
        case ui::ControlKind::Radio:
            return makeRadio(c);
        case ui::ControlKind::ListBox:
            return new wxListBox(container_, id, at, size, 0, nullptr, wxLB_SINGLE);
        case ui::ControlKind::ComboBox:
            return new wxComboBox(container_, id, wxString(), at, size, 0, nullptr,
                                  wxCB_DROPDOWN | wxCB_READONLY);
        case ui::ControlKind::Slider:
            return new wxSlider(container_, id, c.position, c.rangeMin, std::max(c.rangeMax, c.rangeMin + 1),
                                at, size, hasStyle(c, ui::kStyleVertical) ? wxSL_VERTICAL : wxSL_HORIZONTAL);
        case ui::ControlKind::Custom: {
            auto view = makeWidgetView(container_, dialog_, c.id());
            if (view == nullptr) {
                // A control no view knows yet stays an empty framed area of its size.
                return new wxPanel(container_, id, at, size, wxBORDER_SUNKEN);
            }
            wxWindow* w = view->window();
            w->SetPosition(at);
            w->SetSize(size);
            widgetViews_[c.id()] = std::move(view);
            return w;
        }
    }
    return nullptr;
}

wxWindow* DialogView::makeButton(const ui::Control& c) {
    const wxWindowID id = windowId(c.id());
    auto* button = new wxButton(container_, id, toWx(c.text), positionOf(c.tmpl.rect), sizeOf(c.tmpl.rect));
    if (c.tmpl.icon != 0) {
        const wxBitmap icon = iconBitmap(c.tmpl.icon);
        if (icon.IsOk()) {
            button->SetBitmap(icon, wxLEFT);
            button->SetBitmapMargins(6, 0);
            button->SetToolTip(toWx(c.text));
        }
    }
    if (hasStyle(c, ui::kStyleDefault)) button->SetDefault();
    return button;
}

wxWindow* DialogView::makeRadio(const ui::Control& c) {
    // GTK keeps one button of a group on. Each group starts with a hidden button of its own that
    // is on while none of the dialog's buttons is, so that a group with no choice yet shows none.
    if (hasStyle(c, ui::kStyleGroup) || groupStart_ == nullptr) {
        groupStart_ = new wxRadioButton(container_, wxID_ANY, wxString(), positionOf(c.tmpl.rect),
                                        wxDefaultSize, wxRB_GROUP);
        groupStart_->Hide();
        groupStart_->SetValue(true);
    }
    if (c.id() > 0) noChoiceButtons_[c.id()] = groupStart_;
    return new wxRadioButton(container_, windowId(c.id()), toWx(c.text), positionOf(c.tmpl.rect),
                             sizeOf(c.tmpl.rect));
}

bool DialogView::groupHasChoice(const wxRadioButton* noChoice) const {
    for (const auto& [id, start] : noChoiceButtons_)
        if (start == noChoice && dialog_.control(id).checked) return true;
    return false;
}

wxWindow* DialogView::makePicture(const ui::Control& c) {
    // The add-on's bitmaps are its built-in colour bars and mesh texture.
    const auto kind = static_cast<render::BuiltInTexture>(c.tmpl.icon);
    const render::TexturePixels pixels = render::builtInTexturePixels(kind);
    wxBitmap bitmap;
    if (pixels.width > 0 && pixels.height > 0) {
        wxImage image(pixels.width, pixels.height);
        for (int y = 0; y < pixels.height; ++y)
            for (int x = 0; x < pixels.width; ++x) {
                const render::Argb p = pixels.at(x, y);
                image.SetRGB(x, y, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            }
        const wxSize size = sizeOf(c.tmpl.rect);
        bitmap = wxBitmap(image.Scale(std::max(1, size.x), std::max(1, size.y), wxIMAGE_QUALITY_NEAREST));
    }
    return new wxStaticBitmap(container_, windowId(c.id()), bitmap, positionOf(c.tmpl.rect),
                              sizeOf(c.tmpl.rect));
}

void DialogView::act(const std::function<void()>& action) {
    if (syncing_) return;
    // The action may destroy the dialog and retire this view; the hook outlives it.
    const std::function<void()> hook = acted_;
    action();
    if (hook) hook();
}

void DialogView::bindEvents(const ui::Control& c, wxWindow* w) {
    const int id = c.id();
    ui::Dialog& d = dialog_;
    switch (c.kind()) {
        case ui::ControlKind::Button:
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::Radio:
            w->Bind(wxEVT_BUTTON, [this, &d, id](wxCommandEvent&) { act([&d, id] { d.userClick(id); }); });
            w->Bind(wxEVT_CHECKBOX, [this, &d, id](wxCommandEvent&) { act([&d, id] { d.userClick(id); }); });
            w->Bind(wxEVT_RADIOBUTTON,
                    [this, &d, id](wxCommandEvent&) { act([&d, id] { d.userClick(id); }); });
            break;
        case ui::ControlKind::Edit:
            w->Bind(wxEVT_TEXT, [this, &d, id, w](wxCommandEvent&) {
                const std::string text = fromWx(static_cast<wxTextCtrl*>(w)->GetValue());
                if (text != d.text(id)) act([&d, id, text] { d.userType(id, text); });
            });
            break;
        case ui::ControlKind::ListBox:
            w->Bind(wxEVT_LISTBOX, [this, &d, id](wxCommandEvent& e) {
                const int index = e.GetSelection();
                act([&d, id, index] { d.userChoose(id, index); });
            });
            w->Bind(wxEVT_LISTBOX_DCLICK, [this, &d, id](wxCommandEvent& e) {
                const int index = e.GetSelection();
                act([&d, id, index] { d.userDoubleClick(id, index); });
            });
            break;
        case ui::ControlKind::ComboBox:
            w->Bind(wxEVT_COMBOBOX, [this, &d, id](wxCommandEvent& e) {
                const int index = e.GetSelection();
                act([&d, id, index] { d.userChoose(id, index); });
            });
            w->Bind(wxEVT_TEXT, [this, &d, id, w](wxCommandEvent&) {
                auto* box = static_cast<wxComboBox*>(w);
                const std::string text = fromWx(box->GetValue());
                // Choosing an item changes the text too; that change is the choice, not typing.
                if (box->GetSelection() == wxNOT_FOUND && text != d.text(id))
                    act([&d, id, text] { d.userType(id, text); });
            });
            break;
        case ui::ControlKind::Slider: {
            const std::pair<wxEventTypeTag<wxScrollEvent>, int> codes[] = {
                {wxEVT_SCROLL_LINEUP, ui::kScrollLineUp},
                {wxEVT_SCROLL_LINEDOWN, ui::kScrollLineDown},
                {wxEVT_SCROLL_PAGEUP, ui::kScrollPageUp},
                {wxEVT_SCROLL_PAGEDOWN, ui::kScrollPageDown},
                {wxEVT_SCROLL_THUMBTRACK, ui::kScrollThumbTrack},
                {wxEVT_SCROLL_THUMBRELEASE, ui::kScrollThumbPosition},
                {wxEVT_SCROLL_TOP, ui::kScrollTop},
                {wxEVT_SCROLL_BOTTOM, ui::kScrollBottom},
                {wxEVT_SCROLL_CHANGED, ui::kScrollEnd}};
            for (const auto& [type, code] : codes) {
                const int scrollCode = code;
                w->Bind(type, [this, id, scrollCode](wxScrollEvent& e) { onScroll(id, e, scrollCode); });
            }
            break;
        }
        case ui::ControlKind::Static:
        case ui::ControlKind::GroupBox:
        case ui::ControlKind::Custom:
            break;
    }
}

void DialogView::onScroll(int id, wxScrollEvent& event, int code) {
    const int position = event.GetPosition();
    if (code == ui::kScrollEnd && position == dialog_.position(id)) return;
    act([this, id, position, code] { dialog_.userSlide(id, position, code); });
}

wxWindow* DialogView::controlWindow(int id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second;
}

void DialogView::sync(int id) {
    syncing_ = true;
    if (id == 0) {
        for (const auto& [controlId, w] : windows_) syncControl(dialog_.control(controlId), w);
    } else if (wxWindow* w = controlWindow(id)) {
        syncControl(dialog_.control(id), w);
    }
    syncing_ = false;
}

void DialogView::syncControl(const ui::Control& c, wxWindow* w) {
    if (w->IsShown() != c.visible) w->Show(c.visible);
    if (w->IsEnabled() != c.enabled) w->Enable(c.enabled);
    const wxString text = toWx(c.text);
    switch (c.kind()) {
        case ui::ControlKind::Static:
            if (hasStyle(c, ui::kStyleNoPrefix)) {
                static_cast<wxStaticText*>(w)->SetLabelText(text);
            } else {
                w->SetLabel(text);
            }
            break;
        case ui::ControlKind::GroupBox:
        case ui::ControlKind::Button:
            if (w->GetLabel() != text) w->SetLabel(text);
            break;
        case ui::ControlKind::CheckBox:
            if (w->GetLabel() != text) w->SetLabel(text);
            static_cast<wxCheckBox*>(w)->SetValue(c.checked);
            break;
        case ui::ControlKind::Radio:
            if (w->GetLabel() != text) w->SetLabel(text);
            // Only a check is passed on: GTK unchecks the others of the group itself. A group that
            // has lost its choice turns its hidden button on.
            if (c.checked) {
                static_cast<wxRadioButton*>(w)->SetValue(true);
            } else if (auto it = noChoiceButtons_.find(c.id());
                       it != noChoiceButtons_.end() && !groupHasChoice(it->second)) {
                it->second->SetValue(true);
            }
            break;
        case ui::ControlKind::Edit: {
            auto* edit = static_cast<wxTextCtrl*>(w);
            if (edit->GetValue() != text) edit->ChangeValue(text);
            break;
        }
        case ui::ControlKind::ListBox:
        case ui::ControlKind::ComboBox:
            syncItems(c, w);
            break;
        case ui::ControlKind::Slider: {
            auto* slider = static_cast<wxSlider*>(w);
            if (slider->GetMin() != c.rangeMin || slider->GetMax() != c.rangeMax)
                slider->SetRange(c.rangeMin, std::max(c.rangeMax, c.rangeMin + 1));
            if (slider->GetValue() != c.position) slider->SetValue(c.position);
            break;
        }
        case ui::ControlKind::Custom:
            if (auto it = widgetViews_.find(c.id()); it != widgetViews_.end()) it->second->sync();
            break;
    }
}

void DialogView::syncItems(const ui::Control& c, wxWindow* w) {
    auto* items = dynamic_cast<wxItemContainer*>(w);
    bool same = static_cast<std::size_t>(items->GetCount()) == c.items.size();
    for (std::size_t i = 0; same && i < c.items.size(); ++i)
        same = items->GetString(static_cast<unsigned>(i)) == toWx(c.items[i]);
    if (!same) {
        wxArrayString texts;
        for (const auto& item : c.items) texts.Add(toWx(item));
        items->Set(texts);
    }
    if (c.kind() == ui::ControlKind::ListBox) {
        auto* list = static_cast<wxListBox*>(w);
        if (list->GetSelection() != c.selection) {
            if (c.selection < 0) {
                list->SetSelection(wxNOT_FOUND);
            } else {
                list->SetSelection(c.selection);
            }
        }
        return;
    }
    auto* combo = static_cast<wxComboBox*>(w);
    if (c.selection >= 0) {
        if (combo->GetSelection() != c.selection) combo->SetSelection(c.selection);
    } else if (combo->GetValue() != toWx(c.text)) {
        combo->ChangeValue(toWx(c.text));
    }
}

}  // namespace ui_wx
