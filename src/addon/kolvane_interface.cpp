#include "addon/kolvane_interface.h"

#include <new>
#include <optional>

#include "addon/command_factory.h"
#include "addon_base/guarded_call.h"
#include "addon_base/host_access.h"
#include "addon_base/library_state.h"
#include "addon_base/menu.h"
#include "addon_base/settings.h"
#include "mesh_solve/program_runs.h"
#include "mesh_solve/show_ui_command.h"
#include "platform/help_viewer.h"
#include "platform/paths.h"

using platform::kOk;
using platform::RefPtr;
using platform::Status;

namespace {
constexpr const char* kClassName = "CKolvaneInterface";
}

CKolvaneInterface::CKolvaneInterface() : subMenu_(addon::rootSubItems()) {
    explorers_.reserve(10);
}

CKolvaneInterface::~CKolvaneInterface() {
    auto& lib = addon::library();
    if (lib.addOnInterface == this) {
        lib.addOnInterface = nullptr;
        lib.handedToHost = nullptr;
    }
}

Status CKolvaneInterface::get_RootMenuItem(std::int32_t* id) {
    if (id == nullptr) return platform::kInvalidPointer;
    *id = addon::kMenuRoot;
    return kOk;
}

Status CKolvaneInterface::get_HasSubItems(std::int32_t id, platform::VariantBool* has) {
    return answerBool(has, id == addon::kMenuRoot);
}

Status CKolvaneInterface::get_SubItems(std::int32_t id, platform::IntArray* items) {
    if (items == nullptr) return platform::kInvalidPointer;
    if (id != addon::kMenuRoot) return kOk;
    try {
        *items = subMenu_;
    } catch (const std::bad_alloc&) {
        return platform::kOutOfMemory;
    }
    return kOk;
}

Status CKolvaneInterface::get_ItemText(std::int32_t id, platform::AutoString* text) {
    if (text == nullptr) return platform::kInvalidPointer;
    auto itemText = addon::menuText(id);
    if (!itemText) return kOk;
    try {
        *text = *itemText;
    } catch (const std::bad_alloc&) {
        return platform::kOutOfMemory;
    }
    return kOk;
}

Status CKolvaneInterface::OnItemHighlighted(std::int32_t) {
    return kOk;
}
Status CKolvaneInterface::OnMenuBuilt() {
    return kOk;
}
Status CKolvaneInterface::get_ItemHasToolbarButton(std::int32_t, platform::VariantBool* answer) {
    return answerBool(answer, false);
}
Status CKolvaneInterface::OnSessionOpened(const platform::AutoString&) {
    return kOk;
}
Status CKolvaneInterface::OnSessionClosed(const platform::AutoString&) {
    return kOk;
}
Status CKolvaneInterface::OnHostIdle() {
    return addon::guardedCall(kClassName, "OnHostIdle", [] { mesh_solve::programRuns().poll(); });
}

namespace {
// The program a host names by number; nothing for a number that names none.
std::optional<mesh_solve::RunProgram> runProgram(std::int32_t program) {
    if (program == static_cast<std::int32_t>(mesh_solve::RunProgram::Mesher))
        return mesh_solve::RunProgram::Mesher;
    if (program == static_cast<std::int32_t>(mesh_solve::RunProgram::Solver))
        return mesh_solve::RunProgram::Solver;
    return std::nullopt;
}
}  // namespace

Status CKolvaneInterface::get_RunActive(std::int32_t program, platform::VariantBool* active) {
    const auto which = runProgram(program);
    if (!which) return platform::kFail;
    return answerBool(active, mesh_solve::programRuns().running(*which));
}

Status CKolvaneInterface::get_RunText(std::int32_t program, platform::AutoString* text) {
    if (text == nullptr) return platform::kInvalidPointer;
    const auto which = runProgram(program);
    if (!which) return platform::kFail;
    *text = mesh_solve::programRuns().lastText(*which);
    return kOk;
}
Status CKolvaneInterface::get_Extension(const platform::Variant&, platform::IUnknown** extension) {
    if (extension == nullptr) return platform::kInvalidPointer;
    *extension = nullptr;
    return kOk;
}
Status CKolvaneInterface::get_WantsEvents(platform::VariantBool* answer) {
    return answerBool(answer, false);
}

Status CKolvaneInterface::get_MenuItemState(std::int32_t id, const platform::AutoString& session,
                                            std::int32_t* state) {
    if (state == nullptr) return platform::kInvalidPointer;
    *state = host::kItemUnavailable;
    // Help is always offered, with or without a document; without one (no session name) nothing
    // else is, and there is no session to ask the host for.
    if (id == addon::kMenuHelp) {
        *state = host::kItemAvailable;
        return kOk;
    }
    if (session.empty()) return kOk;
    return addon::guardedCall(kClassName, "get_MenuItemState", [&] {
        const bool open = explorerFor(session) != nullptr;
        if (!open) {
            // The host is asked for the session as well; the answer changes nothing here, but a
            // failing host is reported.
            std::int32_t kind = 0;
            platform::check(addon::findSession(session)->get_Kind(&kind), host::IQDSession::iid);
        }
        if (id == addon::kMenuExplorer) {
            *state = open ? host::kItemChecked : host::kItemUnchecked;
        } else if (addon::isAnalysisCommand(id)) {
            *state = open ? host::kItemAvailable : host::kItemUnavailable;
        }
    });
}

Status CKolvaneInterface::InvokeCommand(std::int32_t id, const platform::AutoString& session,
                                        host::IQuarnelAddOnCommand** command) {
    if (command == nullptr) return platform::kInvalidPointer;
    return addon::guardedCall(kClassName, "InvokeCommand", [&] {
        if (session.empty() && id != addon::kMenuHelp) return;  // no document: only Help is offered
        CShowUICommand* explorer = explorerFor(session);
        if (id == addon::kMenuExplorer) {
            openExplorer(session, command);
        } else if (id == addon::kMenuPlot && addon::library().popOutResults) {
            if (explorer != nullptr) {
                explorer->makeSessionCurrent();
                addon::openResultsWindow(explorer->document());
            }
        } else if (addon::isAnalysisCommand(id)) {
            if (explorer != nullptr) startCommand(id, explorer, command);
        } else if (id == addon::kMenuHelp) {
            openHelp();
        }
    });
}

void CKolvaneInterface::openExplorer(const std::string& session, host::IQuarnelAddOnCommand** command) {
    CShowUICommand* explorer = explorerFor(session);
    RefPtr<CShowUICommand> opened(explorer);
    if (explorer == nullptr) {
        // The explorer joins the map only once the host has answered: a failing host leaves no
        // half-made explorer behind that the menu would show as open.
        auto partSession = addon::findSession(session).query<host::IQDPartSession>();
        opened = platform::makeRef<CShowUICommand>(
            session, addon::explorerHooks([this](const std::string& name) { removeExplorer(name); }));
        explorers_[session] = opened;
        addon::library().currentPartSession = partSession;
    }
    auto asCommand = opened.require<host::IQuarnelAddOnCommand>();
    *command = asCommand.detach();
}

void CKolvaneInterface::startCommand(std::int32_t id, CShowUICommand* explorer,
                                     host::IQuarnelAddOnCommand** command) {
    auto created = addon::createCommand(id, explorer);
    if (!created) return;
    auto asCommand = created.require<host::IQuarnelAddOnCommand>();
    explorer->setCurrentCommand(asCommand);
    explorer->recordStarted(id, created);
    *command = asCommand.detach();
    created->Start();
}

void CKolvaneInterface::openHelp() {
    platform::openHelpFile(platform::joinPath(addon::readInstallFolder(), "help.chm"));
}

CShowUICommand* CKolvaneInterface::explorerFor(const std::string& session) const {
    auto it = explorers_.find(session);
    return it == explorers_.end() ? nullptr : it->second.get();
}

void CKolvaneInterface::removeExplorer(const std::string& session) {
    explorers_.erase(session);
}

void CKolvaneInterface::closeAllExplorers() {
    while (!explorers_.empty()) {
        auto it = explorers_.begin();
        RefPtr<CShowUICommand> explorer = std::move(it->second);
        explorers_.erase(it);
        RefPtr<host::IQDCommandSite> site;
        if (platform::succeeded(explorer->get_CommandSite(site.put())) && site) site->EndCommand();
        explorer->OnTerminate();
    }
}
