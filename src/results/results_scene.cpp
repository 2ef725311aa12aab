#include "results/results_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "formats/mesh.h"
#include "mesh_solve/mesh_store.h"
#include "results/display_state.h"
#include "results/node_visibility.h"
#include "results/quantity_list.h"

namespace results {

namespace {

constexpr int kAnimationSteps = 10;

mesh_solve::Mesh& mesh() {
    return mesh_solve::libraryMesh();
}

char& nodeState(std::int32_t node) {
    static char none = kVisible;
    auto& states = mesh().nodeStates();
    if (node < 0 || static_cast<std::size_t>(node) >= states.size()) return none = kVisible;
    return states[static_cast<std::size_t>(node)];
}

}  // namespace

void resetSharedResults() {
    resetDisplayState();
    mesh().release();
}

void ResultsScene::useLibraryMesh() {
    results_.reset(static_cast<std::size_t>(std::max(mesh().nodeCount(), 0)));
    DisplayState& state = displayState();
    state.box = boundingBox(mesh());
    model_ = ModelFrame::of(state.box, model_.largestExtent);
    recomputeSliceFlags({100, 100, 100});
    rebuildTriangles();
}

void ResultsScene::rebuildTriangles() {
    DisplayState& state = displayState();
    state.triangles = buildTriangleList(mesh(), state.sliceView);
    normals_ = normalArray(state.triangles);
    edgeFlags_ = edgeFlags(state.triangles, mesh().nodesPerElement() != 4);
    recomputePositions(0.0);
    recomputeRamp();
}

void ResultsScene::recomputeSliceFlags(const std::array<int, 3>& sliders) {
    computeSliceFlags(mesh(), displayState().box, sliders);
    invalidateNumbers();
}

void ResultsScene::recomputePositions(double factor) {
    // The number list keeps the places it was compiled at: it is made again when "Numeric" is
    // switched or the colours change, not on every animation frame.
    positions_ = vertexPositions(mesh(), displayState().triangles, results_.vectors, factor, model_);
    ++positionsVersion_;
    ++contentVersion_;
}

bool ResultsScene::meshOnly() const {
    return displayState().kind == kKindMesh || displayState().noValues;
}

void ResultsScene::recomputeRamp() {
    const DisplayState& state = displayState();
    ramp_ = textureCoordinates(state.triangles, results_.values, state.limits, meshOnly());
    invalidateNumbers();
}

void ResultsScene::tick() {
    if (!displayState().animate) {
        counter_ = 0;
        direction_ = 1;
        return;
    }
    counter_ += direction_;
    if (counter_ >= kAnimationSteps) direction_ = -1;
    if (counter_ <= 0) direction_ = 1;
    recomputePositions((1.0 - counter_ / static_cast<double>(kAnimationSteps)) * plottedFactor_);
}

std::array<float, 3> ResultsScene::vertexPosition(std::size_t vertex) const {
    return {positions_[3 * vertex], positions_[3 * vertex + 1], positions_[3 * vertex + 2]};
}

ResultsScene::ViewKey ResultsScene::keyOf(const GlCamera& camera) const {
    return {camera.modelView(), camera.width(), camera.height(), positionsVersion_};
}

const std::vector<bool>& ResultsScene::visibility(const GlCamera& camera) {
    const ViewKey key = keyOf(camera);
    const auto& nodes = displayState().triangles.nodes;
    if (!visibleKey_ || !(*visibleKey_ == key) || visible_.size() != nodes.size()) {
        visible_ = visibleVertices(positions_, nodes, camera);
        visible_.resize(nodes.size(), false);
        visibleKey_ = key;
    }
    return visible_;
}

int ResultsScene::probe(const ProbeRectangle& rect, const GlCamera& camera) {
    const auto& nodes = displayState().triangles.nodes;
    const std::vector<bool>& seen = visibility(camera);
    int picked = 0;
    for (std::size_t v = 0; v < nodes.size() && 3 * v + 2 < positions_.size(); ++v) {
        char& state = nodeState(nodes[v]);
        if (!seen[v] || state == kCutAway || state == kProbed) continue;
        WindowPoint p;
        if (camera.project(vertexPosition(v), p) && rect.contains(p.x, p.y)) {
            state = kProbed;
            ++picked;
            ++contentVersion_;
        }
    }
    return picked;
}

void ResultsScene::clearProbes() {
    ++contentVersion_;
    for (char& state : mesh().nodeStates())
        if (state == kProbed) state = kVisible;
}

std::string ResultsScene::labelOf(std::int32_t node) const {
    char text[48];
    const auto index = static_cast<std::size_t>(node - 1);
    if (meshOnly() || index >= results_.values.size())
        std::snprintf(text, sizeof text, "%d", node);
    else
        std::snprintf(text, sizeof text, "%g", results_.values[index]);
    return text;
}

// Each node the camera sees once, at its first seen vertex; 'k' marks the nodes done while the
// list is built.
void ResultsScene::buildNumberLabels(const GlCamera& camera) {
    numberLabels_.clear();
    const auto& nodes = displayState().triangles.nodes;
    const std::vector<bool>& seen = visibility(camera);
    for (std::size_t v = 0; v < nodes.size() && 3 * v + 2 < positions_.size(); ++v) {
        char& state = nodeState(nodes[v]);
        if (!seen[v] || state == kCutAway || state == kLabelled) continue;
        state = kLabelled;
        numberLabels_.push_back({vertexPosition(v), labelOf(nodes[v])});
    }
    for (char& state : mesh().nodeStates())
        if (state == kLabelled) state = kVisible;
    builtVersion_ = numberVersion_;
    labelledView_ = keyOf(camera);
}

// A probed node is labelled where the camera sees it, once; hidden, it keeps its probe but shows
// no label until the model is turned back.
void ResultsScene::addProbeLabels(const GlCamera& camera, render::SceneFrame& f) {
    const auto& nodes = displayState().triangles.nodes;
    std::vector<std::int32_t> labelled;
    bool any = false;
    for (std::size_t v = 0; v < nodes.size() && !any; ++v) any = nodeState(nodes[v]) == kProbed;
    if (!any) return;
    const std::vector<bool>& seen = visibility(camera);
    for (std::size_t v = 0; v < nodes.size() && 3 * v + 2 < positions_.size(); ++v) {
        if (!seen[v] || nodeState(nodes[v]) != kProbed) continue;
        if (std::find(labelled.begin(), labelled.end(), nodes[v]) != labelled.end()) continue;
        labelled.push_back(nodes[v]);
        f.probeLabels.push_back({vertexPosition(v), labelOf(nodes[v])});
    }
}

render::SceneFrame ResultsScene::frame(const GlCamera& camera) {
    render::SceneFrame f;
    f.width = camera.width();
    f.height = camera.height();
    f.panX = camera.panX();
    f.panY = camera.panY();
    f.distance = camera.distance();
    f.rotation = camera.trackball().matrix();
    f.positions = positions_;
    f.normals = normals_;
    f.rampCoordinates = ramp_;
    f.edgeFlags = edgeFlags_;
    f.smooth = switches_.smooth;
    f.showEdges = !switches_.noMesh;
    f.meshOnly = meshOnly();
    f.numeric = switches_.numeric;
    if (switches_.numeric) {
        // While animating the list keeps the places it was made at; a turned camera sees others.
        ViewKey view = keyOf(camera);
        view.positions = labelledView_.positions;
        if (builtVersion_ != numberVersion_ || !(view == labelledView_)) {
            ++numberVersion_;
            buildNumberLabels(camera);
        }
        f.numberLabels = numberLabels_;
        f.numberListVersion = builtVersion_;
    } else {
        addProbeLabels(camera, f);
    }
    return f;
}

}  // namespace results
