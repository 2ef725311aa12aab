#pragma once
// The one place where the analysis commands of the menu (112 to 119) are made.
#include <cstdint>

#include "addon_base/addon_command.h"
#include "mesh_solve/show_ui_command.h"
#include "platform/ref_ptr.h"

namespace ui {
class Window;
}

namespace addon {

// A new command object for menu item `id`, owned by `explorer`; null for an id that has no
// command in this build.
platform::RefPtr<CAddOnCommand> createCommand(std::int32_t id, CShowUICommand* explorer);

// Creates the explorer's toolbox in `panel` and shows it (the workflow buttons above the tree).
void openToolbox(CShowUICommand& explorer, ui::Window* panel);

// Opens the separate results window as a modal dialog ("Plot" with "Pop-out" checked).
void openResultsWindow(const loadcase::Document& document);

// What an explorer asks of the add-on: the toolbox, the commands it starts, the results window;
// `ended` is called when the explorer ends.
ExplorerHooks explorerHooks(std::function<void(const std::string&)> ended);

}  // namespace addon
