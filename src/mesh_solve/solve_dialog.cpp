#include "mesh_solve/solve_dialog.h"

#include <algorithm>

#include "addon_base/guarded_call.h"
#include "addon_base/library_state.h"
#include "addon_base/settings.h"
#include "entry_record/entry_kind.h"
#include "loadcase/analysis_code.h"
#include "loadcase/document_command.h"
#include "loadcase/header_file.h"
#include "loadcase/text_format.h"
#include "mesh_solve/plain_number.h"
#include "mesh_solve/program_launch.h"
#include "mesh_solve/solve_command.h"
#include "mesh_solve/solver_input_source.h"
#include "ui/prompts.h"

using ui::ControlKind;

namespace {

constexpr const char* kDirectSolver = "MF";
constexpr const char* kIterativeSolver = "PCG";

int rowLabel(int row) {
    return CSolve::kFirstRowLabel + row;
}
int rowBox(int row) {
    return CSolve::kFirstRowBox + row;
}

}  // namespace

CSolve::CSolve(CSolveCommand* command) : CommandDialog(makeTemplate(), command, "CSolve", kExit) {
    onClick(kIterative, [this] { chooseSolver(0); });
    onClick(kDirect, [this] { chooseSolver(1); });
    onSelectionChange(kTypeList, [this] { typeChosen(); });
    onClick(kSolve, [this] { OnSolve(); });
}

ui::DialogTemplate CSolve::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Solve";
    t.rect = {0, 0, 300, 420};
    t.add(kSolverPrompt, ControlKind::Static, "1. Select solver", {7, 7, 293, 21})
        .add(kIterative, ControlKind::Radio, "Iterative (cg)", {14, 25, 150, 39}, ui::kStyleGroup)
        .add(kDirect, ControlKind::Radio, "Direct, multifrontal", {150, 25, 293, 39})
        .add(kTypePrompt, ControlKind::Static, "2. Select analysis type", {7, 45, 293, 59})
        .add(kTypeList, ControlKind::ListBox, "", {7, 63, 293, 150}, ui::kStyleNotify)
        .add(kValuesPrompt, ControlKind::Static, "3. Enter values", {7, 156, 293, 170});
    for (int row = 0; row < mesh_solve::kSolveRowCount; ++row) {
        const int top = 176 + row * 24;
        const std::string label = row == 0 ? "input1" : "input " + std::to_string(row + 1);
        t.add(rowLabel(row), ControlKind::Static, label, {7, top, 180, top + 16})
            .add(rowBox(row), ControlKind::Edit, "", {186, top, 293, top + 18});
    }
    t.add(kSolverFileOnly, ControlKind::CheckBox, "create solver file only", {7, 350, 293, 364})
        .add(kSolve, ControlKind::Button, "SOLVE", {40, 378, 130, 402})
        .add(kExit, ControlKind::Button, "EXIT", {170, 378, 260, 402});
    return t;
}

loadcase::DocumentOwner& CSolve::explorer() const {
    return *command_->explorer();
}

bool CSolve::onInitDialog() {
    loadcase::Document& doc = explorer().document();
    // Read so that an unreadable setting is reported; the solver shown follows the analysis type.
    addon::readValue("CurrentSolver");
    solverClicked_ = false;

    // The loadcase's own file says what it is and which mesh it uses.
    if (!doc.jobBasePath().empty()) {
        const auto header =
            loadcase::readHeaderFile(doc.jobBasePath(), {doc.analysisType(), doc.solveIndex()});
        // Without its file the loadcase keeps the mesh it was given (a new copy of a loadcase).
        if (header.fileRead) doc.setMeshPath(header.meshPath);
        // The header of a Multiphysics loadcase reads as Mechanical; its loadcase entry tells.
        const auto analysis = loadcase::withLoadcaseEntryType(header.analysis, doc.loadcaseEntryType());
        doc.setAnalysisType(analysis.type);
        doc.setSolveIndex(analysis.solveIndex);
    }
    const int physics = loadcase::physicsOfType(doc.analysisType());

    setCaption("Solve");
    clearItems(kTypeList);
    for (const auto& name : mesh_solve::analysisTypeNames(physics)) addItem(kTypeList, name);
    setText(kSolverPrompt, "1. Select solver");
    setText(kTypePrompt, "");
    setText(kValuesPrompt, "");

    auto& values = command_->values();
    values = {};
    const auto& entries = doc.entries().indicesOfKind(model::kKindSolveParameters);
    mesh_solve::StoredSolve stored;
    if (!entries.empty()) {
        stored = mesh_solve::readSolveEntry(doc.entries()[entries.front()].text());
        values = stored.values;
    }
    showValues();
    const int type = openingType(physics, !entries.empty(), stored.type);
    const int index = type - loadcase::firstSolveIndexOf(physics);
    if (index >= 0 && index < itemCount(kTypeList)) setSelection(kTypeList, index);
    rows_ = mesh_solve::solveRows(type, addon::library().unitText);  // the stored values stand for these rows
    relabel(type);
    showSolverFor(type);
    return true;
}

int CSolve::openingType(int physics, bool haveEntry, int entryType) const {
    const int first = loadcase::firstSolveIndexOf(physics);
    const int count = static_cast<int>(mesh_solve::analysisTypeNames(physics).size());
    const auto own = [&](int type) { return type >= first && type < first + count; };
    if (haveEntry && own(entryType)) return entryType;
    // A Multiphysics loadcase not solved yet reads back a mechanical solve index: its list starts
    // with its first analysis.
    const int solveIndex = explorer().document().solveIndex();
    return own(solveIndex) ? solveIndex : first;
}

void CSolve::chooseSolver(int choice) {
    solverChoice_ = choice;
    solverClicked_ = true;
    addon::writeValue(choice == 1 ? kDirectSolver : kIterativeSolver, "CurrentSolver");
}

void CSolve::showSolverFor(int type) {
    // Until the user picks one, the solver is the one that suits the type: iterative for
    // elasticity, plasticity and the steady and transient thermal stress, direct for the rest. The
    // radios show what SOLVE starts.
    if (!solverClicked_) solverChoice_ = mesh_solve::prefersIterativeSolver(type) ? 0 : 1;
    setCheck(kIterative, solverChoice_ == 0);
    setCheck(kDirect, solverChoice_ == 1);
}

int CSolve::chosenType() const {
    const int physics = loadcase::physicsOfType(explorer().document().analysisType());
    return mesh_solve::analysisTypeForIndex(physics, std::max(selection(kTypeList), 0));
}

void CSolve::typeChosen() {
    const int type = chosenType();
    explorer().document().setSolveIndex(type);
    relabel(type);
    showSolverFor(type);
}

void CSolve::relabel(int type) {
    labelledType_ = type;
    takeBoxes();
    const auto rows = mesh_solve::solveRows(type, addon::library().unitText);
    auto& values = command_->values();
    // A row of another meaning starts again from its default. A row of the same label but another
    // default means another thing too: the Newton iterations of incompressible flow (25) are not
    // the pseudo-time steps of a gas (2000).
    for (int row = 0; row < mesh_solve::kSolveRowCount; ++row)
        if (rows.labels[row] != rows_.labels[row] || rows.defaults[row] != rows_.defaults[row])
            values[row] = 0.0;
    mesh_solve::applyRowDefaults(rows, values);
    rows_ = rows;
    for (int row = 0; row < mesh_solve::kSolveRowCount; ++row) {
        const bool shown = row < rows.shown;
        setText(rowLabel(row), shown ? rows.labels[row] : "");
        show(rowBox(row), shown);
        enable(rowBox(row), shown);
    }
    showValues();
}

void CSolve::takeBoxes() {
    auto& values = command_->values();
    for (int row = 0; row < mesh_solve::kSolveRowCount; ++row)
        values[row] = mesh_solve::plainNumber(text(rowBox(row)));
}

void CSolve::showValues() {
    const auto& values = command_->values();
    for (int row = 0; row < mesh_solve::kSolveRowCount; ++row)
        setText(rowBox(row), loadcase::format("%g", values[row]));
}

void CSolve::OnSolve() {
    addon::guardedCall("CSolve", "OnSolve", [this] { solve(); });
}

bool CSolve::boxesHoldNumbers() {
    for (int row = 0; row < rows_.shown; ++row) {
        const std::string typed = text(rowBox(row));
        if (mesh_solve::numberInBox(typed)) continue;
        ui::showMessage(mesh_solve::notANumberMessage(rows_.labels[row], typed));
        return false;
    }
    return true;
}

void CSolve::solve() {
    loadcase::DocumentOwner& ex = explorer();
    if (!boxesHoldNumbers()) return;
    takeBoxes();
    const int type = chosenType();
    ex.document().setSolveIndex(type);
    const auto& values = command_->values();
    ex.document().replaceSectionEntry(mesh_solve::solveEntryText(type, values), model::kKindSolveParameters,
                                      true);
    if (loadcase::writeSolverInput(mesh_solve::solverInputSource(ex), values) != 0)
        return;  // the writer has said why
    if (isChecked(kSolverFileOnly)) return;

    const std::string input = ex.document().solverInputPath();
    mesh_solve::storeCurrentFile(input);
    addon::writeValue(solverChoice_ == 1 ? kDirectSolver : kIterativeSolver, "CurrentSolver");
    // A missing solver is passed over: the solver input is ready for a later run.
    const mesh_solve::RunJob job{ex.document().jobBasePath(), ex.document().projectFolder(),
                                 ex.document().loadcaseName()};
    mesh_solve::launchProgram(mesh_solve::RunProgram::Solver, mesh_solve::solverPath(), input, job);
}

void CSolve::OnExit() {
    addon::guardedCall("CSolve", "OnExit", [this] {
        // Started from the toolbox, the command is not the host's to end: only the window goes.
        if (addon::library().startedFromToolbox) {
            endDialog(ui::kIdCancel);
        } else {
            command_->ExitCommand();
        }
    });
}
