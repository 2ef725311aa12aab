#include "gui/menu_keys.h"

#include <wx/menu.h>
#include <wx/statusbr.h>

#include <stdexcept>

#include "gui/main_frame.h"
#include "host/addon_interfaces.h"
#include "ui_wx/input_driver.h"

namespace hostapp::gui {

namespace {

// F10 opens the first menu of the bar; the add-on's menu is the last but one. Done once it is
// on the screen.
void openAddOnMenu(MainFrame& frame) {
    frame.Raise();
    // Keys go to the window under the pointer when no window manager gives the focus.
    ui_wx::clickAt(ui_wx::centreOf(*frame.GetStatusBar()));
    ui_wx::pressKey(WXK_F10);
    for (std::size_t menu = 0; menu + 1 < frame.GetMenuBar()->GetMenuCount(); ++menu)
        ui_wx::pressKey(WXK_RIGHT);
    if (!ui_wx::pumpUntil([&frame] { return frame.addOnMenuOpen(); }))
        throw std::runtime_error("the add-on's menu did not open");
}

}  // namespace

bool openAddOnMenuAt(MainFrame& frame, std::int32_t id) {
    frame.refreshAddOnMenu();
    wxMenuItem* target = frame.addOnItem(id);
    if (target == nullptr || !target->IsEnabled()) return false;
    // A menu opened by the keys has no item highlighted: the first Down reaches the first item.
    // Greyed items are passed over.
    int downs = 1;
    for (wxMenuItem* item : frame.addOnMenu()->GetMenuItems()) {
        if (item == target) break;
        if (item->IsEnabled() && !item->IsSeparator()) ++downs;
    }
    openAddOnMenu(frame);
    for (int i = 0; i < downs; ++i) ui_wx::pressKey(WXK_DOWN);
    return true;
}

std::int32_t shownMenuState(MainFrame& frame, std::int32_t id) {
    if (frame.addOnItem(id) == nullptr) return 0;
    openAddOnMenu(frame);
    // The menu was refreshed as it opened; the item may have been made again.
    wxMenuItem* item = frame.addOnItem(id);
    std::int32_t state = host::kItemAvailable;
    if (!item->IsEnabled()) {
        state = host::kItemUnavailable;
    } else if (item->IsCheckable()) {
        state = item->IsChecked() ? host::kItemChecked : host::kItemUnchecked;
    }
    ui_wx::pressKey(WXK_ESCAPE);
    ui_wx::pressKey(WXK_ESCAPE);
    return state;
}

}  // namespace hostapp::gui
