// Verbs that check what the add-on shows and wrote, and print what a script writer needs to see.
#include "program/script_runner.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "program/script_verbs.h"
#include "program/widget_actions.h"
#include "ui/dialog.h"
#include "ui/tree_control.h"

namespace hostapp {

namespace fs = std::filesystem;

namespace {

// The text a person sees in a control: a list's chosen item, else the control's text.
std::string shownText(const ui::Dialog& d, int id) {
    const ui::Control& c = d.control(id);
    if (c.kind() == ui::ControlKind::ListBox) return c.selection >= 0 ? d.itemText(id, c.selection) : "";
    return d.text(id);
}

}  // namespace

void ScriptRunner::addCheckVerbs(VerbTable& table) {
    table.insert({"expect-message", {1, 1, "expect-message TEXT", &ScriptRunner::expectMessage}});
    table.insert({"expect-text", {2, 2, "expect-text ID TEXT", &ScriptRunner::expectText}});
    table.insert({"expect-file", {1, 1, "expect-file PATH", &ScriptRunner::expectFile}});
    table.insert({"stop-if-message", {1, 1, "stop-if-message TEXT", &ScriptRunner::stopIfMessage}});
    table.insert({"expect-state", {2, 2, "expect-state ID STATE", &ScriptRunner::expectState}});
    table.insert({"expect-in-front", {0, 1, "expect-in-front [CAPTION]", &ScriptRunner::expectInFront}});
    table.insert({"mark", {0, 0, "mark", &ScriptRunner::mark}});
    table.insert({"expect-within", {1, 1, "expect-within SECONDS", &ScriptRunner::expectWithin}});
    table.insert({"print", {1, 1, "print ID|tree|menu|status|faces|edges|vertices", &ScriptRunner::print}});
}

void ScriptRunner::mark(const Words&) {
    mark_ = std::chrono::steady_clock::now();
}

// At most SECONDS have passed since the last "mark" (a person's action took effect in time).
void ScriptRunner::expectWithin(const Words& args) {
    const double limit = parseNumber(args[0]);
    if (!mark_) throw LineError("expect-within without a mark before it");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - *mark_).count();
    if (seconds > limit)
        throw LineError("took " + std::to_string(seconds) + " s since the mark, more than " + args[0] + " s");
}

void ScriptRunner::expectMessage(const Words& args) {
    const auto& messages = prompts_.messages();
    for (std::size_t i = messagesChecked_; i < messages.size(); ++i) {
        if (messages[i].text == args[0]) {
            messagesChecked_ = i + 1;
            return;
        }
    }
    std::string seen;
    for (std::size_t i = messagesChecked_; i < messages.size(); ++i)
        seen += "\n  \"" + messages[i].text + "\"";
    throw LineError("no message \"" + args[0] + "\"" +
                    (seen.empty() ? " (no new messages)" : "; new messages:" + seen));
}

// The dialog (the one with CAPTION, else the current one) stands in front of the main window.
void ScriptRunner::expectInFront(const Words& args) {
    ui::Dialog* d = args.empty() ? &dialog() : ui::findDialog(args[0]);
    if (d == nullptr) throw LineError("no open dialog \"" + args[0] + "\"");
    if (!person_.seesInFront(*d)) throw LineError("\"" + d->windowText() + "\" is behind the main window");
}

void ScriptRunner::expectText(const Words& args) {
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    const std::string text = shownText(d, id);
    if (text != args[1])
        throw LineError("control " + args[0] + " shows \"" + text + "\", not \"" + args[1] + "\"");
}

void ScriptRunner::expectFile(const Words& args) {
    if (!fs::exists(args[0])) throw LineError("no file " + args[0]);
}

void ScriptRunner::stopIfMessage(const Words& args) {
    const auto& messages = prompts_.messages();
    for (std::size_t i = messagesChecked_; i < messages.size(); ++i) {
        if (messages[i].text == args[0]) throw ScriptStop("line " + std::to_string(line_) + ": " + args[0]);
    }
}

void ScriptRunner::expectState(const Words& args) {
    const std::int32_t id = menuId(args[0]);
    const std::int32_t state = person_.menuState(app_, id);
    if (std::to_string(state) != args[1])
        throw LineError("item " + args[0] + " has state " + std::to_string(state) + ", not " + args[1]);
}

void ScriptRunner::print(const Words& args) {
    if (args[0] == "tree") {
        HostSession& session = app_.requireSession();
        ui::Panel* panel = app_.panelOf(session.name());
        auto* tree = panel ? dynamic_cast<ui::TreeControl*>(panel->child(kExplorerTreeId)) : nullptr;
        if (tree == nullptr) throw LineError("the FEM Explorer is not shown for " + session.name());
        out_ << tree->dump() << std::flush;
        return;
    }
    if (args[0] == "faces" || args[0] == "edges" || args[0] == "vertices") {
        printEntities(args[0] == "faces"   ? EntityType::Face
                      : args[0] == "edges" ? EntityType::Edge
                                           : EntityType::Vertex);
        return;
    }
    if (args[0] == "status") {
        out_ << "status: " << app_.root().statusText() << std::endl;
        return;
    }
    if (args[0] == "menu") {
        for (const auto& entry : app_.menu())
            out_ << std::string(2 * entry.depth, ' ') << entry.id << " " << entry.text << std::endl;
        return;
    }
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    if (auto dump = widgetDump(d, id)) {
        out_ << id << ":\n" << *dump << std::flush;
        return;
    }
    out_ << id << ": " << shownText(d, id) << std::endl;
    if (d.control(id).hasItems()) {
        for (int i = 0; i < d.itemCount(id); ++i)
            out_ << "  " << (i == d.selection(id) ? "* " : "  ") << d.itemText(id, i) << std::endl;
    }
}

// One line per face, edge or vertex in the numbering `select` uses, with its body and box (a
// vertex: its position), so a script writer can tell which number to pick.
void ScriptRunner::printEntities(EntityType type) {
    const OcctDocument& doc = app_.requireSession().document();
    const char* word = type == EntityType::Face ? "face" : type == EntityType::Edge ? "edge" : "vertex";
    for (int n = 1; n <= doc.totalCount(type); ++n) {
        const EntityRef ref = *doc.fromGlobalNumber(type, n);
        const auto [low, high] = doc.corners(ref);
        char line[200];
        if (type == EntityType::Vertex) {
            std::snprintf(line, sizeof line, "vertex %d: body %d, at %g %g %g", n, ref.body + 1, low.x, low.y,
                          low.z);
        } else {
            const int written = std::snprintf(line, sizeof line, "%s %d: body %d, ", word, n, ref.body + 1);
            if (type == EntityType::Face)
                std::snprintf(line + written, sizeof line - written, "kind %d, ", doc.surface(ref).kind);
            const std::size_t used = std::strlen(line);
            std::snprintf(line + used, sizeof line - used, "box %g %g %g to %g %g %g", low.x, low.y, low.z,
                          high.x, high.y, high.z);
        }
        out_ << line << std::endl;
    }
}

}  // namespace hostapp
