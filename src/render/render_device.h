#pragma once
// The 3-D device the contour view draws with in the host's view. The host hands it out through the
// command site (GetRenderDevice); the add-on sees only this interface. Resources are named by
// handles; 0 is no resource.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/unknown.h"
#include "render/render_types.h"

namespace render {

using Handle = std::uint32_t;

enum class TransformKind { World, View, Projection };

enum class RenderState {
    Lighting,             // 0 or 1
    FillMode,             // FillSolid or FillWireframe
    ShadeMode,            // ShadeFlat or ShadeGouraud
    DepthEnable,          // depth test, 0 or 1
    DepthWrite,           // 0 or 1
    SlopeScaleDepthBias,  // float
    DepthBias,            // float
    AlphaBlend,           // 0 or 1
    DestBlend,            // BlendZero or BlendInvSrcAlpha
    AntialiasedLines,     // 0 or 1
    VertexBlend,          // BlendNone or BlendTweening
    TweenFactor,          // float, 0 (stream 0) to 1 (stream 1)
    LineWidth,            // pixels, 1 by default
    PointSize,            // pixels, 1 by default
};
inline constexpr float kFillSolid = 0, kFillWireframe = 1;
inline constexpr float kShadeFlat = 0, kShadeGouraud = 1;
inline constexpr float kBlendZero = 0, kBlendInvSrcAlpha = 1;
inline constexpr float kVertexBlendNone = 0, kVertexBlendTweening = 1;

// One element of a vertex declaration: where a vertex attribute comes from.
enum class VertexUsage { Position, Normal, TexCoord };
enum class VertexType { Float2, Float3 };
struct VertexElement {
    int stream = 0;
    int offset = 0;
    VertexType type = VertexType::Float3;
    VertexUsage usage = VertexUsage::Position;
    int usageIndex = 0;  // 1 for the second position of tweening
};

// The fixed vertex format of the static pass: position, normal, one texture coordinate.
inline constexpr std::uint32_t kFormatPositionNormalTex1 = 0x112;

// The one white light of lit draws, fixed in the view's eye space (depth away from the viewer);
// both sides of a face are lit.
struct Light {
    Float3 direction{0, 0, -1};  // where the light comes from
    float ambient = 0.35f;
    float diffuse = 0.75f;
};

// The textures built into the add-on: colour bars and the mesh texture.
enum class BuiltInTexture { BandedBar = 11066, SmoothBar = 11004, MeshTexture = 11011 };

// Text placement in its rectangle.
enum TextFormat : std::uint32_t { kTextLeft = 0, kTextTop = 0, kTextNoClip = 0x100 };

class IRenderDevice : public platform::IUnknown {
  public:
    KOLVANE_INTERFACE_ID(IRenderDevice);
    using Base = platform::IUnknown;

    virtual void beginScene() = 0;
    virtual void endScene() = 0;

    // A write-only vertex buffer of `bytes` bytes.
    virtual Handle createVertexBuffer(std::size_t bytes) = 0;
    // Replaces the buffer's contents from its start (lock, copy, unlock).
    virtual bool writeVertexBuffer(Handle buffer, const void* data, std::size_t bytes) = 0;
    virtual void releaseVertexBuffer(Handle buffer) = 0;
    virtual Handle createVertexDeclaration(std::span<const VertexElement> elements) = 0;
    virtual void releaseVertexDeclaration(Handle declaration) = 0;
    // Either a fixed format or a declaration describes the vertices of the next draws.
    virtual void setVertexFormat(std::uint32_t format) = 0;
    virtual void setVertexDeclaration(Handle declaration) = 0;
    // Binds `buffer` (0 unbinds) to `stream` with `stride` bytes per vertex.
    virtual void setStreamSource(int stream, Handle buffer, std::size_t stride) = 0;
    virtual void drawTriangleList(std::size_t firstVertex, std::size_t triangleCount) = 0;
    // Two vertices a line; the lines are as wide as the LineWidth state.
    virtual void drawLineList(std::size_t firstVertex, std::size_t lineCount) = 0;
    // One vertex a point; the points are as large as the PointSize state.
    virtual void drawPointList(std::size_t firstVertex, std::size_t pointCount) = 0;

    virtual Handle createTexture(BuiltInTexture texture) = 0;
    virtual void releaseTexture(Handle texture) = 0;
    virtual void setTexture(int stage, Handle texture) = 0;  // 0 unbinds

    // A font of `height` pixels and `weight` (700 bold) of the face `faceName`.
    virtual Handle createFont(int height, int weight, const std::string& faceName) = 0;
    virtual void releaseFont(Handle font) = 0;
    virtual void drawText(Handle font, const std::string& text, const ScreenRect& rect, std::uint32_t format,
                          Argb colour) = 0;

    virtual void setRenderState(RenderState state, float value) = 0;
    virtual void setLight(const Light& light) = 0;
    // The colour of the next draws: their material when lit, their colour when not; white until set.
    virtual void setMaterial(Argb colour) = 0;
    virtual Viewport viewport() const = 0;
    virtual Matrix4 transform(TransformKind kind) const = 0;
    virtual void setTransform(TransformKind kind, const Matrix4& matrix) = 0;
    // Fills `rect` with `colour` and its depth with `depth`.
    virtual void clear(const ScreenRect& rect, Argb colour, float depth) = 0;
};

}  // namespace render
