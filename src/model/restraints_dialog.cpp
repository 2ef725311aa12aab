#include "model/restraints_dialog.h"

#include "addon_base/guarded_call.h"
#include "addon_base/picked_entity.h"
#include "loadcase/document_command.h"
#include "model/restraints_command.h"
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

}  // namespace

CRestraints::CRestraints(CRestraintsCommand* command)
    : CommandDialog(makeTemplate(), command, "CRestraints", kExit) {
    onClick(kApply, [this] { OnApply(); });
}

ui::DialogTemplate CRestraints::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Reactions";
    t.rect = {0, 0, 220, 250};
    t.add(kPickPrompt, ControlKind::Static, "1. Select point, edge, face", {7, 7, 213, 21})
        .add(kFixityPrompt, ControlKind::Static, "2. Select fixity type", {7, 25, 213, 39})
        .add(kFixityList, ControlKind::ListBox, "", {7, 43, 213, 200})
        .add(kApply, ControlKind::Button, "APPLY", {30, 212, 100, 236})
        .add(kExit, ControlKind::Button, "EXIT", {120, 212, 190, 236});
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

bool CRestraints::onInitDialog() {
    setCaption("Reactions");
    clearItems(kFixityList);
    for (const char* text : kFixityTexts) addItem(kFixityList, text);
    setText(kPickPrompt, "1. Select points,edges,faces");
    setText(kFixityPrompt, "2. Select fixity type");
    return true;
}

void CRestraints::OnApply() {
    addon::guardedCall("CRestraints", "OnApply", [this] { apply(); });
}

// Every picked vertex, edge and face gets an entry with the chosen fixity; other picks (design
// points, planes, entities the host cannot place) are passed over.
void CRestraints::apply() {
    loadcase::DocumentOwner& explorer = *command_->explorer();
    const int code = selection(kFixityList);
    const auto picks = addon::PickedSelection::of(explorer.sessionName(), code);
    if (picks.count() < 1) {
        ui::showMessage("Select a point, edge or face");
        return;
    }
    for (int i = 0; i < picks.count(); ++i) {
        const addon::PickedEntity pick = picks.classify(i, explorer.isPartSession());
        if (!pick.usable() || !pick.isEntity()) continue;
        explorer.document().addEntry(pick.bodyKey, pick.entityKey, entryText(sortWord(pick.kind), code),
                                     model::kKindReaction);
    }
    explorer.document().markChanged();
}
