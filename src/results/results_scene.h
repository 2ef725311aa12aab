#pragma once
// What the results window draws, kept between frames: the node results of the plotted quantity,
// the client-side vertex arrays built from the shared display state, the animation counter, the
// probed nodes and the number labels. Knows nothing of OpenGL: it hands a SceneFrame to a renderer.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/result_reader.h"
#include "render/scene_renderer.h"
#include "results/gl_camera.h"
#include "results/gl_scene_arrays.h"
#include "results/probe_rectangle.h"

namespace results {

inline constexpr char kProbed = 'p';
inline constexpr char kLabelled = 'k';

struct SceneSwitches {
    bool smooth = false;
    bool numeric = false;
    bool noMesh = false;
    bool probe = false;
    bool operator==(const SceneSwitches&) const = default;
};

class ResultsScene {
  public:
    // Takes the library mesh as it now is: bounding box, node arrays and triangle list.
    void useLibraryMesh();
    // Triangle list (all faces in a slice view), normals and edge flags; positions with factor 0.
    void rebuildTriangles();
    void recomputeSliceFlags(const std::array<int, 3>& sliders);
    void recomputePositions(double factor);
    void recomputeRamp();

    NodeResults& nodeResults() { return results_; }
    const NodeResults& nodeResults() const { return results_; }
    bool meshOnly() const;

    // The factor Plot chose; the animation scales it.
    void setPlottedFactor(double factor) { plottedFactor_ = factor; }
    double plottedFactor() const { return plottedFactor_; }
    // One timer tick: with animation on, the counter steps 0..10..0 and the positions follow.
    void tick();
    int animationCounter() const { return counter_; }

    // Marks as probed every node the camera sees at a vertex projecting strictly inside `rect`.
    int probe(const ProbeRectangle& rect, const GlCamera& camera);
    // Per vertex of the triangle list: whether `camera` sees it (kept until the view or the
    // positions change).
    const std::vector<bool>& visibility(const GlCamera& camera);
    void clearProbes();

    SceneSwitches& switches() { return switches_; }
    const SceneSwitches& switches() const { return switches_; }
    // Grows with every change of what the picture is drawn from (positions, colours, triangles,
    // labels, probes); with the camera and the switches it tells whether a new frame would differ.
    std::uint64_t contentVersion() const { return contentVersion_; }
    // The labels of the number list are made again on the next frame (they are also made again
    // whenever the camera has moved, since they label only the nodes it sees).
    void invalidateNumbers() {
        ++numberVersion_;
        ++contentVersion_;
    }

    render::SceneFrame frame(const GlCamera& camera);

    const std::vector<float>& positions() const { return positions_; }
    const std::vector<float>& rampCoordinates() const { return ramp_; }
    const std::vector<std::uint8_t>& edgeFlagArray() const { return edgeFlags_; }

  private:
    // What the visibility of the vertices depends on besides the triangle list.
    struct ViewKey {
        Matrix16 modelView{};
        int width = 0, height = 0;
        std::uint64_t positions = 0;
        bool operator==(const ViewKey&) const = default;
    };
    ViewKey keyOf(const GlCamera& camera) const;
    std::string labelOf(std::int32_t node) const;
    std::array<float, 3> vertexPosition(std::size_t vertex) const;
    void buildNumberLabels(const GlCamera& camera);
    void addProbeLabels(const GlCamera& camera, render::SceneFrame& f);

    NodeResults results_;
    ModelFrame model_;
    std::vector<float> positions_, normals_, ramp_;
    std::vector<std::uint8_t> edgeFlags_;
    std::vector<render::SceneLabel> numberLabels_;
    std::uint64_t numberVersion_ = 1, builtVersion_ = 0;
    std::uint64_t positionsVersion_ = 0;
    std::uint64_t contentVersion_ = 0;
    std::vector<bool> visible_;
    std::optional<ViewKey> visibleKey_;
    // The view the number list was made for; a move of the camera makes it again.
    ViewKey labelledView_;
    double plottedFactor_ = 0;
    int counter_ = 0, direction_ = 1;
    SceneSwitches switches_;
};

// The mesh and results of the displays, cleared as a new results window opens.
void resetSharedResults();

}  // namespace results
