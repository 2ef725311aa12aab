#include "program/widget_actions.h"

#include <stdexcept>

#include "ui/dialog.h"
#include "widgets/editable_grid.h"
#include "widgets/property_grid.h"

namespace hostapp {

namespace {

template <typename W>
W& findWidget(const ui::Dialog& dialog, const char* what) {
    for (int id : dialog.controlIds()) {
        if (dialog.control(id).kind() != ui::ControlKind::Custom) continue;
        if (auto* widget = dynamic_cast<W*>(dialog.widget(id))) return *widget;
    }
    throw std::runtime_error("dialog \"" + dialog.windowText() + "\" has no " + what);
}

}  // namespace

void setProperty(ui::Dialog& dialog, const std::string& label, const std::string& value) {
    auto& grid = findWidget<widgets::PropertyGrid>(dialog, "property grid");
    const widgets::PropertyHandle item = grid.findLabel(label);
    if (item == widgets::kNoProperty || grid.kind(item) == widgets::PropertyKind::Section)
        throw std::runtime_error("the property grid has no item \"" + label + "\"");
    bool done = false;
    if (grid.kind(item) == widgets::PropertyKind::Combo) {
        const auto& choices = grid.choices(item);
        int index = -1;
        for (std::size_t i = 0; i < choices.size(); ++i) {
            if (choices[i] == value) index = static_cast<int>(i);
        }
        if (index < 0) {
            try {
                std::size_t used = 0;
                index = std::stoi(value, &used);
                if (used != value.size()) index = -1;
            } catch (const std::exception&) {
                index = -1;
            }
        }
        if (index < 0) throw std::runtime_error("\"" + label + "\" has no choice \"" + value + "\"");
        done = grid.userChoose(item, index);
    } else {
        done = grid.userEdit(item, value);
    }
    if (!done) throw std::runtime_error("\"" + label + "\" cannot take \"" + value + "\" now");
}

void editCell(ui::Dialog& dialog, int row, int column, const std::string& text) {
    auto& grid = findWidget<widgets::EditableGrid>(dialog, "grid");
    if (!grid.userEditCell(row, column, text))
        throw std::runtime_error("cell " + std::to_string(row) + " " + std::to_string(column) +
                                 " cannot take text");
}

void focusCell(ui::Dialog& dialog, int row, int column) {
    auto& grid = findWidget<widgets::EditableGrid>(dialog, "grid");
    if (!grid.userClickCell(row, column))
        throw std::runtime_error("cell " + std::to_string(row) + " " + std::to_string(column) +
                                 " cannot take the focus");
}

std::optional<std::string> widgetDump(const ui::Dialog& dialog, int id) {
    if (dialog.control(id).kind() != ui::ControlKind::Custom) return std::nullopt;
    if (auto* grid = dynamic_cast<widgets::PropertyGrid*>(dialog.widget(id))) return grid->dump();
    if (auto* grid = dynamic_cast<widgets::EditableGrid*>(dialog.widget(id))) return grid->dump();
    return std::nullopt;
}

}  // namespace hostapp
