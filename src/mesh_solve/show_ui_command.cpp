#include "mesh_solve/show_ui_command.h"

#include "addon/guarded_call.h"
#include "addon/host_access.h"
#include "addon/kolvane_interface.h"
#include "addon/library_state.h"
#include "addon/settings.h"
#include "platform/known_folders.h"
#include "platform/paths.h"

using platform::kOk;
using platform::Status;

CShowUICommand::CShowUICommand(CKolvaneInterface* addOn, std::string sessionName)
    : CAddOnCommand(this), addOn_(addOn), sessionName_(std::move(sessionName)) {}

void CShowUICommand::setCurrentCommand(platform::RefPtr<host::IQuarnelAddOnCommand> command) {
    currentCommand_ = std::move(command);
}

void CShowUICommand::releaseCommandObjects() {
    commandObjects_[0] = nullptr;
    commandObjects_[1] = nullptr;
}

void CShowUICommand::clearSiteStatus() {
    if (site() != nullptr) platform::check(site()->ClearStatus(), host::IQDCommandSite::iid);
}

Status CShowUICommand::get_IsPersistent(platform::VariantBool* answer) { return answerBool(answer, true); }
Status CShowUICommand::get_HasPanel(platform::VariantBool* answer) { return answerBool(answer, true); }

Status CShowUICommand::OnShowUI(ui::Window* window) {
    return addon::guardedCall(className(), "OnShowUI", [&] {
        panel_ = window;
        auto session = addon::findSession(sessionName_);
        addon::takeLengthUnits(session);
        if (window == nullptr) {
            ui::showMessage("iSession=NULL");
            return;
        }
        takeSession(session);
        fixFolders();
    });
}

void CShowUICommand::takeSession(const platform::RefPtr<host::IQDSession>& session) {
    std::int32_t kind = 0;
    platform::check(session->get_Kind(&kind), host::IQDSession::iid);
    auto& lib = addon::library();
    partSession_ = kind == host::kPartSessionKind;
    if (partSession_) {
        lib.currentPartSession = session.require<host::IQDPartSession>();
    } else {
        session.require<host::IQDAssemblySession>();
    }
}

void CShowUICommand::fixFolders() {
    auto& lib = addon::library();
    std::string root = addon::readProjectsRoot();
    if (root == "notfound" || root.empty()) root = platform::joinPath(platform::documentsFolder(), "FEMprojects");
    lib.projectsRoot = root;
    lib.projectFolder = platform::joinPath(root, sessionName_);
    platform::createFolder(lib.projectsRoot);
    platform::createFolder(lib.projectFolder);
    lib.jobBasePath = platform::joinPath(lib.projectFolder, sessionName_);
    lib.meshFile = lib.jobBasePath + ".meb";
}

void CShowUICommand::terminate() {
    platform::RefPtr<CShowUICommand> keepAlive(this);  // the map may hold the last reference
    if (addOn_ != nullptr) addOn_->removeExplorer(sessionName_);
    CAddOnCommand::terminate();
    addon::library().currentPartSession = nullptr;
}
