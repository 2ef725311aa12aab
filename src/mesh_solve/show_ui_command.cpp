#include "mesh_solve/show_ui_command.h"

#include "addon/command_factory.h"
#include "addon/guarded_call.h"
#include "addon/host_access.h"
#include "addon/kolvane_interface.h"
#include "addon/library_state.h"
#include "addon/settings.h"
#include "loadcase/loadcase_file.h"
#include "platform/known_folders.h"
#include "platform/paths.h"
#include "ui/prompts.h"
#include "widgets/text_entry_dlg.h"

using platform::kOk;
using platform::Status;

namespace {

constexpr const char* kSectionNames[CShowUICommand::kSectionCount] = {
    "Loadcase", "Materials", "Mesh Sizes", "Actions", "Reactions", "Interactions", "Tables", "Solve Parameters"};

bool isShownKind(model::EntryKind kind) { return kind < CShowUICommand::kSectionCount; }

}  // namespace

CShowUICommand::CShowUICommand(CKolvaneInterface* addOn, std::string sessionName)
    : CAddOnCommand(this), addOn_(addOn), sessionName_(std::move(sessionName)) {
    tree_.onContextMenu([this](ui::TreeItem item) { showContextMenu(item); });
}

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

// ---- showing ----

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
        addon::openToolbox(this, window);
        fixFolders();
        placeTree(window);
        rebuildSections();
        load();
        fillTree();
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

void CShowUICommand::placeTree(ui::Window* window) {
    if (auto* panel = dynamic_cast<ui::Panel*>(window)) panel->addChild(kTreeId, &tree_);
}

// ---- entries ----

std::string CShowUICommand::loadcaseFilePath() const {
    const auto& lib = addon::library();
    if (lib.jobBasePath.empty()) return platform::joinPath(lib.projectFolder, sessionName_) + ".api_fem";
    return lib.jobBasePath + ".api_fem";
}

ui::TreeItem CShowUICommand::sectionItem(model::EntryKind kind) const {
    return isShownKind(kind) ? sections_[kind] : ui::kTreeRoot;
}

void CShowUICommand::addEntry(const Bytes& bodyKey, const Bytes& entityKey, const std::string& text,
                              model::EntryKind kind) {
    const auto outcome = entries_.add(bodyKey, entityKey, text, kind);
    if (outcome == loadcase::EntryList::AddOutcome::AddedNewText && isShownKind(kind))
        tree_.insertItem(text, static_cast<int>(kind), sections_[kind]);
    if (outcome != loadcase::EntryList::AddOutcome::Duplicate) save();
}

void CShowUICommand::replaceSectionEntry(const std::string& text, model::EntryKind kind, bool show) {
    entries_.replaceKind(text, kind);
    if (show && isShownKind(kind)) {
        for (ui::TreeItem child : tree_.children(sections_[kind])) tree_.deleteItem(child);
        tree_.insertItem(text, static_cast<int>(kind), sections_[kind]);
    }
    save();
}

void CShowUICommand::removeKind(model::EntryKind kind) {
    while (!entries_.indicesOfKind(kind).empty()) entries_.removeAt(entries_.indicesOfKind(kind).front());
    if (isShownKind(kind)) {
        for (ui::TreeItem child : tree_.children(sections_[kind])) tree_.deleteItem(child);
    }
}

void CShowUICommand::save() {
    const std::string path = loadcaseFilePath();
    if (!damagedFile_.empty() && damagedFile_ == path && !keepDamagedFile()) return;
    loadcase::LoadcaseFile::save(path, entries_);  // a file that cannot be written is not saved
}

bool CShowUICommand::keepDamagedFile() {
    const auto result = loadcase::LoadcaseFile::setAsideDamaged(damagedFile_);
    if (!result.ok() && platform::pathExists(damagedFile_)) {
        ui::showMessage("The damaged loadcase file " + damagedFile_ + " could not be moved aside (" + result.error +
                        "); the loadcase is not saved.");
        return false;
    }
    damagedFile_.clear();
    return true;
}

void CShowUICommand::loadFrom(const std::string& path) {
    if (!entries_.empty()) return;
    auto result = loadcase::LoadcaseFile::load(path);
    if (result.ok()) {
        entries_ = std::move(result.entries);
    } else if (result.outcome == loadcase::LoadResult::Outcome::Damaged) {
        damagedFile_ = path;
        ui::showMessage(result.error + "\nThe file is kept as " + path +
                        ".damaged before anything is saved in its place.");
    }
}

// ---- tree ----

void CShowUICommand::rebuildSections() {
    tree_.deleteAllItems();
    for (int i = 0; i < kSectionCount; ++i) sections_[i] = tree_.insertItem(kSectionNames[i], i);
}

void CShowUICommand::fillTree() {
    for (const auto& entry : entries_) {
        const auto kind = entry.data().kind();
        if (kind < model::kKindMaterial || kind > model::kKindSolveParameters) continue;
        const std::string text = entry.data().text();
        if (tree_.findChild(sections_[kind], text) == ui::kTreeRoot)
            tree_.insertItem(text, static_cast<int>(kind), sections_[kind]);
    }
}

void CShowUICommand::showContextMenu(ui::TreeItem item) {
    if (item == ui::kTreeRoot) return;
    tree_.selectItem(item);
    const int choice = ui::prompts().popupMenu({{kMenuModify, "Modify"}, {kMenuDelete, "Delete"}});
    try {
        if (choice == kMenuModify) modifyLine(item);
        if (choice == kMenuDelete) deleteLine(item);
    } catch (...) {
        ui::showMessage(addon::exceptionMessage(className(), choice == kMenuModify ? "OnModify" : "OnDelete"));
    }
}

void CShowUICommand::modifyLine(ui::TreeItem item) {
    const std::string oldText = tree_.itemText(item);
    CTextEntryDlg entry;
    if (entry.Run(panel_, "Modify Data", "NB: don't delete the 1st character (f,e,v) or the = sign", oldText) !=
        ui::kIdOk)
        return;
    tree_.setItemText(item, entry.text());
    entries_.renameText(oldText, entry.text());
    save();
}

void CShowUICommand::deleteLine(ui::TreeItem item) {
    if (tree_.parent(item) == ui::kTreeRoot) {
        // A section line loses its lines; its entries stay in the list and the file.
        for (ui::TreeItem child : tree_.children(item)) tree_.deleteItem(child);
    } else {
        const std::string text = tree_.itemText(item);
        tree_.deleteItem(item);
        entries_.removeText(text);
    }
    clearSiteStatus();
    save();
}

// ---- end ----

void CShowUICommand::terminate() {
    platform::RefPtr<CShowUICommand> keepAlive(this);  // the map may hold the last reference
    if (addOn_ != nullptr) addOn_->removeExplorer(sessionName_);
    if (auto* panel = dynamic_cast<ui::Panel*>(panel_)) panel->removeChild(kTreeId);
    tree_.deleteAllItems();
    if (auto toolbox = std::move(toolbox_)) toolbox->OnTerminate();
    CAddOnCommand::terminate();
    addon::library().currentPartSession = nullptr;
}
