#pragma once
// Draws a contour plot with the host view's render device: the coloured mesh (static, or tweened
// between undeformed and deformed shape while animating), the wireframe, the numbers at the
// vertices and the legend. Keeps the device resources between renders.
#include <span>
#include <string>
#include <vector>

#include "render/render_device.h"
#include "results/contour_colours.h"
#include "results/triangle_list.h"

namespace mesh_solve {
class Mesh;
}

namespace results {

struct ContourOptions {
    bool smooth = false;
    bool lighting = true;
    bool wireframe = false;
    bool numeric = false;
};

// What the legend shows besides the limits.
struct LegendInfo {
    int position = -1;  // quantity-list position
    bool naturalFrequencies = false;
    int step = 1;
    double modeValue = 0.0;
    std::string label;  // legend label of the quantity
    std::string unit;
    bool noValues = false;  // the reading gave no value: one line says so, without a range
};

// Everything one render draws.
struct ContourFrame {
    const mesh_solve::Mesh* mesh = nullptr;
    const TriangleList* triangles = nullptr;
    std::span<const double> values;   // per node
    std::span<const double> vectors;  // x, y, z per node
    std::span<const double> arrows;   // a flow's velocity, x, y, z per node, drawn as arrows when given
    BandLimits limits{};
    bool meshOnly = true;
    double lengthFactor = 1.0;  // mesh coordinates / factor = view coordinates
    double displacementScale = 0.0;
    float phase = 1.0f;  // tween factor while animating
    bool animate = false;
    ContourOptions options;
    LegendInfo legend;
};

// The colours of the text and the legend.
inline constexpr render::Argb kTextColour = 0xFF646464;
inline constexpr render::Argb kBlack = 0xFF000000;
inline constexpr render::Argb kWhite = 0x00FFFFFF;
// The material of the coloured pass: opaque white, so that the texture alone gives the colours.
inline constexpr render::Argb kWhiteMaterial = 0xFFFFFFFF;
// The font faces of the numbers and of the legend swatches.
inline constexpr const char* kTextFont = "Arial";
inline constexpr const char* kSwatchFont = "Arial Black";

// Vertex data of one render, three vertices per triangle.
std::vector<render::Float3> undeformedPositions(const ContourFrame& frame);
std::vector<render::Float3> deformedPositions(const ContourFrame& frame);
std::vector<render::TexCoord> textureCoordinates(const ContourFrame& frame);
std::vector<render::Vertex> staticVertices(const ContourFrame& frame);

// The legend lines: text, rectangle, colour and whether it is a swatch (the letter "I" in the big font).
struct LegendLine {
    std::string text;
    render::ScreenRect rect;
    render::Argb colour = 0;
    bool swatch = false;
};
std::vector<LegendLine> legendLines(const ContourFrame& frame);

class ContourRenderer {
  public:
    void render(render::IRenderDevice& device, const ContourFrame& frame);
    // Forgets the vertex buffers (and releases them on `device` when given); they are made again on
    // the next render. Fonts and textures stay.
    void releaseBuffers(render::IRenderDevice* device);
    bool resourcesReady() const { return ready_; }

  private:
    void createResources(render::IRenderDevice& device, const ContourFrame& frame);
    void drawStatic(render::IRenderDevice& device, const ContourFrame& frame);
    void drawAnimated(render::IRenderDevice& device, const ContourFrame& frame);
    void drawColoured(render::IRenderDevice& device, const ContourFrame& frame, std::size_t triangles);
    void drawNumbers(render::IRenderDevice& device, const ContourFrame& frame);
    void drawLegend(render::IRenderDevice& device, const ContourFrame& frame);
    void drawArrows(render::IRenderDevice& device, const ContourFrame& frame);
    void clearBackground(render::IRenderDevice& device);

    bool ready_ = false;
    render::Handle staticBuffer_ = 0;
    render::Handle declaration_ = 0;
    render::Handle tweenBuffers_[4] = {0, 0, 0, 0};
    render::Handle arrowBuffer_ = 0;
    std::size_t arrowBufferBytes_ = 0;
    render::Handle textFont_ = 0;
    render::Handle swatchFont_ = 0;
    render::Handle smoothBar_ = 0;
    render::Handle bandedBar_ = 0;
    render::Handle meshTexture_ = 0;
};

}  // namespace results
