#pragma once
// A person's actions on the dialogs' custom widgets (property grid, editable grid), found among
// the dialog's Custom controls. Each throws std::runtime_error when the dialog has no such
// widget or the widget cannot take the action.
#include <optional>
#include <string>

namespace ui {
class Dialog;
}

namespace hostapp {

// The property grid item with `label` takes `value`: a combo item the choice with that text (or
// that index), a text or file item the typed text.
void setProperty(ui::Dialog& dialog, const std::string& label, const std::string& value);
// Types `text` into a cell of the editable grid.
void editCell(ui::Dialog& dialog, int row, int column, const std::string& text);
// Clicks a cell of the editable grid.
void focusCell(ui::Dialog& dialog, int row, int column);
// The contents of the custom widget under `id` as text; nothing when there is none.
std::optional<std::string> widgetDump(const ui::Dialog& dialog, int id);

}  // namespace hostapp
