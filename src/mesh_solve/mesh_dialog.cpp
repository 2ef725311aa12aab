#include "mesh_solve/mesh_dialog.h"

#include <vector>

#include "addon_base/guarded_call.h"
#include "addon_base/library_state.h"
#include "addon_base/model_size.h"
#include "addon_base/picked_entity.h"
#include "loadcase/document_command.h"
#include "loadcase/text_format.h"
#include "mesh_solve/mesh_command.h"
#include "mesh_solve/plain_number.h"
#include "ui/prompts.h"

using ui::ControlKind;
using widgets::PropertyHandle;

namespace {

constexpr int kNoId = -1;
// The local size box, as a refusal names it.
constexpr const char* kSizeBoxName = "element size";
// The host asks for points, edges and faces with this prompt kind.
constexpr std::int32_t kPickPromptKind = 2;

template <std::size_t N>
std::vector<std::string> choices(const std::array<const char*, N>& texts) {
    return {texts.begin(), texts.end()};
}

std::string number(double value) {
    return loadcase::format("%g", value);
}

const char* sizeFormat(addon::PickKind kind) {
    switch (kind) {
        case addon::PickKind::Vertex:
            return "vertex:el_size=%g";
        case addon::PickKind::Edge:
            return "edge:el_size=%g";
        case addon::PickKind::Face:
            return "face:el_size=%g";
        default:
            return nullptr;
    }
}

}  // namespace

CMesh::CMesh(CMeshCommand* command) : CommandDialog(makeTemplate(), command, "CMesh", kExit) {
    attachWidget(kGrid, std::make_unique<widgets::PropertyGrid>());
    // The grid's change notices need no answer: the values are read when MESH is pressed.
    onMessage(widgets::PropertyGrid::kChangedMessage, [](std::intptr_t, std::intptr_t) {});
    onClick(kApply, [this] { OnApply(); });
    onClick(kMesh, [this] { OnMesh(); });
}

ui::DialogTemplate CMesh::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Mesh";
    t.rect = {0, 0, 260, 420};
    t.add(kNoId, ControlKind::GroupBox, "Set local element sizes (optional)", {7, 7, 253, 100})
        .add(kNoId, ControlKind::Static, "1. Select point, edge, face!", {14, 22, 246, 36})
        .add(kNoId, ControlKind::Static, "2. Enter size", {14, 42, 120, 56})
        .add(kSizeBox, ControlKind::Edit, "", {14, 60, 120, 78})
        .add(kUnitLabel, ControlKind::Static, "units", {126, 62, 170, 76})
        .add(kApply, ControlKind::Button, "APPLY", {180, 58, 246, 80})
        .add(kNoId, ControlKind::GroupBox, "Mesher settings", {7, 106, 253, 370})
        .add(kGrid, ControlKind::Custom, "", {14, 120, 246, 362})
        .add(kMesh, ControlKind::Button, "MESH", {14, 380, 84, 404})
        // The mesh is shown by the results command's "Mesh" entry; this button has no action.
        .add(kPlot, ControlKind::Button, "PLOT", {95, 380, 165, 404}, ui::kStyleHidden)
        .add(kExit, ControlKind::Button, "EXIT", {176, 380, 246, 404});
    return t;
}

loadcase::DocumentOwner& CMesh::explorer() const {
    return *command_->explorer();
}

bool CMesh::onInitDialog() {
    const auto& lib = addon::library();
    loadcase::DocumentOwner& ex = explorer();
    setCaption("Mesh");
    setText(kUnitLabel, lib.unitText);
    const double modelSize = addon::modelSize(ex.sessionName(), ex.isPartSession());
    setCaption(ex.isPartSession() ? "part mesh" : "assembly mesh");
    fillGrid(mesh_solve::defaultMesherSettings(modelSize));
    return true;
}

void CMesh::fillGrid(const mesh_solve::MesherSettings& d) {
    widgets::PropertyGrid& g = grid();
    g.clear();
    const PropertyHandle general = g.addSection("General");
    items_[kFineness] = g.addCombo(general, "fineness", choices(mesh_solve::kFinenessChoices), d.fineness);
    items_[kGrading] = g.addCombo(general, "grading", choices(mesh_solve::kGradingChoices), d.grading);
    items_[kOrder] = g.addCombo(general, "order", choices(mesh_solve::kOrderChoices), d.order);
    const PropertyHandle bounds = g.addSection("Bounds");
    items_[kUpperSize] = g.addString(bounds, "upper size", number(d.upperSize));
    items_[kLowerSize] = g.addString(bounds, "lower size", number(d.lowerSize));
    items_[kCurveElements] = g.addString(bounds, "curve elements >", number(d.curveElements));
    items_[kEdgeElements] = g.addString(bounds, "edge elements >", number(d.edgeElements));
    items_[kCloseEdgeFactor] = g.addString(bounds, "close edge factor", number(d.closeEdgeFactor));
    const PropertyHandle optimization = g.addSection("Optimization");
    items_[kSurfaceSteps] = g.addString(optimization, "surface steps", number(d.surfaceSteps));
    items_[kVolumeSteps] = g.addString(optimization, "volume steps", number(d.volumeSteps));
}

mesh_solve::MesherSettings CMesh::settings() const {
    const widgets::PropertyGrid& g = grid();
    auto choice = [&](Row row, int fallback) {
        const int index = g.choiceIndex(items_[row]);
        return index >= 0 ? index : fallback;
    };
    auto value = [&](Row row) { return mesh_solve::plainNumber(g.value(items_[row])); };
    mesh_solve::MesherSettings s;
    s.fineness = choice(kFineness, s.fineness);
    s.grading = choice(kGrading, s.grading);
    s.order = choice(kOrder, s.order);
    s.upperSize = value(kUpperSize);
    s.lowerSize = value(kLowerSize);
    s.curveElements = value(kCurveElements);
    s.edgeElements = value(kEdgeElements);
    s.closeEdgeFactor = value(kCloseEdgeFactor);
    s.surfaceSteps = value(kSurfaceSteps);
    s.volumeSteps = value(kVolumeSteps);
    return s;
}

void CMesh::OnApply() {
    addon::guardedCall("CMesh", "OnApply", [this] { apply(); });
}

void CMesh::apply() {
    loadcase::DocumentOwner& ex = explorer();
    const auto picks = addon::PickedSelection::of(ex.sessionName(), kPickPromptKind);
    if (picks.count() < 1) {
        ui::showMessage("Select a point, edge or face");
        return;
    }
    // A size that is not a number is refused; the picks stay for a second try.
    const std::string typed = text(kSizeBox);
    const auto number = mesh_solve::numberInBox(typed);
    if (!number) {
        ui::showMessage(mesh_solve::notANumberMessage(kSizeBoxName, typed));
        return;
    }
    const double size = *number;
    for (int i = 0; i < picks.count(); ++i) {
        const addon::PickedEntity pick = picks.classify(i, ex.isPartSession());
        const char* format = sizeFormat(pick.kind);
        if (!pick.usable() || format == nullptr) continue;
        ex.document().addEntry(pick.bodyKey, pick.entityKey, loadcase::format(format, size),
                               model::kKindMeshSize);
    }
    picks.resetAndHandBack();
    ex.document().markChanged();
    command_->redrawView();
}

bool CMesh::settingsHoldNumbers() const {
    const widgets::PropertyGrid& g = grid();
    for (int row = kUpperSize; row <= kVolumeSteps; ++row) {
        const std::string typed = g.value(items_[row]);
        if (mesh_solve::numberInBox(typed)) continue;
        ui::showMessage(mesh_solve::notANumberMessage(g.label(items_[row]), typed));
        return false;
    }
    return true;
}

void CMesh::OnMesh() {
    // Settings that are not numbers start no mesh run: nothing is exported, written or started.
    if (!settingsHoldNumbers()) return;
    setCaption("Checking model..");
    setCaption("Creating new mesh..");
    command_->GetNet();
    setCaption("Finished");
}
