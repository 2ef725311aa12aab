#pragma once
// The property grid's model: collapsible titled sections holding named items (editable strings,
// a combo of choices, a file path with a file-open filter). Items are reached by handle. A
// person's change of an item's value is sent to the owning dialog as message kChangedMessage with
// the item's handle as first parameter; values set by code send nothing. A window-system backend
// shows the model (a wxPropertyGrid: sections as categories, items as string, enum and file
// properties) and turns a person's edits into the user* calls.
#include <string>
#include <vector>

#include "ui/custom_widget.h"

namespace widgets {

using PropertyHandle = int;  // 0 is "no item"
inline constexpr PropertyHandle kNoProperty = 0;

enum class PropertyKind { Section, String, Combo, File };

class PropertyGrid : public ui::CustomWidget {
  public:
    // Sent to the owning dialog when a person changes an item's value (wparam: the item's handle).
    static constexpr int kChangedMessage = ui::kUserMessage + 486;

    // ---- building ----
    // Sections are shown in the order added; items in the order added to their section.
    PropertyHandle addSection(const std::string& title, bool collapsed = false);
    PropertyHandle addString(PropertyHandle section, const std::string& label, const std::string& value);
    // A combo item: `choices` with `selected` chosen (-1 for none); its value is the chosen text.
    PropertyHandle addCombo(PropertyHandle section, const std::string& label,
                            std::vector<std::string> choices, int selected);
    // A file item: a path typed or chosen in a file-open dialog with `filter`
    // ("All Files (*.*)|*.*||").
    PropertyHandle addFile(PropertyHandle section, const std::string& label, const std::string& value,
                           const std::string& filter);
    // Removes every section and item; handles are not reused.
    void clear();

    // ---- reading and setting by handle (code, no notification) ----
    bool exists(PropertyHandle h) const { return find(h) != nullptr; }
    PropertyKind kind(PropertyHandle h) const;
    std::string label(PropertyHandle h) const;
    // An item's value; "" for a section or an unknown handle.
    std::string value(PropertyHandle h) const;
    // Sets an item's value; on a combo the value chooses the choice with that text (none when absent).
    void setValue(PropertyHandle h, const std::string& value);
    const std::vector<std::string>& choices(PropertyHandle h) const;
    int choiceIndex(PropertyHandle h) const;
    std::string filter(PropertyHandle h) const;
    // The section an item stands in (kNoProperty for a section).
    PropertyHandle section(PropertyHandle h) const;
    std::vector<PropertyHandle> sections() const { return sections_; }
    std::vector<PropertyHandle> items(PropertyHandle section) const;
    // The first item or section with exactly `label`, kNoProperty when none.
    PropertyHandle findLabel(const std::string& label) const;

    bool isCollapsed(PropertyHandle section) const;
    void setCollapsed(PropertyHandle section, bool collapsed);

    // ---- what a person does; each answers false when it cannot be done ----
    // Types a value into a string or file item.
    bool userEdit(PropertyHandle h, const std::string& value);
    // Picks choice `index` of a combo item.
    bool userChoose(PropertyHandle h, int index);
    // Opens the file dialog of a file item; a chosen path becomes the value (Cancel changes nothing).
    bool userBrowse(PropertyHandle h);
    // Opens or closes a section.
    bool userToggle(PropertyHandle section);

    // Every section and item as text ("[-] General\n  Description =  \n"), for tests and scripts.
    std::string dump() const;

  private:
    struct Property {
        PropertyHandle handle = kNoProperty;
        PropertyKind kind = PropertyKind::String;
        PropertyHandle section = kNoProperty;
        std::string label;
        std::string value;
        std::vector<std::string> choices;
        int choice = -1;
        std::string filter;
        bool collapsed = false;
        std::vector<PropertyHandle> items;  // sections only
    };

    PropertyHandle addItem(PropertyHandle section, Property p);
    const Property* find(PropertyHandle h) const;
    Property* find(PropertyHandle h);
    // Stores a person's new value and tells the dialog.
    void personChanged(Property& p, std::string value);

    std::vector<Property> properties_;
    std::vector<PropertyHandle> sections_;
    PropertyHandle next_ = 1;
};

}  // namespace widgets
