#include "model/loads_dialog.h"

#include <iterator>

#include "addon_base/guarded_call.h"
#include "addon_base/library_state.h"
#include "addon_base/picked_entity.h"
#include "loadcase/document_command.h"
#include "model/action_types.h"
#include "model/analysis_class.h"
#include "model/loads_command.h"
#include "model/table_maker.h"
#include "ui/prompts.h"

using ui::ControlKind;

CLoads::CLoads(CLoadsCommand* command) : CommandDialog(makeTemplate(), command, "CLoads", kExit) {
    onSelectionChange(kTypeList, [this] { OnTypeChanged(); });
    onClick(kApply, [this] { OnApply(); });
    onClick(kMakeTable, [this] { OnMakeTable(); });
}

ui::DialogTemplate CLoads::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Actions";
    t.rect = {0, 0, 300, 300};
    t.add(kTypePrompt, ControlKind::Static, "1. Select action type", {7, 7, 293, 21})
        .add(kTypeList, ControlKind::ListBox, "", {7, 25, 293, 120}, ui::kStyleNotify)
        .add(kValuePrompt, ControlKind::Static, "2. enter data", {7, 126, 293, 152})
        .add(kValueLabel, ControlKind::Static, "Value", {7, 158, 100, 172})
        .add(kValue1, ControlKind::Edit, "", {104, 156, 164, 172})
        .add(kValue2, ControlKind::Edit, "", {168, 156, 228, 172})
        .add(kValue3, ControlKind::Edit, "", {232, 156, 292, 172})
        .add(kUnitLabel, ControlKind::Static, "units", {104, 178, 293, 192})
        .add(kApply, ControlKind::Button, "APPLY", {10, 260, 90, 284})
        .add(kMakeTable, ControlKind::Button, "MAKE TABLE", {110, 260, 190, 284})
        .add(kExit, ControlKind::Button, "EXIT", {210, 260, 290, 284});
    return t;
}

loadcase::DocumentOwner& CLoads::explorer() const {
    return *command_->explorer();
}

bool CLoads::onInitDialog() {
    setCaption("Actions");
    setText(kTypePrompt, "1. Select entity && action types");
    for (int id : {kValue1, kValue2, kValue3}) setText(id, "0");
    showValueEdits(-1);
    fillTypes();
    return true;
}

void CLoads::fillTypes() {
    clearItems(kTypeList);
    setText(kValueLabel, "");
    setText(kUnitLabel, "");
    setText(kValuePrompt, "");
    thermal_ = model::readAnalysisClass(explorer());
    for (const auto& type : model::actionTypes(thermal_)) addItem(kTypeList, type.listText);
    setCaption(thermal_ ? "Thermal Loads" : "Mechanical Loads");
}

// Edits 2 and 3 show only for the types that read them; hidden edits keep their texts.
void CLoads::showValueEdits(int code) {
    const auto& types = model::actionTypes(thermal_);
    const int count = code >= 0 && static_cast<std::size_t>(code) < types.size()
                          ? types[static_cast<std::size_t>(code)].valueCount
                          : 1;
    const bool second = count >= 2;
    const bool third = count >= 3;
    enable(kValue2, second);
    show(kValue2, second);
    enable(kValue3, third);
    show(kValue3, third);
}

void CLoads::OnTypeChanged() {
    const int code = selection(kTypeList);
    const auto& types = model::actionTypes(thermal_);
    if (code >= 0 && static_cast<std::size_t>(code) < types.size()) {
        const model::ActionType& type = types[static_cast<std::size_t>(code)];
        setText(kValuePrompt, type.prompt);
        setText(kValueLabel, type.label);
        if (const char* unit = model::actionUnitLabel(type, addon::library().unitText))
            setText(kUnitLabel, unit);
    }
    showValueEdits(code);
}

std::string CLoads::value(int editId) const {
    return text(editId).substr(0, kValueLength);
}

void CLoads::OnApply() {
    addon::guardedCall("CLoads", "OnApply", [this] { apply(); });
}

// Every picked vertex, edge and face gets the action's text; a picked design point gets a force
// of its own for the three-value mechanical actions and is passed over for the others. The values
// are passed on unchecked.
void CLoads::apply() {
    const int code = selection(kTypeList);
    if (code < 0) {
        ui::showMessage("Select an action type");
        return;
    }
    loadcase::DocumentOwner& ex = explorer();
    const auto picks = addon::PickedSelection::of(ex.sessionName(), code);
    if (picks.count() < 1) {
        ui::showMessage(code == 0 ? "Select a point" : "Select a face");
        return;
    }
    const std::string v1 = value(kValue1);
    const std::string v2 = value(kValue2);
    const std::string v3 = value(kValue3);
    const std::string text = model::actionText(thermal_, code, v1, v2, v3);
    for (int i = 0; i < picks.count(); ++i) {
        const addon::PickedEntity pick = picks.classify(i, ex.isPartSession());
        if (!pick.usable() || pick.kind == addon::PickKind::Plane) continue;
        if (pick.kind == addon::PickKind::DesignPoint) {
            // A design point has no entity key: it can only take a force of its own. Stored
            // with any other action text it would name no entity at all.
            if (model::forcesDesignPoints(thermal_, code))
                ex.document().addEntry({}, {}, model::designPointForceText(pick.pointNumber, v1, v2, v3),
                                       model::kKindAction);
            continue;
        }
        ex.document().addEntry(pick.bodyKey, pick.entityKey, text, model::kKindAction);
    }
    ex.document().markChanged();
}

void CLoads::OnMakeTable() {
    addon::guardedCall("CLoads", "OnMakeTable", [this] { makeTable(); });
}

namespace {

// The value edit that receives a load table's name, by the editor's list position: the
// component's own edit (force y and y acceleration the second, fluid temperature the second).
int tableEdit(bool thermal, int item) {
    static constexpr int kThermal[] = {CLoads::kValue1, CLoads::kValue1, CLoads::kValue2, CLoads::kValue1};
    static constexpr int kMechanical[] = {CLoads::kValue1, CLoads::kValue2, CLoads::kValue3, CLoads::kValue1,
                                          CLoads::kValue1, CLoads::kValue2, CLoads::kValue3, CLoads::kValue1};
    if (item < 0) return 0;
    const auto index = static_cast<std::size_t>(item);
    if (thermal) return index < std::size(kThermal) ? kThermal[index] : 0;
    return index < std::size(kMechanical) ? kMechanical[index] : 0;
}

}  // namespace

// A time table for one load component; its name goes into the edit of that component, so that
// the next APPLY refers to it.
void CLoads::makeTable() {
    const auto made = model::makeTable(explorer(), this, CTableEditDlg::Mode::Load, thermal_);
    if (!made) return;
    if (const int edit = tableEdit(thermal_, made->index)) setText(edit, made->name);
}
