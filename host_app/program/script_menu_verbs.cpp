// Verbs of the add-on's menu and the FEM Explorer's tree.
#include "program/script_runner.h"

#include "program/script_verbs.h"
#include "ui/dialog.h"
#include "ui/tree_control.h"

namespace hostapp {

namespace {

constexpr int kTreeMenuModify = 32771;
constexpr int kTreeMenuDelete = 32772;
constexpr const char* kModifyCaption = "Modify Data";
constexpr int kTextEntryEditId = 11;

}  // namespace

void ScriptRunner::addMenuVerbs(VerbTable& table) {
    table.insert({"menu", {1, 1, "menu ID", &ScriptRunner::menu}});
    table.insert({"state", {1, 1, "state ID", &ScriptRunner::state}});
    table.insert({"tree", {2, 3, "tree TEXT modify [NEWTEXT] | tree TEXT delete", &ScriptRunner::tree}});
}

std::int32_t ScriptRunner::menuId(const std::string& word) const {
    if (auto id = parseInteger(word)) return static_cast<std::int32_t>(*id);
    if (auto id = app_.menuIdOf(word)) return *id;
    throw LineError("no menu item \"" + word + "\"");
}

void ScriptRunner::menu(const Words& args) {
    person_.pickMenu(app_, menuId(args[0]));
}

void ScriptRunner::state(const Words& args) {
    const std::int32_t id = menuId(args[0]);
    out_ << "state " << id << ": " << app_.itemState(id) << std::endl;
}

void ScriptRunner::tree(const Words& args) {
    HostSession& session = app_.requireSession();
    ui::Panel* panel = app_.panelOf(session.name());
    auto* tree = panel ? dynamic_cast<ui::TreeControl*>(panel->child(kExplorerTreeId)) : nullptr;
    if (tree == nullptr) throw LineError("the FEM Explorer is not shown for " + session.name());
    const ui::TreeItem item = tree->findItem(args[0]);
    if (item == ui::kTreeRoot) throw LineError("the explorer has no line \"" + args[0] + "\"");
    if (args[1] == "modify") {
        prompts_.queueMenuChoice(kTreeMenuModify);
        // Without a new text the "Modify Data" window runs the script's own on-modal block.
        if (args.size() == 3) {
            const std::string newText = args[2];
            prompts_.queueModal(kModifyCaption, [this, newText](ui::Dialog& d) {
                person_.type(d, kTextEntryEditId, newText);
                person_.click(d, ui::kIdOk);
            });
        }
    } else if (args[1] == "delete" && args.size() == 2) {
        prompts_.queueMenuChoice(kTreeMenuDelete);
    } else {
        throw LineError("usage: tree TEXT modify [NEWTEXT] | tree TEXT delete");
    }
    person_.contextMenu(*tree, item);
}

}  // namespace hostapp
