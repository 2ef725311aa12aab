#include "mesh_solve/mesh_command.h"

#include <fstream>
#include <optional>

#include "addon_base/guarded_call.h"
#include "addon_base/host_access.h"
#include "addon_base/library_state.h"
#include "loadcase/document_command.h"
#include "loadcase/solver_input_writer.h"
#include "mesh_solve/mesh_dialog.h"
#include "mesh_solve/mesh_store.h"
#include "mesh_solve/mesher_settings.h"
#include "mesh_solve/program_launch.h"
#include "mesh_solve/solver_input_source.h"
#include "platform/host_error.h"
#include "platform/paths.h"
#include "ui/prompts.h"

namespace {

class RunLog {
  public:
    explicit RunLog(const std::string& path) : out_(path, std::ios::trunc) {}
    bool isOpen() const { return out_.is_open(); }
    void line(const char* text) { out_ << text << '\n' << std::flush; }

  private:
    std::ofstream out_;
};

// The session of the explorer; nothing when the host has no such document open.
platform::RefPtr<host::IQDSession> openSession(const loadcase::DocumentOwner& explorer) {
    try {
        return addon::findSessionOf(explorer);
    } catch (const platform::HostError&) {
        return {};
    }
}

}  // namespace

CMesh* CMeshCommand::meshDialog() const {
    return static_cast<CMesh*>(dialog());
}

void CMeshCommand::Start() {
    if (site() != nullptr) platform::check(site()->ClearStatus(), host::IQDCommandSite::iid);
    auto dialog = std::make_unique<CMesh>(this);
    CMesh* window = dialog.get();
    setDialog(std::move(dialog));
    window->create();
}

void CMeshCommand::GetNet() {
    addon::guardedCall(className(), "GetNet", [this] { run(); });
}

void CMeshCommand::run() {
    loadcase::DocumentOwner& ex = *explorer();
    const std::string stem = ex.document().jobBasePath();
    RunLog log(stem + ".log");
    if (!log.isOpen()) {
        ui::showMessage("Loadcase not found");
        return;
    }
    const std::string geometry = platform::joinPath(ex.document().projectFolder(), "dump.stp");
    const std::string mesher = mesh_solve::mesherPath();
    const std::string input = stem + ".txt";
    mesh_solve::storeCurrentFile(input);

    const auto session = openSession(ex);
    if (!session) {
        ui::showMessage("Open a File!");
        return;
    }
    const auto design = session.require<host::IQDDesignSession>();
    log.line("Session OK");

    std::int32_t exported = 0;
    platform::check(design->ExportStep(platform::AutoString(geometry), &exported),
                    host::IQDDesignSession::iid);
    if (exported != 0) {
        ui::showMessage("transfer file failure!");
        return;
    }
    log.line("stepfile created");

    const mesh_solve::MesherSettings settings = meshDialog()->settings();
    mesh_solve::libraryMesh().setNodesPerElement(mesh_solve::nodesPerElement(settings));
    ex.document().replaceSectionEntry(mesh_solve::mesherParameterLine(settings), model::kKindMesherParameters,
                                      false);
    log.line("mesh params written");

    // A refused input (the host's bodies could not be read) would only feed the mesher a wrong model.
    if (loadcase::writeSolverInput(mesh_solve::solverInputSource(ex), std::nullopt) != 0) return;
    log.line("loadcase file written");
    log.line("calling mesher");
    if (platform::pathExists(mesher)) {
        log.line("mesher found");
        const mesh_solve::RunJob job{stem, ex.document().projectFolder(), ex.document().loadcaseName()};
        if (mesh_solve::launchProgram(mesh_solve::RunProgram::Mesher, mesher, input, job) ==
            mesh_solve::LaunchResult::Started)
            log.line("mesher finished");
    } else {
        ui::showMessage("cannot find mesher -> re-install");
    }
    log.line("current dir reset");
}
