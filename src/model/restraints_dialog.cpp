#include "model/restraints_dialog.h"

#include "addon_base/guarded_call.h"
#include "addon_base/library_state.h"
#include "addon_base/picked_entity.h"
#include "loadcase/document_command.h"
#include "model/analysis_class.h"
#include "model/restraints_command.h"
#include "model/table_maker.h"
#include "model/value_text.h"
#include "ui/prompts.h"

using ui::ControlKind;

namespace {

constexpr const char* kFixityTexts[CRestraints::kFixityCount] = {
    "X direction",    "Y direction",    "Z direction",    "X,Y directions",
    "Y,Z directions", "X,Z directions", "XYZ fully fixed"};
constexpr const char* kFixityLetters[CRestraints::kFixityCount] = {"X", "Y", "Z", "XY", "YZ", "XZ", "XYZ"};

// The text's first word names the sort of the restrained entity.
const char* sortWord(addon::PickKind kind) {
    switch (kind) {
        case addon::PickKind::Vertex:
            return "point";
        case addon::PickKind::Edge:
            return "edge";
        default:
            return "face";
    }
}

// Temperatures are in F where lengths are in inches, in C otherwise.
const char* temperatureUnit(const std::string& unitText) {
    return unitText.starts_with("i") ? "(F)" : "(C)";
}

}  // namespace

namespace {

model::AnalysisClass classOf(CRestraintsCommand* command) {
    return command != nullptr && command->explorer() != nullptr
               ? model::readAnalysisClass(*command->explorer())
               : model::AnalysisClass::Mechanical;
}

// A Multiphysics loadcase fixes displacements and holds temperatures; a fluid one fixes velocities
// and holds the temperatures of a flow that carries heat.
bool holdsBoth(model::AnalysisClass cls) {
    return cls == model::AnalysisClass::Multiphysics || cls == model::AnalysisClass::Fluid;
}

}  // namespace

CRestraints::CRestraints(CRestraintsCommand* command)
    : CommandDialog(makeTemplate(holdsBoth(classOf(command))), command, "CRestraints", kExit) {
    onClick(kApply, [this] { OnApply(); });
    onClick(kMakeTable, [this] { OnMakeTable(); });
}

ui::DialogTemplate CRestraints::makeTemplate(bool bothRows) {
    // A Multiphysics loadcase shows the fixity list and the temperature row together: the row goes
    // below the list's seven lines, and the buttons below the row.
    const int listBottom = bothRows ? 178 : 200;
    const int row = bothRows ? 186 : 45;
    const ui::Rect tableButton =
        bothRows ? ui::Rect{136, row + 22, 213, row + 44} : ui::Rect{44, 69, 130, 91};
    const int buttons = bothRows ? 242 : 212;
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Reactions";
    t.rect = {0, 0, 220, buttons + 38};
    t.add(kPickPrompt, ControlKind::Static, "1. Select point, edge, face", {7, 7, 213, 21})
        .add(kFixityPrompt, ControlKind::Static, "2. Select fixity type", {7, 25, 213, 39})
        .add(kFixityList, ControlKind::ListBox, "", {7, 43, 213, listBottom})
        .add(kValueLabel, ControlKind::Static, "T=", {7, row + 2, 40, row + 16})
        .add(kValue, ControlKind::Edit, "", {44, row, 130, row + 16})
        .add(kUnitLabel, ControlKind::Static, "(C)", {136, row + 2, 213, row + 16})
        .add(kMakeTable, ControlKind::Button, "MAKE TABLE", tableButton)
        .add(kApply, ControlKind::Button, "APPLY", {30, buttons, 100, buttons + 24})
        .add(kExit, ControlKind::Button, "EXIT", {120, buttons, 190, buttons + 24});
    return t;
}

const char* CRestraints::fixityText(int code) {
    return code >= 0 && code < kFixityCount ? kFixityTexts[code] : "";
}

std::string CRestraints::fixityLetters(int code) {
    return code >= 0 && code < kFixityCount ? kFixityLetters[code] : "";
}

std::string CRestraints::entryText(const char* sort, int code) {
    return std::string(sort) + ";fix," + std::to_string(code) + "=" + fixityLetters(code);
}

std::string CRestraints::heldText(const char* sort, const std::string& value) {
    return std::string(sort) + ";temperature=" + value;
}

bool CRestraints::onInitDialog() {
    setCaption("Reactions");
    clearItems(kFixityList);
    for (const char* text : kFixityTexts) addItem(kFixityList, text);
    setText(kPickPrompt, "1. Select points,edges,faces");
    showRowsOfClass();
    return true;
}

// A thermal loadcase restrains temperatures, not displacements: it holds the picked geometry at a
// temperature, and the fixity list gives way to the temperature row. A Multiphysics loadcase
// restrains both and shows both.
void CRestraints::showRowsOfClass() {
    // Fluid loadcases keep the fixity list: a fixed direction holds that velocity component at 0.
    const model::AnalysisClass cls = model::readAnalysisClass(*command_->explorer());
    fixities_ = loadcase::hasMechanicalPart(cls) || cls == model::AnalysisClass::Fluid;
    temperatures_ = loadcase::hasThermalPart(cls) || holdsBoth(cls);
    setText(kFixityPrompt, !fixities_      ? "2. Enter temperature, table name or equation"
                           : temperatures_ ? "2. Select fixity type and/or enter temperature"
                                           : "2. Select fixity type");
    enable(kFixityList, fixities_);
    show(kFixityList, fixities_);
    for (int id : {kValueLabel, kValue, kUnitLabel, kMakeTable}) {
        enable(id, temperatures_);
        show(id, temperatures_);
    }
    setText(kUnitLabel, temperatureUnit(addon::library().unitText));
}

void CRestraints::OnApply() {
    addon::guardedCall("CRestraints", "OnApply", [this] { apply(); });
}

// Every picked vertex, edge and face gets an entry with the chosen fixity, or is held at the
// temperature; a Multiphysics loadcase stores whichever of the two is given, or both. Other picks
// (design points, planes, entities the host cannot place) are passed over.
void CRestraints::apply() {
    const int code = fixities_ ? selection(kFixityList) : -1;
    if (!fixities_) return holdTemperatures(code, false);
    if (!temperatures_) {
        storePicks(code, [code](const char* sort) { return std::vector{entryText(sort, code)}; });
        return;
    }
    holdTemperatures(code, code >= 0);
}

// Every picked vertex, edge and face is held at the temperature text, checked as the actions'
// values are; without a readable text nothing is held. With `alsoFixed` the picks get the fixity
// `code` as well, and an empty temperature holds nothing but fixes them.
void CRestraints::holdTemperatures(int code, bool alsoFixed) {
    const std::string value = text(kValue).substr(0, kValueLength);
    const bool blank = value.find_first_not_of(' ') == std::string::npos;
    if (blank && !alsoFixed) {
        ui::showMessage(fixities_ ? "Select a fixity type or enter a temperature, a table name or an equation"
                                  : "Enter a temperature, a table name or an equation");
        return;
    }
    // The solver must read what is held: a number, a table of this loadcase or a formula.
    const std::string problem =
        blank ? std::string()
              : model::valueTextProblem(value,
                                        model::storedTableNames(command_->explorer()->document().entries()));
    if (!problem.empty()) {
        ui::showMessage("T=: " + problem);
        return;
    }
    storePicks(code, [&](const char* sort) {
        std::vector<std::string> texts;
        if (alsoFixed) texts.push_back(entryText(sort, code));
        if (!blank) texts.push_back(heldText(sort, value));
        return texts;
    });
}

// The reaction entries of each usable picked entity, their texts made from the entity's sort word.
void CRestraints::storePicks(int code, const std::function<std::vector<std::string>(const char*)>& textsFor) {
    loadcase::DocumentOwner& explorer = *command_->explorer();
    const auto picks = addon::PickedSelection::of(explorer.sessionName(), code);
    if (picks.count() < 1) {
        ui::showMessage("Select a point, edge or face");
        return;
    }
    // A reaction without a fixity (where no temperature can be held) would restrain nothing: its
    // text would reach the solver as a line without freedom flags. The picks stay selected.
    if (code < 0 && !temperatures_) {
        ui::showMessage("Select a fixity type");
        return;
    }
    for (int i = 0; i < picks.count(); ++i) {
        const addon::PickedEntity pick = picks.classify(i, explorer.isPartSession());
        if (!pick.usable() || !pick.isEntity()) continue;
        for (const auto& text : textsFor(sortWord(pick.kind)))
            explorer.document().addEntry(pick.bodyKey, pick.entityKey, text, model::kKindReaction);
    }
    explorer.document().markChanged();
}

void CRestraints::OnMakeTable() {
    addon::guardedCall("CRestraints", "OnMakeTable", [this] { makeTable(); });
}

// A time table for the held temperature: its name goes into the temperature box, whichever load
// the editor's list names, so that the next APPLY holds the picks on it.
void CRestraints::makeTable() {
    const auto made = model::makeTable(*command_->explorer(), this, CTableEditDlg::Mode::Load,
                                       model::AnalysisClass::Thermal);
    if (made) setText(kValue, made->name);
}
