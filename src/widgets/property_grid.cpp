#include "widgets/property_grid.h"

#include <algorithm>

#include "ui/prompts.h"

namespace widgets {

namespace {

const std::vector<std::string>& noChoices() {
    static const std::vector<std::string> none;
    return none;
}

}  // namespace

// ---- building ----

PropertyHandle PropertyGrid::addSection(const std::string& title, bool collapsed) {
    Property p;
    p.handle = next_++;
    p.kind = PropertyKind::Section;
    p.label = title;
    p.collapsed = collapsed;
    properties_.push_back(std::move(p));
    sections_.push_back(properties_.back().handle);
    changed();
    return properties_.back().handle;
}

PropertyHandle PropertyGrid::addItem(PropertyHandle section, Property p) {
    Property* s = find(section);
    if (s == nullptr || s->kind != PropertyKind::Section) return kNoProperty;
    p.handle = next_++;
    p.section = section;
    s->items.push_back(p.handle);  // `s` is used before the vector grows
    properties_.push_back(std::move(p));
    changed();
    return properties_.back().handle;
}

PropertyHandle PropertyGrid::addString(PropertyHandle section, const std::string& label,
                                       const std::string& value) {
    Property p;
    p.kind = PropertyKind::String;
    p.label = label;
    p.value = value;
    return addItem(section, std::move(p));
}

PropertyHandle PropertyGrid::addCombo(PropertyHandle section, const std::string& label,
                                      std::vector<std::string> choices, int selected) {
    Property p;
    p.kind = PropertyKind::Combo;
    p.label = label;
    p.choices = std::move(choices);
    if (selected >= 0 && selected < static_cast<int>(p.choices.size())) {
        p.choice = selected;
        p.value = p.choices[selected];
    }
    return addItem(section, std::move(p));
}

PropertyHandle PropertyGrid::addFile(PropertyHandle section, const std::string& label,
                                     const std::string& value, const std::string& filter) {
    Property p;
    p.kind = PropertyKind::File;
    p.label = label;
    p.value = value;
    p.filter = filter;
    return addItem(section, std::move(p));
}

void PropertyGrid::clear() {
    properties_.clear();
    sections_.clear();
    changed();
}

// ---- reading and setting ----

const PropertyGrid::Property* PropertyGrid::find(PropertyHandle h) const {
    auto it = std::find_if(properties_.begin(), properties_.end(),
                           [h](const Property& p) { return p.handle == h; });
    return it == properties_.end() ? nullptr : &*it;
}

PropertyGrid::Property* PropertyGrid::find(PropertyHandle h) {
    return const_cast<Property*>(static_cast<const PropertyGrid*>(this)->find(h));
}

PropertyKind PropertyGrid::kind(PropertyHandle h) const {
    const Property* p = find(h);
    return p ? p->kind : PropertyKind::Section;
}

std::string PropertyGrid::label(PropertyHandle h) const {
    const Property* p = find(h);
    return p ? p->label : std::string();
}

std::string PropertyGrid::value(PropertyHandle h) const {
    const Property* p = find(h);
    return p ? p->value : std::string();
}

void PropertyGrid::setValue(PropertyHandle h, const std::string& value) {
    Property* p = find(h);
    if (p == nullptr || p->kind == PropertyKind::Section) return;
    if (p->kind == PropertyKind::Combo) {
        auto it = std::find(p->choices.begin(), p->choices.end(), value);
        p->choice = it == p->choices.end() ? -1 : static_cast<int>(it - p->choices.begin());
        p->value = p->choice >= 0 ? value : std::string();
    } else {
        p->value = value;
    }
    changed();
}

const std::vector<std::string>& PropertyGrid::choices(PropertyHandle h) const {
    const Property* p = find(h);
    return p ? p->choices : noChoices();
}

int PropertyGrid::choiceIndex(PropertyHandle h) const {
    const Property* p = find(h);
    return p ? p->choice : -1;
}

std::string PropertyGrid::filter(PropertyHandle h) const {
    const Property* p = find(h);
    return p ? p->filter : std::string();
}

PropertyHandle PropertyGrid::section(PropertyHandle h) const {
    const Property* p = find(h);
    return p ? p->section : kNoProperty;
}

std::vector<PropertyHandle> PropertyGrid::items(PropertyHandle section) const {
    const Property* p = find(section);
    return p ? p->items : std::vector<PropertyHandle>{};
}

PropertyHandle PropertyGrid::findLabel(const std::string& label) const {
    for (PropertyHandle s : sections_) {
        if (this->label(s) == label) return s;
        for (PropertyHandle i : items(s)) {
            if (this->label(i) == label) return i;
        }
    }
    return kNoProperty;
}

bool PropertyGrid::isCollapsed(PropertyHandle section) const {
    const Property* p = find(section);
    return p != nullptr && p->collapsed;
}

void PropertyGrid::setCollapsed(PropertyHandle section, bool collapsed) {
    Property* p = find(section);
    if (p == nullptr || p->kind != PropertyKind::Section) return;
    p->collapsed = collapsed;
    changed();
}

// ---- a person's actions ----

void PropertyGrid::personChanged(Property& p, std::string value) {
    p.value = std::move(value);
    const PropertyHandle h = p.handle;  // the dialog's handler may rebuild the grid
    changed();
    notifyOwner(kChangedMessage, h);
}

bool PropertyGrid::userEdit(PropertyHandle h, const std::string& value) {
    Property* p = find(h);
    if (!acceptsInput() || p == nullptr || (p->kind != PropertyKind::String && p->kind != PropertyKind::File))
        return false;
    personChanged(*p, value);
    return true;
}

bool PropertyGrid::userChoose(PropertyHandle h, int index) {
    Property* p = find(h);
    if (!acceptsInput() || p == nullptr || p->kind != PropertyKind::Combo || index < 0 ||
        index >= static_cast<int>(p->choices.size()))
        return false;
    p->choice = index;
    personChanged(*p, p->choices[index]);
    return true;
}

bool PropertyGrid::userBrowse(PropertyHandle h) {
    Property* p = find(h);
    if (!acceptsInput() || p == nullptr || p->kind != PropertyKind::File) return false;
    ui::FileRequest request;
    request.filter = p->filter;
    const auto slash = p->value.find_last_of("/\\");
    request.initialFolder = slash == std::string::npos ? std::string() : p->value.substr(0, slash);
    request.initialName = slash == std::string::npos ? p->value : p->value.substr(slash + 1);
    const auto chosen = ui::prompts().chooseFile(request);
    if (!chosen) return true;  // the dialog was shown; Cancel changes nothing
    p = find(h);               // the file dialog runs other code meanwhile
    if (p != nullptr) personChanged(*p, *chosen);
    return true;
}

bool PropertyGrid::userToggle(PropertyHandle section) {
    Property* p = find(section);
    if (!acceptsInput() || p == nullptr || p->kind != PropertyKind::Section) return false;
    p->collapsed = !p->collapsed;
    changed();
    return true;
}

std::string PropertyGrid::dump() const {
    std::string out;
    for (PropertyHandle s : sections_) {
        out += (isCollapsed(s) ? "[+] " : "[-] ") + label(s) + "\n";
        for (PropertyHandle i : items(s)) out += "  " + label(i) + " = " + value(i) + "\n";
    }
    return out;
}

}  // namespace widgets
