#include "ui_wx/property_grid_view.h"

#include <wx/propgrid/advprops.h>
#include <wx/propgrid/propgrid.h>
#include <wx/propgrid/props.h>

#include "ui_wx/wx_text.h"

namespace ui_wx {

namespace {

using widgets::PropertyHandle;
using widgets::PropertyKind;

wxString nameOf(PropertyHandle h) {
    return wxString::Format("p%d", h);
}

// The model's filter ends in "||"; a wx wildcard is the same list without the closing bars.
wxString wildcardOf(const std::string& filter) {
    std::string w = filter;
    while (!w.empty() && w.back() == '|') w.pop_back();
    return w.empty() ? wxString("*") : toWx(w);
}

// Every section followed by its items, the order the grid shows them in.
std::vector<PropertyHandle> layoutOf(const widgets::PropertyGrid& model) {
    std::vector<PropertyHandle> out;
    for (PropertyHandle s : model.sections()) {
        out.push_back(s);
        for (PropertyHandle i : model.items(s)) out.push_back(i);
    }
    return out;
}

PropertyHandle handleOf(const wxPGProperty* p) {
    return p ? static_cast<PropertyHandle>(reinterpret_cast<std::intptr_t>(p->GetClientData())) : 0;
}

}  // namespace

PropertyGridView::PropertyGridView(wxWindow* parent, widgets::PropertyGrid& model)
    : model_(model),
      grid_(new wxPropertyGrid(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                               wxPG_SPLITTER_AUTO_CENTER | wxPG_BOLD_MODIFIED)) {
    // Labels take three fifths of the width, so that the longest with its unit ("dynamic
    // viscosity N-s/mm2") is not cut off; the values take the rest.
    grid_->SetColumnProportion(0, 3);
    grid_->SetColumnProportion(1, 2);
    grid_->Bind(wxEVT_PG_CHANGED, &PropertyGridView::onChanged, this);
    grid_->Bind(wxEVT_PG_ITEM_COLLAPSED, &PropertyGridView::onToggled, this);
    grid_->Bind(wxEVT_PG_ITEM_EXPANDED, &PropertyGridView::onToggled, this);
    sync();
}

wxWindow* PropertyGridView::window() {
    return grid_;
}

wxPGProperty* PropertyGridView::propertyOf(PropertyHandle h) const {
    return grid_->GetPropertyByName(nameOf(h));
}

void PropertyGridView::sync() {
    syncing_ = true;
    if (layoutOf(model_) != shown_) rebuild();
    showValues();
    syncing_ = false;
}

void PropertyGridView::rebuild() {
    grid_->Clear();
    shown_ = layoutOf(model_);
    for (PropertyHandle h : shown_) {
        const wxString label = toWx(model_.label(h));
        wxPGProperty* p = nullptr;
        switch (model_.kind(h)) {
            case PropertyKind::Section:
                p = new wxPropertyCategory(label, nameOf(h));
                break;
            case PropertyKind::String:
                p = new wxStringProperty(label, nameOf(h));
                break;
            case PropertyKind::Combo: {
                wxPGChoices choices;
                for (const std::string& c : model_.choices(h)) choices.Add(toWx(c));
                p = new wxEnumProperty(label, nameOf(h), choices);
                break;
            }
            case PropertyKind::File:
                p = new wxFileProperty(label, nameOf(h));
                p->SetAttribute(wxPG_FILE_WILDCARD, wildcardOf(model_.filter(h)));
                p->SetAttribute(wxPG_FILE_SHOW_FULL_PATH, true);
                break;
        }
        p->SetClientData(reinterpret_cast<void*>(static_cast<std::intptr_t>(h)));
        if (model_.kind(h) == PropertyKind::Section)
            grid_->Append(p);
        else
            grid_->AppendIn(nameOf(model_.section(h)), p);
    }
}

void PropertyGridView::showValues() {
    for (PropertyHandle h : shown_) {
        wxPGProperty* p = propertyOf(h);
        if (!p) continue;
        switch (model_.kind(h)) {
            case PropertyKind::Section:
                if (model_.isCollapsed(h) != !p->IsExpanded()) {
                    if (model_.isCollapsed(h))
                        grid_->Collapse(p);
                    else
                        grid_->Expand(p);
                }
                break;
            case PropertyKind::Combo:
                if (model_.choiceIndex(h) < 0)
                    p->SetValueToUnspecified();
                else if (p->GetValue().IsNull() || p->GetChoiceSelection() != model_.choiceIndex(h))
                    grid_->SetPropertyValue(p, static_cast<long>(model_.choiceIndex(h)));
                break;
            case PropertyKind::String:
            case PropertyKind::File:
                if (fromWx(p->GetValueAsString()) != model_.value(h))
                    grid_->SetPropertyValue(p, toWx(model_.value(h)));
                break;
        }
    }
    grid_->Refresh();
}

void PropertyGridView::onChanged(wxPropertyGridEvent& event) {
    if (syncing_) return;
    wxPGProperty* p = event.GetProperty();
    const PropertyHandle h = handleOf(p);
    if (!model_.exists(h)) return;
    // The model may refuse (a hidden or disabled control); sync shows what it holds then.
    if (model_.kind(h) == PropertyKind::Combo)
        model_.userChoose(h, p->GetChoiceSelection());
    else
        model_.userEdit(h, fromWx(p->GetValueAsString()));
    grid_->CallAfter([this] { sync(); });
}

void PropertyGridView::onToggled(wxPropertyGridEvent& event) {
    if (syncing_) return;
    const PropertyHandle h = handleOf(event.GetProperty());
    if (!model_.exists(h)) return;
    const bool collapsed = !event.GetProperty()->IsExpanded();
    if (model_.isCollapsed(h) != collapsed) model_.userToggle(h);
    grid_->CallAfter([this] { sync(); });
}

}  // namespace ui_wx
