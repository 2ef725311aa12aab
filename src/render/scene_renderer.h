#pragma once
// The results window's picture: client-side vertex arrays, the camera and the switches of one frame,
// drawn by a scene renderer the program installs. The add-on fills a SceneFrame and never calls
// OpenGL itself; the OpenGL renderer lives in kolvane_render_gl, which the host program links.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace render {

// A text drawn at a point of the model (node numbers and values).
struct SceneLabel {
    std::array<float, 3> position{0, 0, 0};
    std::string text;
};

struct SceneFrame {
    int width = 1;
    int height = 1;
    // Camera: translation (pan x, pan y, -distance) followed by the rotation (column by column).
    float panX = 0, panY = 0, distance = 10;
    std::array<double, 16> rotation{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    // One entry per vertex of the triangle list: x, y, z; normal x, y, z; ramp coordinate; edge flag.
    std::span<const float> positions;
    std::span<const float> normals;
    std::span<const float> rampCoordinates;
    std::span<const std::uint8_t> edgeFlags;
    bool smooth = false;    // linear filtering of the colour ramp instead of flat bands
    bool showEdges = true;  // black element edges ("No Mesh" off)
    bool meshOnly = true;   // no quantity plotted: edges drawn without the ramp
    // Labels of probed nodes, drawn every frame.
    std::vector<SceneLabel> probeLabels;
    // Every node's label ("Numeric"); compiled once per `numberListVersion` and replayed after.
    std::span<const SceneLabel> numberLabels;
    std::uint64_t numberListVersion = 0;
    bool numeric = false;
};

class ISceneRenderer {
  public:
    virtual ~ISceneRenderer() = default;
    virtual void draw(const SceneFrame& frame) = 0;
    // The last frame drawn as RGBA bytes, row 0 at the top.
    virtual std::vector<std::uint8_t> pixels() = 0;
    virtual bool writePng(const std::string& path) = 0;
};

// A drawing area the program can step and photograph (the results window's OpenGL control): headless
// runs ask for timer ticks instead of waiting on a clock.
class ISceneView {
  public:
    virtual ~ISceneView();
    // Runs `count` ticks of the redraw timer.
    virtual void runFrames(int count) = 0;
    // Draws the current frame at width x height and writes it as PNG.
    virtual bool snapshot(const std::string& path, int width, int height) = 0;
};

// Makes a renderer of a window size; throws std::runtime_error when it cannot.
using SceneRendererFactory = std::function<std::unique_ptr<ISceneRenderer>(int width, int height)>;

// Installs the program's renderer maker (null removes it).
void setSceneRendererFactory(SceneRendererFactory factory);
// A renderer of that size, or null when none is installed or it cannot be made.
std::unique_ptr<ISceneRenderer> makeSceneRenderer(int width, int height);

}  // namespace render
