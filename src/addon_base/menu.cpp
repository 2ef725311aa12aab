#include "addon_base/menu.h"

namespace addon {

std::optional<std::string> menuText(std::int32_t id) {
    switch (id) {
        case kMenuRoot:
            return "Tarvenic";
        case kMenuExplorer:
            return "FEM Explorer";
        case kMenuHelp:
            return "Help";
        case kMenuLoadcase:
            return "Loadcase";
        case kMenuMaterials:
            return "Attach Materials";
        case kMenuMesh:
            return "Build Mesh";
        case kMenuActions:
            return "Add Actions";
        case kMenuReactions:
            return "Add Reactions";
        case kMenuInteractions:
            return "Add Interactions";
        case kMenuSolve:
            return "Solve";
        case kMenuPlot:
            return "Plot";
        default:
            return std::nullopt;
    }
}

platform::IntArray rootSubItems() {
    return {kMenuExplorer, kMenuHelp,      kMenuLoadcase,     kMenuMesh,  kMenuMaterials,
            kMenuActions,  kMenuReactions, kMenuInteractions, kMenuSolve, kMenuPlot};
}

}  // namespace addon
