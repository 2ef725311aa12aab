// Verbs of a person's actions on the add-on's dialogs and their controls.
#include "program/script_runner.h"

#include "program/script_verbs.h"
#include "ui/dialog.h"

namespace hostapp {

void ScriptRunner::addDialogVerbs(VerbTable& table) {
    table.insert({"in", {0, 1, "in [CAPTION]", &ScriptRunner::in}});
    table.insert({"type", {2, 2, "type ID TEXT", &ScriptRunner::type}});
    table.insert({"click", {1, 1, "click ID", &ScriptRunner::click}});
    table.insert({"choose", {2, 2, "choose ID INDEX-or-TEXT", &ScriptRunner::choose}});
    table.insert({"slide", {2, 2, "slide ID POS", &ScriptRunner::slide}});
    table.insert({"prop", {2, 2, "prop LABEL VALUE", &ScriptRunner::prop}});
    table.insert({"cell", {3, 3, "cell ROW COL TEXT", &ScriptRunner::cell}});
    table.insert({"focus", {2, 2, "focus ROW COL", &ScriptRunner::focus}});
    table.insert({"accept", {0, 0, "accept", &ScriptRunner::accept}});
    table.insert({"cancel", {0, 0, "cancel", &ScriptRunner::cancel}});
}

ui::Dialog& ScriptRunner::dialog() const {
    if (inCaption_) {
        if (ui::Dialog* d = ui::findDialog(*inCaption_)) return *d;
        throw LineError("no open dialog \"" + *inCaption_ + "\"");
    }
    if (modal_ != nullptr) return *modal_;
    if (ui::Dialog* d = ui::newestDialog()) return *d;
    throw LineError("no dialog is open");
}

int ScriptRunner::controlId(const ui::Dialog& d, const std::string& word) const {
    if (auto id = parseInteger(word)) {
        if (!d.hasControl(static_cast<int>(*id)))
            throw LineError("dialog \"" + d.windowText() + "\" has no control " + word);
        return static_cast<int>(*id);
    }
    // A control may also be named by its text ("APPLY").
    for (int id : d.controlIds()) {
        if (d.text(id) == word) return id;
    }
    throw LineError("dialog \"" + d.windowText() + "\" has no control \"" + word + "\"");
}

void ScriptRunner::in(const Words& args) {
    if (args.empty()) {
        inCaption_.reset();
        return;
    }
    if (ui::findDialog(args[0]) == nullptr) throw LineError("no open dialog \"" + args[0] + "\"");
    inCaption_ = args[0];
}

void ScriptRunner::type(const Words& args) {
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    if (!person_.type(d, id, args[1])) throw LineError("control " + args[0] + " cannot take text now");
}

void ScriptRunner::click(const Words& args) {
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    if (!person_.click(d, id)) throw LineError("control " + args[0] + " cannot be clicked now");
}

void ScriptRunner::choose(const Words& args) {
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    int index = d.findItemExact(id, args[1]);
    if (index < 0) {
        const auto number = parseInteger(args[1]);
        if (!number) throw LineError("control " + args[0] + " has no item \"" + args[1] + "\"");
        index = static_cast<int>(*number);
    }
    if (!person_.choose(d, id, index))
        throw LineError("cannot choose item " + args[1] + " of control " + args[0]);
}

void ScriptRunner::slide(const Words& args) {
    ui::Dialog& d = dialog();
    const int id = controlId(d, args[0]);
    const auto position = parseInteger(args[1]);
    if (!position) throw LineError("not a number: " + args[1]);
    if (!person_.slide(d, id, static_cast<int>(*position)))
        throw LineError("control " + args[0] + " cannot slide now");
}

void ScriptRunner::prop(const Words& args) {
    person_.setProperty(dialog(), args[0], args[1]);
}

void ScriptRunner::cell(const Words& args) {
    const auto row = parseInteger(args[0]), column = parseInteger(args[1]);
    if (!row || !column) throw LineError("usage: cell ROW COL TEXT");
    person_.editCell(dialog(), static_cast<int>(*row), static_cast<int>(*column), args[2]);
}

void ScriptRunner::focus(const Words& args) {
    const auto row = parseInteger(args[0]), column = parseInteger(args[1]);
    if (!row || !column) throw LineError("usage: focus ROW COL");
    person_.focusCell(dialog(), static_cast<int>(*row), static_cast<int>(*column));
}

void ScriptRunner::accept(const Words&) {
    if (modal_ == nullptr) throw LineError("accept outside an on-modal block");
    ui::Dialog& d = *modal_;
    if (d.hasControl(ui::kIdOk)) {
        if (!person_.click(d, ui::kIdOk)) throw LineError("OK cannot be pressed now");
    } else {
        person_.pressEnter(d);
    }
}

void ScriptRunner::cancel(const Words&) {
    if (modal_ == nullptr) throw LineError("cancel outside an on-modal block");
    person_.pressEscape(*modal_);
}

}  // namespace hostapp
