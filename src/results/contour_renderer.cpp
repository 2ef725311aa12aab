#include "results/contour_renderer.h"

#include <cstdio>

#include "formats/mesh.h"
#include "render/render_math.h"
#include "results/display_state.h"
#include "results/quantity_list.h"
#include "results/slice_flags.h"
#include "results/velocity_arrows.h"

namespace results {
namespace {

using render::Float3;
using render::RenderState;

constexpr int kTextFontHeight = 20;
constexpr int kSwatchFontHeight = 72;
constexpr int kBold = 700;
constexpr int kLegendRowHeight = 40;

std::string format(const char* fmt, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, fmt, value);
    return buffer;
}

bool cutAway(const ContourFrame& f, std::size_t triangle) {
    const std::string& states = f.mesh->elementStates();
    const auto e = static_cast<std::size_t>(f.triangles->elements[triangle]);
    return e < states.size() && states[e] == kCutAway;
}

Float3 nodePosition(const ContourFrame& f, std::int32_t node, double scale) {
    const auto c = f.mesh->coordinates();
    const std::size_t i = 3 * static_cast<std::size_t>(node - 1);
    auto vector = [&](std::size_t k) { return i + k < f.vectors.size() ? f.vectors[i + k] : 0.0; };
    return {static_cast<float>(c[i] / f.lengthFactor + scale * vector(0)),
            static_cast<float>(c[i + 1] / f.lengthFactor + scale * vector(1)),
            static_cast<float>(c[i + 2] / f.lengthFactor + scale * vector(2))};
}

std::vector<Float3> positions(const ContourFrame& f, double scale) {
    const auto& list = *f.triangles;
    std::vector<Float3> out(list.vertexCount());
    for (std::size_t v = 0; v < out.size(); ++v)
        if (!cutAway(f, v / 3)) out[v] = nodePosition(f, list.nodes[v], scale);
    return out;
}

void setCommonStates(render::IRenderDevice& d, const ContourFrame& f) {
    d.setRenderState(RenderState::Lighting, f.options.lighting ? 1.0f : 0.0f);
}

}  // namespace

std::vector<Float3> undeformedPositions(const ContourFrame& frame) {
    return positions(frame, 0.0);
}

std::vector<Float3> deformedPositions(const ContourFrame& frame) {
    return positions(frame, frame.displacementScale);
}

std::vector<render::TexCoord> textureCoordinates(const ContourFrame& f) {
    const auto& list = *f.triangles;
    std::vector<render::TexCoord> out(list.vertexCount());
    for (std::size_t v = 0; v < out.size(); ++v) {
        if (f.meshOnly) {
            // The mesh texture's border draws the triangle's edges; the central triangle of a
            // quadratic face samples the middle only, so that its inner edges stay hidden.
            static constexpr render::TexCoord kCorners[3] = {{0, 0}, {1, 0}, {1, 1}};
            out[v] = list.central[v / 3] ? render::TexCoord{0.5f, 0.5f} : kCorners[v % 3];
        } else {
            const auto node = static_cast<std::size_t>(list.nodes[v] - 1);
            out[v] = {0.5f, contourTexV(node < f.values.size() ? f.values[node] : 0.0, f.limits)};
        }
    }
    return out;
}

std::vector<render::Vertex> staticVertices(const ContourFrame& frame) {
    const auto p = deformedPositions(frame);
    const auto t = textureCoordinates(frame);
    const auto& normals = frame.triangles->normals;
    std::vector<render::Vertex> out(p.size());
    for (std::size_t v = 0; v < out.size(); ++v)
        out[v] = {p[v].x, p[v].y, p[v].z, normals[v].x, normals[v].y, normals[v].z, t[v].u, t[v].v};
    return out;
}

std::vector<LegendLine> legendLines(const ContourFrame& f) {
    const render::ScreenRect top{20, 10, 780, 50};
    if (f.legend.noValues) return {{noValuesText(f.legend.label), top, kBlack, false}};
    if (f.meshOnly) return {{"Mesh", top, kBlack, false}};
    if (f.legend.position == kPositionFrequency) {
        char buffer[128];
        if (f.legend.naturalFrequencies)
            std::snprintf(buffer, sizeof buffer, "Mode %d, Nat. Freq. %g Hz", f.legend.step,
                          f.legend.modeValue);
        else
            std::snprintf(buffer, sizeof buffer, "buckling factor = %g", f.legend.modeValue);
        return {{buffer, top, kBlack, false}};
    }
    std::vector<LegendLine> lines;
    auto row = [&](int y, int band, std::string text) {
        if (band >= 0) lines.push_back({"I", {2, y, 780, y + kLegendRowHeight}, kBandColours[band], true});
        lines.push_back({std::move(text), {20, y, 780, y + kLegendRowHeight}, kTextColour, false});
    };
    // A quantity without a unit (a Mach number) has no ": unit" after its label.
    char first[256];
    std::snprintf(first, sizeof first, "%g %s%s%s", f.limits[10], f.legend.label.c_str(),
                  f.legend.unit.empty() ? "" : ": ", f.legend.unit.c_str());
    int y = 10;
    row(y, 9, first);
    for (int k = 8; k >= 0; --k) row(y += kLegendRowHeight, k, format("%g", f.limits[k + 1]));
    row(y + kLegendRowHeight, -1, format("%g", f.limits[0]));
    return lines;
}

void ContourRenderer::render(render::IRenderDevice& device, const ContourFrame& frame) {
    if (frame.mesh == nullptr || frame.triangles == nullptr || !frame.mesh->isLoaded()) return;
    if (!ready_) createResources(device, frame);
    if (frame.animate)
        drawAnimated(device, frame);
    else
        drawStatic(device, frame);
    if (!frame.arrows.empty()) drawArrows(device, frame);
    drawLegend(device, frame);
    device.setTexture(0, 0);
    device.setStreamSource(0, 0, 0);
}

void ContourRenderer::createResources(render::IRenderDevice& d, const ContourFrame& frame) {
    if (!staticBuffer_)
        staticBuffer_ = d.createVertexBuffer(frame.triangles->vertexCount() * sizeof(render::Vertex));
    if (!textFont_) textFont_ = d.createFont(kTextFontHeight, kBold, kTextFont);
    if (!swatchFont_) swatchFont_ = d.createFont(kSwatchFontHeight, kBold, kSwatchFont);
    if (!smoothBar_) smoothBar_ = d.createTexture(render::BuiltInTexture::SmoothBar);
    if (!bandedBar_) bandedBar_ = d.createTexture(render::BuiltInTexture::BandedBar);
    if (!meshTexture_) meshTexture_ = d.createTexture(render::BuiltInTexture::MeshTexture);
    ready_ = true;
}

void ContourRenderer::releaseBuffers(render::IRenderDevice* device) {
    for (render::Handle* h : {&staticBuffer_, &tweenBuffers_[0], &tweenBuffers_[1], &tweenBuffers_[2],
                              &tweenBuffers_[3], &arrowBuffer_}) {
        if (*h && device) device->releaseVertexBuffer(*h);
        *h = 0;
    }
    arrowBufferBytes_ = 0;
    ready_ = false;
}

void ContourRenderer::clearBackground(render::IRenderDevice& d) {
    const render::Viewport vp = d.viewport();
    // The whole view: a strip left as the host drew it would show the part's shading and picks
    // beside the contours, and its depth would hide the contours there.
    d.clear({0, 0, vp.width, vp.height}, kWhite, 1.0f);
}

void ContourRenderer::drawColoured(render::IRenderDevice& d, const ContourFrame& f, std::size_t triangles) {
    const render::Handle texture = f.meshOnly ? meshTexture_ : (f.options.smooth ? smoothBar_ : bandedBar_);
    d.setTexture(0, texture);
    d.drawTriangleList(0, triangles);
    if (!f.options.wireframe) return;
    d.setRenderState(RenderState::FillMode, render::kFillWireframe);
    d.setRenderState(RenderState::SlopeScaleDepthBias, 0.0f);
    d.setRenderState(RenderState::DepthBias, 0.0f);
    d.setRenderState(RenderState::Lighting, 0.0f);
    d.setRenderState(RenderState::DestBlend, render::kBlendInvSrcAlpha);
    d.setRenderState(RenderState::AlphaBlend, 1.0f);
    d.setRenderState(RenderState::AntialiasedLines, 1.0f);
    d.drawTriangleList(0, triangles);
    d.setRenderState(RenderState::FillMode, render::kFillSolid);
}

void ContourRenderer::drawStatic(render::IRenderDevice& d, const ContourFrame& f) {
    const auto vertices = staticVertices(f);
    d.writeVertexBuffer(staticBuffer_, vertices.data(), vertices.size() * sizeof(render::Vertex));
    d.setVertexFormat(render::kFormatPositionNormalTex1);
    d.setStreamSource(0, staticBuffer_, sizeof(render::Vertex));
    setCommonStates(d, f);
    clearBackground(d);
    d.setRenderState(RenderState::ShadeMode, render::kShadeGouraud);
    d.setRenderState(RenderState::DepthEnable, 1.0f);
    d.setRenderState(RenderState::DepthWrite, 1.0f);
    d.setRenderState(RenderState::SlopeScaleDepthBias, 10.0f);
    d.setRenderState(RenderState::FillMode, render::kFillSolid);
    drawColoured(d, f, vertices.size() / 3);
    if (f.options.numeric) drawNumbers(d, f);
}

void ContourRenderer::drawAnimated(render::IRenderDevice& d, const ContourFrame& f) {
    using render::VertexElement;
    using render::VertexType;
    using render::VertexUsage;
    if (!declaration_) {
        static constexpr VertexElement kElements[4] = {{0, 0, VertexType::Float3, VertexUsage::Position, 0},
                                                       {1, 0, VertexType::Float3, VertexUsage::Position, 1},
                                                       {2, 0, VertexType::Float3, VertexUsage::Normal, 0},
                                                       {3, 0, VertexType::Float2, VertexUsage::TexCoord, 0}};
        declaration_ = d.createVertexDeclaration(kElements);
    }
    const std::size_t count = f.triangles->vertexCount();
    const auto undeformed = undeformedPositions(f);
    const auto deformed = deformedPositions(f);
    const auto texture = textureCoordinates(f);
    const void* data[4] = {undeformed.data(), deformed.data(), f.triangles->normals.data(), texture.data()};
    const std::size_t strides[4] = {sizeof(Float3), sizeof(Float3), sizeof(Float3), sizeof(render::TexCoord)};
    for (int s = 0; s < 4; ++s) {
        if (!tweenBuffers_[s]) tweenBuffers_[s] = d.createVertexBuffer(count * strides[s]);
        d.writeVertexBuffer(tweenBuffers_[s], data[s], count * strides[s]);
    }
    d.setVertexDeclaration(declaration_);
    for (int s = 0; s < 4; ++s) d.setStreamSource(s, tweenBuffers_[s], strides[s]);
    d.setRenderState(RenderState::VertexBlend, render::kVertexBlendTweening);
    d.setRenderState(RenderState::TweenFactor, f.phase);
    setCommonStates(d, f);
    clearBackground(d);
    d.setRenderState(RenderState::ShadeMode, render::kShadeGouraud);
    d.setRenderState(RenderState::DepthEnable, 1.0f);
    d.setRenderState(RenderState::DepthWrite, 1.0f);
    d.setRenderState(RenderState::SlopeScaleDepthBias, 10.0f);
    d.setRenderState(RenderState::DepthBias, -10.0f);
    d.setRenderState(RenderState::FillMode, render::kFillSolid);
    drawColoured(d, f, count / 3);
    d.setRenderState(RenderState::VertexBlend, render::kVertexBlendNone);
    for (int s = 1; s < 4; ++s) d.setStreamSource(s, 0, 0);
}

void ContourRenderer::drawNumbers(render::IRenderDevice& d, const ContourFrame& f) {
    const render::Matrix4 view = d.transform(render::TransformKind::View);
    const render::Matrix4 projection = d.transform(render::TransformKind::Projection);
    const render::Viewport vp = d.viewport();
    const auto& list = *f.triangles;
    for (std::size_t v = 0; v < list.vertexCount(); ++v) {
        const std::int32_t node = list.nodes[v];
        const auto i = static_cast<std::size_t>(node - 1);
        const std::string text =
            f.meshOnly ? std::to_string(node) : format("%g", i < f.values.size() ? f.values[i] : 0.0);
        if (render::transformNormal(list.normals[v], view).z < 0) continue;  // faces away from the viewer
        const Float3 s = render::projectPoint(nodePosition(f, node, 0.0), vp, projection, view,
                                              render::Matrix4::identity());
        const int x = static_cast<int>(s.x), y = static_cast<int>(s.y);
        d.drawText(textFont_, text, {x, y, x + 100, y + 40}, render::kTextLeft | render::kTextTop,
                   kTextColour);
    }
}

// Black unlit lines over the colours, hidden where the body stands in front of them. The buffer
// grows when a step has more moving nodes than the last.
void ContourRenderer::drawArrows(render::IRenderDevice& d, const ContourFrame& f) {
    const auto ends = velocityArrowLines(*f.mesh, *f.triangles, f.arrows, f.lengthFactor);
    if (ends.empty()) return;
    std::vector<render::Vertex> vertices(ends.size());
    for (std::size_t v = 0; v < ends.size(); ++v)
        vertices[v] = {ends[v].x, ends[v].y, ends[v].z, 0, 0, 1, 0, 0};
    const std::size_t bytes = vertices.size() * sizeof(render::Vertex);
    if (bytes > arrowBufferBytes_) {
        if (arrowBuffer_) d.releaseVertexBuffer(arrowBuffer_);
        arrowBuffer_ = d.createVertexBuffer(bytes);
        arrowBufferBytes_ = bytes;
    }
    d.writeVertexBuffer(arrowBuffer_, vertices.data(), bytes);
    d.setVertexFormat(render::kFormatPositionNormalTex1);
    d.setStreamSource(0, arrowBuffer_, sizeof(render::Vertex));
    d.setTexture(0, 0);
    d.setRenderState(RenderState::Lighting, 0.0f);
    d.setRenderState(RenderState::FillMode, render::kFillSolid);
    d.setRenderState(RenderState::DepthEnable, 1.0f);
    d.setRenderState(RenderState::SlopeScaleDepthBias, 0.0f);
    d.setRenderState(RenderState::DepthBias, 0.0f);
    d.setMaterial(kBlack);
    d.drawLineList(0, vertices.size() / 2);
    d.setMaterial(kWhiteMaterial);  // the coloured pass takes its colours from the texture alone
}

void ContourRenderer::drawLegend(render::IRenderDevice& d, const ContourFrame& f) {
    for (const LegendLine& line : legendLines(f))
        d.drawText(line.swatch ? swatchFont_ : textFont_, line.text, line.rect,
                   render::kTextLeft | render::kTextTop, line.colour);
}

}  // namespace results
