#pragma once
// The one place where the analysis commands of the menu (112 to 119) are made.
#include <cstdint>

#include "addon/addon_command.h"
#include "platform/ref_ptr.h"

class CShowUICommand;
namespace ui {
class Window;
}

namespace addon {

// A new command object for menu item `id`, owned by `explorer`; null for an id that has no
// command in this build.
platform::RefPtr<CAddOnCommand> createCommand(std::int32_t id, CShowUICommand* explorer);

// Creates the explorer's toolbox in `panel` and shows it (the workflow buttons above the tree).
void openToolbox(CShowUICommand* explorer, ui::Window* panel);

// Asks the explorer's toolbox to show the current loadcase again.
void refreshToolbox(CShowUICommand* explorer);

// Opens the separate results window as a modal dialog ("Plot" with "Pop-out" checked). Answers
// false when this build has no results window.
bool openResultsWindow();

}  // namespace addon
