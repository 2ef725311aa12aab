#pragma once
// The "Tarvenic" menu: item ids, texts and the order of the root's sub-items.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/automation.h"

namespace addon {

enum MenuId : std::int32_t {
    kMenuRoot = 100,
    kMenuExplorer = 101,
    kMenuHelp = 102,
    kMenuLoadcase = 112,
    kMenuMaterials = 113,
    kMenuMesh = 114,
    kMenuActions = 115,
    kMenuReactions = 116,
    kMenuInteractions = 117,
    kMenuSolve = 118,
    kMenuPlot = 119,
};

// Texts defined beside the menu's but shown by no item.
inline constexpr const char* kAboutText = "About";
inline constexpr const char* kReportsText = "Reports";

// The text of a menu item; nothing for an id outside the menu.
std::optional<std::string> menuText(std::int32_t id);

// The root's sub-items in the order the host shows them.
platform::IntArray rootSubItems();

// True for the analysis commands 112 to 119.
inline bool isAnalysisCommand(std::int32_t id) {
    return id >= kMenuLoadcase && id <= kMenuPlot;
}

}  // namespace addon
