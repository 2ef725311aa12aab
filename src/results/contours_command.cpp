#include "results/contours_command.h"

#include "addon_base/guarded_call.h"
#include "addon_base/library_state.h"
#include "loadcase/analysis_code.h"
#include "mesh_solve/mesh_dump.h"
#include "mesh_solve/mesh_store.h"
#include "results/contours_dialog.h"
#include "results/display_state.h"
#include "results/quantity_list.h"
#include "results/results_panel.h"

using namespace results;

CContoursCommand::CContoursCommand(loadcase::DocumentOwner* explorer) : CDocumentCommand(explorer) {
    if (explorer != nullptr) {
        physics_ = loadcase::physicsOfType(explorer->document().analysisType());
        solutionType_ = explorer->document().solveIndex();
    }
}

CContours* CContoursCommand::contours() const {
    return static_cast<CContours*>(dialog());
}

void CContoursCommand::Start() {
    resetDisplayState();
    auto dialog = std::make_unique<CContours>(this);
    CContours* window = dialog.get();
    setDialog(std::move(dialog));
    window->create();
    loadMesh(true);
}

platform::Status CContoursCommand::putref_CommandSite(platform::IUnknown* site) {
    CDocumentCommand::putref_CommandSite(site);
    if (this->site() != nullptr)
        for (std::int32_t option : kContoursSiteOptions) this->site()->SetOption(option, -1);
    return platform::kOk;
}

void CContoursCommand::loadMesh(bool reread) {
    const auto& lib = addon::library();
    const mesh_solve::MeshFileUse use = readResultsMesh(document().meshPath(), reread);
    if (!use.read && !reread) return;
    const mesh_solve::Mesh& mesh = mesh_solve::libraryMesh();
    if (use.result.status == mesh_solve::MeshReadStatus::Read)
        mesh_solve::writeMeshDump(mesh, mesh_solve::meshDumpPath(document().projectFolder()), lib.unitText);
    results_.reset(static_cast<std::size_t>(mesh.nodeCount()));
    releasePending_ = true;  // the vertex count may have changed
    DisplayState& state = displayState();
    state.lengthFactor = lib.lengthScale > 0 ? lib.lengthScale : 1.0;
    state.box = boundingBox(mesh);
    rebuildTriangles();
    recomputeSliceFlags({100, 100, 100});
}

void CContoursCommand::rebuildTriangles() {
    displayState().triangles = buildTriangleList(mesh_solve::libraryMesh(), displayState().sliceView);
}

void CContoursCommand::recomputeSliceFlags(const std::array<int, 3>& sliders) {
    computeSliceFlags(mesh_solve::libraryMesh(), displayState().box, sliders);
}

void CContoursCommand::redraw() {
    if (site() != nullptr) platform::check(site()->Redraw(platform::kVariantTrue), host::IQDCommandSite::iid);
}

ContourFrame CContoursCommand::frame() const {
    const DisplayState& state = displayState();
    const CContours* d = contours();
    ContourFrame f;
    f.mesh = &mesh_solve::libraryMesh();
    f.triangles = &state.triangles;
    f.values = results_.values;
    // A flow's vectors are its velocities: drawn as arrows, never as a deformed shape.
    const bool fluid = physics_ == kPhysicsFluid;
    if (!fluid) f.vectors = results_.vectors;
    f.limits = state.limits;
    f.meshOnly = state.position < 0 || state.kind == kKindMesh || state.noValues;
    f.lengthFactor = state.lengthFactor;
    f.phase = phase_;
    f.animate = state.animate;
    if (d != nullptr) {
        f.displacementScale = d->displacementScale();
        f.options = {d->isChecked(CContours::kSmooth), d->isChecked(CContours::kLighting),
                     d->isChecked(CContours::kWireframe), d->isChecked(CContours::kNumeric)};
        f.legend.step = d->stepNumber();
        if (fluid && d->showsArrows()) f.arrows = results_.vectors;
    }
    f.legend.position = state.position;
    f.legend.naturalFrequencies = hasNaturalFrequencies(physics_, solutionType_);
    f.legend.modeValue = results_.modeValue;
    f.legend.noValues = state.noValues;
    const Quantity& q = quantityAt(state.position);
    f.legend.label = std::string(q.legendLabel);
    f.legend.unit = unitText(unitClassAt(state.position, physics_), addon::library().unitText);
    return f;
}

platform::Status CContoursCommand::On3DRender() {
    return addon::guardedCall(className(), "On3DRender", [this] {
        if (site() == nullptr) return;
        platform::RefPtr<platform::IUnknown> unknown;
        platform::check(site()->GetRenderDevice(0, unknown.put()), host::IQDCommandSite::iid);
        auto device = unknown.require<render::IRenderDevice>();
        // Reads the mesh again only when it is no longer the loadcase's (released by the results
        // window, or the mesh path changed); a refused or empty file is not read on every frame.
        loadMesh(false);
        if (releasePending_) {
            renderer_.releaseBuffers(device.get());
            releasePending_ = false;
        }
        renderer_.render(*device, frame());
    });
}

void CContoursCommand::terminate() {
    displayState().position = -1;
    CAddOnCommand::terminate();
}
