#include "model/loads_dialog.h"

#include <iterator>
#include <string_view>

#include "host/geometry.h"
#include "platform/host_error.h"

#include "addon_base/guarded_call.h"
#include "addon_base/library_state.h"
#include "addon_base/picked_entity.h"
#include "loadcase/document_command.h"
#include "model/action_types.h"
#include "model/analysis_class.h"
#include "model/loads_command.h"
#include "model/table_maker.h"
#include "model/value_text.h"
#include "ui/prompts.h"

using ui::ControlKind;

namespace {

// A Multiphysics loadcase lists the mechanical and the thermal actions, a fluid one the flow's, the
// thermal ones and the gas's: the list is made longer so that every type shows without scrolling.
int listGrowth(CLoadsCommand* command) {
    if (command == nullptr || command->explorer() == nullptr) return 0;
    switch (model::readAnalysisClass(*command->explorer())) {
        case model::AnalysisClass::Multiphysics:
        case model::AnalysisClass::Fluid:
            return 60;
        default:
            return 0;
    }
}

}  // namespace

CLoads::CLoads(CLoadsCommand* command)
    : CommandDialog(makeTemplate(listGrowth(command)), command, "CLoads", kExit) {
    onSelectionChange(kTypeList, [this] { OnTypeChanged(); });
    onClick(kApply, [this] { OnApply(); });
    onClick(kMakeTable, [this] { OnMakeTable(); });
}

ui::DialogTemplate CLoads::makeTemplate(int growth) {
    const int g = growth;
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Actions";
    t.rect = {0, 0, 300, 300 + g};
    t.add(kTypePrompt, ControlKind::Static, "1. Select action type", {7, 7, 293, 21})
        .add(kTypeList, ControlKind::ListBox, "", {7, 25, 293, 120 + g}, ui::kStyleNotify)
        .add(kValuePrompt, ControlKind::Static, "2. enter data", {7, 126 + g, 293, 152 + g})
        .add(kValueLabel, ControlKind::Static, "Value", {7, 158 + g, 100, 172 + g})
        .add(kValue1, ControlKind::Edit, "", {104, 156 + g, 164, 172 + g})
        .add(kValue2, ControlKind::Edit, "", {168, 156 + g, 228, 172 + g})
        .add(kValue3, ControlKind::Edit, "", {232, 156 + g, 292, 172 + g})
        .add(kUnitLabel, ControlKind::Static, "units", {104, 178 + g, 293, 192 + g})
        .add(kApply, ControlKind::Button, "APPLY", {10, 260 + g, 90, 284 + g})
        .add(kMakeTable, ControlKind::Button, "MAKE TABLE", {110, 260 + g, 190, 284 + g})
        .add(kExit, ControlKind::Button, "EXIT", {210, 260 + g, 290, 284 + g});
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

namespace {

const char* windowTitle(model::AnalysisClass cls) {
    switch (cls) {
        case model::AnalysisClass::Thermal:
            return "Thermal Loads";
        case model::AnalysisClass::Fluid:
            return "Fluid Loads";
        case model::AnalysisClass::Multiphysics:
            return "Multiphysics Loads";
        default:
            return "Mechanical Loads";
    }
}

}  // namespace

void CLoads::fillTypes() {
    clearItems(kTypeList);
    setText(kValueLabel, "");
    setText(kUnitLabel, "");
    setText(kValuePrompt, "");
    class_ = model::readAnalysisClass(explorer());
    for (const auto& type : model::actionTypes(class_)) addItem(kTypeList, type.listText);
    setCaption(windowTitle(class_));
}

// The edits show only for the types that read them (none before a type is chosen: an edit
// without its label says nothing); hidden edits keep their texts.
void CLoads::showValueEdits(int code) {
    const auto& types = model::actionTypes(class_);
    const int count = code >= 0 && static_cast<std::size_t>(code) < types.size()
                          ? types[static_cast<std::size_t>(code)].valueCount
                          : 0;
    show(kValue1, count >= 1);
    const bool second = count >= 2;
    const bool third = count >= 3;
    enable(kValue2, second);
    show(kValue2, second);
    enable(kValue3, third);
    show(kValue3, third);
}

void CLoads::OnTypeChanged() {
    const int code = selection(kTypeList);
    const auto& types = model::actionTypes(class_);
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

namespace {

std::optional<model::PickedSort> sortOf(addon::PickKind kind) {
    switch (kind) {
        case addon::PickKind::Face:
            return model::PickedSort::Face;
        case addon::PickKind::Edge:
            return model::PickedSort::Edge;
        case addon::PickKind::Vertex:
        case addon::PickKind::DesignPoint:
            return model::PickedSort::Vertex;
        default:
            return std::nullopt;
    }
}

// A spin takes its axis from the face it is applied to.
bool isRevolvedFace(const addon::PickedEntity& pick) {
    if (!pick.face) return false;
    std::int32_t kind = host::kSurfaceOther;
    platform::check(pick.face->get_SurfaceKind(&kind), host::IQDFace::iid);
    return kind == host::kSurfaceCylinder || kind == host::kSurfaceCone || kind == host::kSurfaceRevolution;
}

}  // namespace

// The value boxes' names as the value label gives them ("Fx,Fy,Fz=": Fx, Fy and Fz).
std::string CLoads::boxName(const model::ActionType& type, int box) {
    std::string label = type.label;
    if (label.ends_with('=')) label.pop_back();
    if (type.valueCount < 2) return label;
    std::size_t start = 0;
    for (int i = 0; i < box; ++i) start = label.find(',', start) + 1;
    std::string name = label.substr(start, label.find(',', start) - start);
    name.erase(0, name.find_first_not_of(' '));
    return name.empty() ? "value " + std::to_string(box + 1) : name;
}

// Each value the type reads must be something the solver reads; the loadcase name of
// "body: temperatures" only must not be empty.
bool CLoads::valuesReadable(const model::ActionType& type, const std::string (&values)[3]) const {
    const auto tables = model::storedTableNames(explorer().document().entries());
    const bool loadcaseName = std::string_view(type.textHead) == "thermal=";
    for (int box = 0; box < type.valueCount; ++box) {
        const std::string& v = values[box];
        const std::string problem = loadcaseName ? (v.empty() ? "it is empty: type a loadcase name" : "")
                                                 : model::valueTextProblem(v, tables);
        if (problem.empty()) continue;
        ui::showMessage(boxName(type, box) + ": " + problem);
        return false;
    }
    return true;
}

// The refusal of the first pick the action cannot act on, or nothing when it acts on all of them.
std::optional<std::string> CLoads::refusal(const model::ActionType& type, int code,
                                           const std::vector<addon::PickedEntity>& picks) const {
    for (const auto& pick : picks) {
        const auto sort = sortOf(pick.kind);
        if (!sort) continue;
        if (pick.kind == addon::PickKind::DesignPoint) {
            if (!model::forcesDesignPoints(class_, code) && !model::heatsDesignPoints(class_, code))
                return model::refusalOn(type, *sort);
            continue;
        }
        if (!model::actsOn(type, *sort)) return model::refusalOn(type, *sort);
        if (type.textHead == std::string_view("spin_speed=") && !isRevolvedFace(pick))
            return std::string(
                "A spin takes its axis from the face it is applied to, and the picked face "
                "is not a surface of revolution: select a cylindrical, conical or revolved "
                "face of the body");
    }
    return std::nullopt;
}

// Every picked vertex, edge and face gets the action's text, headed by the entity's sort; a picked
// design point gets a force or a heat of its own. Nothing is stored when a value cannot be read or
// a pick cannot take the action: the message says which and what to select.
void CLoads::apply() {
    const int code = selection(kTypeList);
    const auto& types = model::actionTypes(class_);
    if (code < 0 || static_cast<std::size_t>(code) >= types.size()) {
        ui::showMessage("Select an action type");
        return;
    }
    const model::ActionType& type = types[static_cast<std::size_t>(code)];
    loadcase::DocumentOwner& ex = explorer();
    const auto selected = addon::PickedSelection::of(ex.sessionName(), code);
    if (selected.count() < 1) {
        ui::showMessage(code == 0 ? "Select a point" : "Select a face");
        return;
    }
    const std::string v[3] = {value(kValue1), value(kValue2), value(kValue3)};
    if (!valuesReadable(type, v)) return;
    std::vector<addon::PickedEntity> picks;
    for (int i = 0; i < selected.count(); ++i) {
        addon::PickedEntity pick = selected.classify(i, ex.isPartSession());
        if (pick.usable() && pick.kind != addon::PickKind::Plane) picks.push_back(std::move(pick));
    }
    if (const auto refused = refusal(type, code, picks)) {
        ui::showMessage(*refused);
        return;
    }
    for (const auto& pick : picks) {
        if (pick.kind == addon::PickKind::DesignPoint) {
            // A design point has no entity key: it takes a force or a heat of its own.
            ex.document().addEntry({}, {},
                                   model::forcesDesignPoints(class_, code)
                                       ? model::designPointForceText(pick.pointNumber, v[0], v[1], v[2])
                                       : model::designPointHeatText(pick.pointNumber, v[0]),
                                   model::kKindAction);
            continue;
        }
        const std::string text = model::actionTextOn(class_, code, *sortOf(pick.kind), v[0], v[1], v[2]);
        // A face has one convection: a new one takes the place of the old.
        if (text.starts_with(kConvectionHead))
            ex.document().replaceEntityEntry(pick.bodyKey, pick.entityKey, kConvectionHead, text,
                                             model::kKindAction);
        else
            ex.document().addEntry(pick.bodyKey, pick.entityKey, text, model::kKindAction);
    }
    ex.document().markChanged();
}

void CLoads::OnMakeTable() {
    addon::guardedCall("CLoads", "OnMakeTable", [this] { makeTable(); });
}

namespace {

// The value edit that receives a load table's name, by the editor's list position: the
// component's own edit (force y, velocity y and y acceleration the second, fluid temperature the
// second, a gas's temperatures the second).
int tableEdit(model::AnalysisClass cls, int item) {
    static constexpr int kThermal[] = {CLoads::kValue1, CLoads::kValue1, CLoads::kValue2, CLoads::kValue1};
    static constexpr int kMechanical[] = {CLoads::kValue1, CLoads::kValue2, CLoads::kValue3, CLoads::kValue1,
                                          CLoads::kValue1, CLoads::kValue2, CLoads::kValue3, CLoads::kValue1};
    static constexpr int kFluid[] = {CLoads::kValue1, CLoads::kValue2, CLoads::kValue3, CLoads::kValue1,
                                     CLoads::kValue1, CLoads::kValue2, CLoads::kValue3};
    // Total pressure and temperature, initial pressure and temperature.
    static constexpr int kGas[] = {CLoads::kValue1, CLoads::kValue2, CLoads::kValue1, CLoads::kValue2};
    if (item < 0) return 0;
    const auto index = static_cast<std::size_t>(item);
    // The items of two groups: the first group's, then the thermal ones; a fluid's then the gas's.
    const auto inGroups = [index](const auto& first, bool gas = false) {
        if (index < std::size(first)) return first[index];
        const std::size_t thermal = index - std::size(first);
        if (thermal < std::size(kThermal)) return kThermal[thermal];
        // The editor's thermal items end with the held temperature, which goes to no edit here.
        const std::size_t later = thermal - (std::size(kThermal) + 1);
        return gas && thermal > std::size(kThermal) && later < std::size(kGas) ? kGas[later] : 0;
    };
    switch (cls) {
        case model::AnalysisClass::Thermal:
            return index < std::size(kThermal) ? kThermal[index] : 0;
        case model::AnalysisClass::Multiphysics:
            return inGroups(kMechanical);
        case model::AnalysisClass::Fluid:
            return inGroups(kFluid, true);
        default:
            return index < std::size(kMechanical) ? kMechanical[index] : 0;
    }
}

}  // namespace

// A time table for one load component; its name goes into the edit of that component, so that
// the next APPLY refers to it.
void CLoads::makeTable() {
    const auto made = model::makeTable(explorer(), this, CTableEditDlg::Mode::Load, class_);
    if (!made) return;
    if (const int edit = tableEdit(class_, made->index)) setText(edit, made->name);
}
