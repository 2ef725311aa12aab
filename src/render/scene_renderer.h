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
    // Labels of probed nodes, drawn every frame. Labels are of nodes the camera sees and are drawn
    // over the picture without a depth test.
    std::vector<SceneLabel> probeLabels;
    // Every seen node's label ("Numeric"); compiled once per `numberListVersion` and replayed after.
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
    // A renderer that shows its frames on screen keeps only the pixels of the frame drawn next
    // after this call; off-screen renderers keep every frame and need not be told.
    virtual void keepNextFrame() {}
    virtual bool writePng(const std::string& path) = 0;
};

// Buttons held during a pointer move, as ISceneView::pointerMoved takes them.
enum SceneButtons : unsigned { kSceneLeft = 1, kSceneRight = 2, kSceneMiddle = 4 };

// A drawing area the program can step, photograph and act on (the results window's OpenGL
// control): headless runs ask for timer ticks instead of waiting on a clock and call the pointer
// handlers directly; a window system's view passes a person's pointer and size changes on and
// lends the control the renderer of its own window.
class ISceneView {
  public:
    virtual ~ISceneView();
    // Runs `count` ticks of the redraw timer.
    virtual void runFrames(int count) = 0;
    // Whether a tick would draw a frame that differs from the last one (or the picture moves by
    // itself): a window ticks only then, and stays idle otherwise.
    virtual bool frameWanted() const = 0;
    // Draws the current frame at width x height and writes it as PNG; with a screen renderer
    // attached, the frame on screen (at the window's size) is written instead.
    virtual bool snapshot(const std::string& path, int width, int height) = 0;

    // Pointer input in the view's pixels, y down. A move carries the buttons held (SceneButtons).
    virtual void pointerMoved(double x, double y, unsigned buttons) = 0;
    // Answers whether the view wants the pointer captured until the release (a probe).
    virtual bool leftPressed(double x, double y) = 0;
    virtual void leftReleased(double x, double y) = 0;
    // `notches` wheel steps, positive forward.
    virtual void wheelTurned(int notches) = 0;

    // Where the view stands in its dialog, in dialog pixels (left, top, right, bottom).
    virtual std::array<int, 4> placement() const = 0;
    // The view's window took a new size (the projection follows).
    virtual void viewResized(int width, int height) = 0;
    // The dialog holding the view took a new client size (the dialog lays the view out again).
    virtual void containerResized(int width, int height) = 0;
    // Draws the control's frames into `screen` (a window's own renderer) instead of an off-screen
    // one; null goes back to off-screen drawing. The caller keeps `screen` alive while attached.
    virtual void attachScreen(ISceneRenderer* screen) = 0;

    // How many frames have been drawn, and how many nodes carry a probe label.
    virtual int framesDrawn() const = 0;
    virtual int probedNodes() const = 0;
};

// Makes a renderer of a window size; throws std::runtime_error when it cannot.
using SceneRendererFactory = std::function<std::unique_ptr<ISceneRenderer>(int width, int height)>;

// Installs the program's renderer maker (null removes it).
void setSceneRendererFactory(SceneRendererFactory factory);
// A renderer of that size, or null when none is installed or it cannot be made.
std::unique_ptr<ISceneRenderer> makeSceneRenderer(int width, int height);

}  // namespace render
