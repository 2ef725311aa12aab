#include "addon/command_factory.h"

#include "addon_base/menu.h"
#include "loadcase/loadcase_command.h"
#include "mesh_solve/mesh_command.h"
#include "mesh_solve/show_ui_command.h"
#include "mesh_solve/solve_command.h"
#include "mesh_solve/toolbox_command.h"
#include "model/constraints_command.h"
#include "model/loads_command.h"
#include "model/material_command.h"
#include "model/restraints_command.h"
#include "results/contours_command.h"
#include "results/ogl_results_dialog.h"

namespace addon {

platform::RefPtr<CAddOnCommand> createCommand(std::int32_t id, CShowUICommand* explorer) {
    // The dialogs take their units from the library: those of the session the command starts in.
    if (explorer != nullptr && addon::isAnalysisCommand(id)) explorer->makeSessionCurrent();
    switch (id) {
        case kMenuLoadcase:
            return platform::makeRef<CLoadcaseCommand>(explorer);
        case kMenuPlot:
            return platform::makeRef<CContoursCommand>(explorer);
        case kMenuMaterials:
            return platform::makeRef<CMaterialCommand>(explorer);
        case kMenuActions:
            return platform::makeRef<CLoadsCommand>(explorer);
        case kMenuReactions:
            return platform::makeRef<CRestraintsCommand>(explorer);
        case kMenuInteractions:
            return platform::makeRef<CConstraintsCommand>(explorer);
        case kMenuMesh:
            return platform::makeRef<CMeshCommand>(explorer);
        case kMenuSolve:
            return platform::makeRef<CSolveCommand>(explorer);
        default:
            return {};
    }
}

void openToolbox(CShowUICommand& explorer, ui::Window* panel) {
    // Shown again, the explorer keeps its toolbox and moves it into the panel it is given now.
    if (auto* toolbox = dynamic_cast<CToolboxCommand*>(explorer.toolbox())) {
        toolbox->placeIn(panel);
        return;
    }
    auto toolbox = platform::makeRef<CToolboxCommand>(&explorer, panel);
    explorer.setToolbox(toolbox);
    toolbox->Start();
}

void openResultsWindow(const loadcase::Document& document) {
    CoglMFCDialogDlg window(document);
    window.DoModal();
}

ExplorerHooks explorerHooks(std::function<void(const std::string&)> ended) {
    ExplorerHooks hooks;
    hooks.openToolbox = openToolbox;
    hooks.createCommand = [](std::int32_t id, CShowUICommand& explorer) {
        return createCommand(id, &explorer);
    };
    hooks.openResultsWindow = openResultsWindow;
    hooks.ended = std::move(ended);
    return hooks;
}

}  // namespace addon
