#pragma once
// A person's keyboard on the add-on's menu of the main window, as scripts in the GUI drive it:
// the menu opened with F10 and the arrow keys, an item reached with Down, its state read off the
// opened menu.
#include <cstdint>

namespace hostapp::gui {

class MainFrame;

// Opens the add-on's menu with the keyboard and moves to item `id`; Enter then picks it. False
// when the item is absent or greyed.
bool openAddOnMenuAt(MainFrame& frame, std::int32_t id);
// Opens the add-on's menu with the keyboard and reads the state item `id` shows there (as
// host::MenuItemState), then closes the menu; 0 when the item is absent.
std::int32_t shownMenuState(MainFrame& frame, std::int32_t id);

}  // namespace hostapp::gui
