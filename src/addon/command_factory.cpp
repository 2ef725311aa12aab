#include "addon/command_factory.h"

#include "addon/menu.h"
#include "loadcase/loadcase_command.h"
#include "results/contours_command.h"
#include "model/constraints_command.h"
#include "model/loads_command.h"
#include "model/material_command.h"
#include "model/restraints_command.h"

namespace addon {

platform::RefPtr<CAddOnCommand> createCommand(std::int32_t id, CShowUICommand* explorer) {
    switch (id) {
        case kMenuLoadcase: return platform::makeRef<CLoadcaseCommand>(explorer);
        case kMenuPlot: return platform::makeRef<CContoursCommand>(explorer);
        case kMenuMaterials: return platform::makeRef<CMaterialCommand>(explorer);
        case kMenuActions: return platform::makeRef<CLoadsCommand>(explorer);
        case kMenuReactions: return platform::makeRef<CRestraintsCommand>(explorer);
        case kMenuInteractions: return platform::makeRef<CConstraintsCommand>(explorer);
        default: return {};
    }
}

void openToolbox(CShowUICommand*, ui::Window*) {}

void refreshToolbox(CShowUICommand*) {}

bool openResultsWindow() { return false; }

}  // namespace addon
