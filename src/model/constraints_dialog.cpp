#include "model/constraints_dialog.h"

#include <optional>

#include "addon_base/guarded_call.h"
#include "addon_base/library_state.h"
#include "addon_base/picked_entity.h"
#include "loadcase/document_command.h"
#include "loadcase/text_format.h"
#include "model/constraints_command.h"
#include "model/value_text.h"
#include "ui/prompts.h"

using ui::ControlKind;

namespace {

struct InteractionType {
    const char* listText;
    const char* prompt;
    const char* label;
    const char* keyword;  // follows "face;" in the entry text
};

constexpr InteractionType kTypes[CConstraints::kTypeCount] = {
    {"Displacement to plane", "2. Select plane && enter data", "Displacement, d=", "disp_to_plane="},
    {"Normal displacement", "2. Enter data", "Displacement, d=", "normal_disp="},
    {"Gap to plane", "2. Select plane && enter data", "Gap, d=", "gap_to_plane="},
    {"Normal gap", "2. Enter data", "Gap, d=", "normal_gap="},
    {"Face to face contact", "", "", "interface"},
};

bool readsPlane(int code) {
    return code == CConstraints::kDisplacementToPlane || code == CConstraints::kGapToPlane;
}

}  // namespace

CConstraints::CConstraints(CConstraintsCommand* command)
    : CommandDialog(makeTemplate(), command, "CConstraints", kExit) {
    onSelectionChange(kTypeList, [this] { OnTypeChanged(); });
    onClick(kApply, [this] { OnApply(); });
}

ui::DialogTemplate CConstraints::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Interactions";
    t.rect = {0, 0, 240, 260};
    t.add(kPickPrompt, ControlKind::Static, "1. Select point, edge, face", {7, 7, 233, 21})
        // Tall enough for all five types.
        .add(kTypeList, ControlKind::ListBox, "", {7, 25, 233, 128}, ui::kStyleNotify)
        .add(kValuePrompt, ControlKind::Static, "2. Enter value", {7, 134, 233, 148})
        .add(kValueLabel, ControlKind::Static, "Value", {7, 156, 100, 170})
        .add(kValue, ControlKind::Edit, "", {104, 154, 170, 170})
        .add(kUnitLabel, ControlKind::Static, "units", {174, 156, 233, 170})
        .add(kApply, ControlKind::Button, "APPLY", {30, 220, 100, 244})
        .add(kExit, ControlKind::Button, "EXIT", {140, 220, 210, 244});
    return t;
}

bool CConstraints::onInitDialog() {
    setCaption("Interactions");
    setText(kPickPrompt, "1. Select face && interaction");
    clearItems(kTypeList);
    for (const auto& type : kTypes) addItem(kTypeList, type.listText);
    setText(kValuePrompt, "");
    setText(kValueLabel, "");
    setText(kUnitLabel, "");
    // The value box shows with its label, once a type that takes a value is chosen.
    show(kValue, false);
    return true;
}

void CConstraints::OnTypeChanged() {
    const int code = selection(kTypeList);
    setText(kUnitLabel, addon::library().unitText);
    if (code < 0 || code >= kTypeCount) return;
    setText(kValuePrompt, kTypes[code].prompt);
    setText(kValueLabel, kTypes[code].label);
    const bool valued = code != kContact;
    enable(kValue, valued);
    show(kValue, valued);
    if (!valued) setText(kUnitLabel, "");
}

// The value must be something the solver reads: a number, a table of the loadcase or a formula.
bool CConstraints::valueReadable(int code, loadcase::DocumentOwner& explorer) const {
    const std::string problem = model::valueTextProblem(
        text(kValue).substr(0, kValueLength), model::storedTableNames(explorer.document().entries()));
    if (problem.empty()) return true;
    std::string box = kTypes[code].label;
    if (box.ends_with('=')) box.pop_back();
    ui::showMessage(box + ": " + problem);
    return false;
}

void CConstraints::OnApply() {
    addon::guardedCall("CConstraints", "OnApply", [this] { apply(); });
}

// Every picked face gets an entry "face;" + keyword (+ plane values) + value. The plane of the plane
// types is the first one among the picks; it gets no entry itself. Interactions act on faces
// only: an edge or a vertex among the picks refuses the APPLY, as does a value the solver cannot
// read. A design point is passed over, and the user is told once.
void CConstraints::apply() {
    const int code = selection(kTypeList);
    if (code < 0 || code >= kTypeCount) {
        ui::showMessage("Select an interaction type");
        return;
    }
    loadcase::DocumentOwner& explorer = *command_->explorer();
    const auto picks = addon::PickedSelection::of(explorer.sessionName(), code);
    if (picks.count() < 1) {
        ui::showMessage("Select a face");
        return;
    }
    if (code != kContact && !valueReadable(code, explorer)) return;
    for (int i = 0; i < picks.count(); ++i) {
        const addon::PickedEntity pick = picks.classify(i, explorer.isPartSession());
        if (!pick.usable() || (pick.kind != addon::PickKind::Edge && pick.kind != addon::PickKind::Vertex))
            continue;
        ui::showMessage(std::string("\"") + kTypes[code].listText + "\" acts on faces and cannot act on " +
                        (pick.kind == addon::PickKind::Edge ? "an edge" : "a vertex") + ": select faces");
        return;
    }
    const std::string value = text(kValue).substr(0, kValueLength);
    std::optional<std::string> planeText;
    bool pointPassedOver = false;
    for (int i = 0; i < picks.count(); ++i) {
        const addon::PickedEntity pick = picks.classify(i, explorer.isPartSession());
        pointPassedOver = pointPassedOver || pick.kind == addon::PickKind::DesignPoint;
        if (!pick.usable() || pick.kind != addon::PickKind::Face) continue;
        std::string entry = std::string("face;") + kTypes[code].keyword;
        if (readsPlane(code)) {
            if (!planeText) {
                const auto plane = picks.firstPlane();
                if (!plane) {
                    ui::showMessage("Select a plane");
                    return;
                }
                const auto v = addon::readPlaneValues(*plane);
                planeText = loadcase::format("%g,%g,%g,", v.a, v.b, v.c);
            }
            entry += *planeText;
        }
        if (code != kContact) entry += value;
        explorer.document().addEntry(pick.bodyKey, pick.entityKey, entry, model::kKindInteraction);
    }
    explorer.document().markChanged();
    if (pointPassedOver) ui::showMessage(CConstraints::kDesignPointPassedOver);
}
