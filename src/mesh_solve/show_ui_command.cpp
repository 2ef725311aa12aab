#include "mesh_solve/show_ui_command.h"

#include "addon_base/guarded_call.h"
#include "addon_base/host_access.h"
#include "addon_base/library_state.h"
#include "addon_base/settings.h"
#include "platform/host_error.h"
#include "platform/known_folders.h"
#include "platform/paths.h"
#include "ui/prompts.h"
#include "widgets/text_entry_dlg.h"

using platform::kOk;
using platform::Status;

namespace {

constexpr const char* kSectionNames[CShowUICommand::kSectionCount] = {
    "Loadcase",  "Materials",    "Mesh Sizes", "Actions",
    "Reactions", "Interactions", "Tables",     "Solve Parameters"};

}  // namespace

CShowUICommand::CShowUICommand(std::string sessionName, ExplorerHooks hooks)
    : CAddOnCommand(this), sessionName_(std::move(sessionName)), hooks_(std::move(hooks)) {
    tree_.onContextMenu([this](ui::TreeItem item) { showContextMenu(item); });
    // Every change of the document shows in the tree and in the marks the commands draw in the
    // view (APPLY in a dialog, a line deleted or modified in the tree).
    document_.observe([this](int section) {
        showSection(section);
        redrawView();
    });
}

void CShowUICommand::setCurrentCommand(platform::RefPtr<host::IQuarnelAddOnCommand> command) {
    currentCommand_ = std::move(command);
}

void CShowUICommand::commandEnded() {
    currentCommand_ = nullptr;
    commandObjects_[0] = nullptr;
    commandObjects_[1] = nullptr;
}

void CShowUICommand::recordStarted(std::int32_t id, platform::RefPtr<CAddOnCommand> command) {
    started_[id] = std::move(command);
}

CAddOnCommand* CShowUICommand::startedCommand(std::int32_t id) const {
    auto it = started_.find(id);
    return it == started_.end() ? nullptr : it->second.get();
}

void CShowUICommand::redrawView() {
    try {
        requestRedraw();
    } catch (const platform::HostError&) {
        // A view that cannot redraw now shows the change at its next redraw.
    }
}

void CShowUICommand::clearSiteStatus() {
    if (site() != nullptr) platform::check(site()->ClearStatus(), host::IQDCommandSite::iid);
}

Status CShowUICommand::get_IsPersistent(platform::VariantBool* answer) {
    return answerBool(answer, true);
}
Status CShowUICommand::get_HasPanel(platform::VariantBool* answer) {
    return answerBool(answer, true);
}

// ---- showing ----

Status CShowUICommand::OnShowUI(ui::Window* window) {
    return addon::guardedCall(className(), "OnShowUI", [&] {
        panel_ = window;
        auto session = addon::findSession(sessionName_);
        units_ = addon::readLengthUnits(session);
        addon::library().lengthScale = units_.scale;
        addon::library().unitText = units_.text;
        if (window == nullptr) {
            ui::showMessage("iSession=NULL");
            return;
        }
        try {
            takeSession(session);
            if (hooks_.openToolbox) hooks_.openToolbox(*this, window);
            fixFolders();
            placeTree(window);
            rebuildTree();
            document_.load();
        } catch (...) {
            // Half shown, the explorer has no project: the add-on forgets it, so that the menu
            // offers the FEM Explorer again instead of commands that have nothing to work on.
            platform::RefPtr<CShowUICommand> keepAlive(this);
            if (hooks_.ended) hooks_.ended(sessionName_);
            throw;
        }
    });
}

void CShowUICommand::takeSession(const platform::RefPtr<host::IQDSession>& session) {
    std::int32_t kind = 0;
    platform::check(session->get_Kind(&kind), host::IQDSession::iid);
    partSession_ = kind == host::kPartSessionKind;
    if (partSession_) {
        partSessionObject_ = session.require<host::IQDPartSession>();
    } else {
        partSessionObject_ = nullptr;
        session.require<host::IQDAssemblySession>();
    }
    addon::library().currentPartSession = partSessionObject_;
}

void CShowUICommand::makeSessionCurrent() const {
    auto& lib = addon::library();
    lib.currentPartSession = partSessionObject_;
    lib.lengthScale = units_.scale;
    lib.unitText = units_.text;
    if (!projectsRoot_.empty()) lib.projectsRoot = projectsRoot_;
}

void CShowUICommand::fixFolders() {
    auto& lib = addon::library();
    std::string root = addon::readProjectsRoot();
    if (root == "notfound" || root.empty())
        root = platform::joinPath(platform::documentsFolder(), "FEMprojects");
    lib.projectsRoot = projectsRoot_ = root;
    const std::string projectFolder = platform::joinPath(root, sessionName_);
    platform::createFolder(lib.projectsRoot);
    platform::createFolder(projectFolder);
    document_.openProject(projectFolder, sessionName_);
}

void CShowUICommand::placeTree(ui::Window* window) {
    if (auto* panel = dynamic_cast<ui::Panel*>(window)) panel->addChild(kTreeId, &tree_);
}

// ---- tree ----

ui::TreeItem CShowUICommand::sectionItem(model::EntryKind kind) const {
    return kind < kSectionCount ? sections_[kind] : ui::kTreeRoot;
}

void CShowUICommand::rebuildTree() {
    tree_.deleteAllItems();
    for (int i = 0; i < kSectionCount; ++i) sections_[i] = tree_.insertItem(kSectionNames[i], i);
    for (int i = 0; i < kSectionCount; ++i) showSection(i);
}

void CShowUICommand::showSection(int section) {
    if (section == loadcase::Document::kAllSections) {
        for (int i = 0; i < kSectionCount; ++i) showSection(i);
        return;
    }
    if (section < 0 || section >= kSectionCount || sections_[section] == ui::kTreeRoot) return;
    for (ui::TreeItem child : tree_.children(sections_[section])) tree_.deleteItem(child);
    for (const auto& text : document_.sectionLines(section))
        tree_.insertItem(text, section, sections_[section]);
}

int CShowUICommand::sectionOf(ui::TreeItem item) const {
    for (int i = 0; i < kSectionCount; ++i)
        if (sections_[i] == item || sections_[i] == tree_.parent(item)) return i;
    return -1;
}

void CShowUICommand::showContextMenu(ui::TreeItem item) {
    if (item == ui::kTreeRoot) return;
    tree_.selectItem(item);
    const int choice = ui::prompts().popupMenu({{kMenuModify, "Modify"}, {kMenuDelete, "Delete"}});
    try {
        if (choice == kMenuModify) modifyLine(item);
        if (choice == kMenuDelete) deleteLine(item);
    } catch (...) {
        ui::showMessage(
            addon::exceptionMessage(className(), choice == kMenuModify ? "OnModify" : "OnDelete"));
    }
}

// The position of a line among its section's lines, which is its position in the document.
static std::size_t lineIndex(const ui::TreeControl& tree, ui::TreeItem item) {
    const auto siblings = tree.children(tree.parent(item));
    std::size_t index = 0;
    while (index < siblings.size() && siblings[index] != item) ++index;
    return index;
}

void CShowUICommand::modifyLine(ui::TreeItem item) {
    const int section = sectionOf(item);
    CTextEntryDlg entry;
    if (entry.Run(panel_, "Modify Data", "NB: don't delete the 1st character (f,e,v) or the = sign",
                  tree_.itemText(item)) != ui::kIdOk)
        return;
    if (tree_.parent(item) == ui::kTreeRoot) {
        tree_.setItemText(item, entry.text());  // a section line's own text is the tree's alone
        return;
    }
    document_.renameLine(section, lineIndex(tree_, item), entry.text());
}

void CShowUICommand::deleteLine(ui::TreeItem item) {
    const int section = sectionOf(item);
    if (tree_.parent(item) == ui::kTreeRoot) return deleteSection(section);
    document_.deleteLine(section, lineIndex(tree_, item));
    clearSiteStatus();
}

// A section line stands for all of its entries: deleting it deletes them from the loadcase file
// too, once the user has agreed, so that what the tree shows is what the next solve gets. The
// loadcase's own entry names the loadcase and its analysis type; it is not deleted here.
void CShowUICommand::deleteSection(int section) {
    if (section == model::kKindLoadcase) {
        ui::showMessage(
            "The Loadcase line cannot be deleted: it names the loadcase and its analysis type. "
            "Choose or make another loadcase with the Loadcase command.");
        return;
    }
    const std::size_t count = document_.entries().countOfKind(static_cast<model::EntryKind>(section));
    if (count == 0) return;
    const std::string question =
        "Delete " + std::string(count == 1 ? "the entry" : "all " + std::to_string(count) + " entries") +
        " under " + kSectionNames[section] + " from the loadcase?";
    if (ui::prompts().messageBox(question, ui::kMessageCaption, ui::MessageIcon::Question,
                                 ui::MessageButtons::YesNo) != ui::kIdYes)
        return;
    document_.deleteSection(section);
    clearSiteStatus();
}

// ---- end ----

void CShowUICommand::terminate() {
    platform::RefPtr<CShowUICommand> keepAlive(this);  // the map may hold the last reference
    if (hooks_.ended) hooks_.ended(sessionName_);
    if (auto* panel = dynamic_cast<ui::Panel*>(panel_)) panel->removeChild(kTreeId);
    tree_.deleteAllItems();
    sections_ = {};
    if (auto toolbox = std::move(toolbox_)) toolbox->OnTerminate();
    started_.clear();
    CAddOnCommand::terminate();
    // Another session's explorer may be the current one by now: only this session's part is let go.
    auto& lib = addon::library();
    if (partSessionObject_ && lib.currentPartSession == partSessionObject_) lib.currentPartSession = nullptr;
    partSessionObject_ = nullptr;
}
