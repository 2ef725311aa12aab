#pragma once
// The render device on OpenGL 1.x fixed function, drawing into the context current when it draws
// (the view's window, or an off-screen one below); its picture can be read back and written as PNG.
// The host program hands it to the add-on as the view's device; tests render with it.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "render/gl/glyph_rasteriser.h"
#include "render/gl/offscreen_context.h"
#include "render/render_device.h"

namespace render::gl {

class GlRenderDevice : public platform::Implements<IRenderDevice> {
  public:
    // A device of a view of width x height pixels on the current context. The host keeps one
    // device for the life of its view: the resources a command made stay valid across frames.
    GlRenderDevice(int width, int height);
    // The view's new size.
    void resize(int width, int height) { viewport_.width = width, viewport_.height = height; }
    ~GlRenderDevice() override;

    void beginScene() override;
    void endScene() override;
    Handle createVertexBuffer(std::size_t bytes) override;
    bool writeVertexBuffer(Handle buffer, const void* data, std::size_t bytes) override;
    void releaseVertexBuffer(Handle buffer) override;
    Handle createVertexDeclaration(std::span<const VertexElement> elements) override;
    void releaseVertexDeclaration(Handle declaration) override;
    void setVertexFormat(std::uint32_t format) override;
    void setVertexDeclaration(Handle declaration) override;
    void setStreamSource(int stream, Handle buffer, std::size_t stride) override;
    void drawTriangleList(std::size_t firstVertex, std::size_t triangleCount) override;
    void drawLineList(std::size_t firstVertex, std::size_t lineCount) override;
    void drawPointList(std::size_t firstVertex, std::size_t pointCount) override;
    Handle createTexture(BuiltInTexture texture) override;
    void releaseTexture(Handle texture) override;
    void setTexture(int stage, Handle texture) override;
    Handle createFont(int height, int weight, const std::string& faceName) override;
    void releaseFont(Handle font) override;
    void drawText(Handle font, const std::string& text, const ScreenRect& rect, std::uint32_t format,
                  Argb colour) override;
    void setRenderState(RenderState state, float value) override;
    void setLight(const Light& light) override { light_ = light; }
    void setMaterial(Argb colour) override { material_ = colour; }
    Viewport viewport() const override { return viewport_; }
    Matrix4 transform(TransformKind kind) const override;
    void setTransform(TransformKind kind, const Matrix4& matrix) override;
    void clear(const ScreenRect& rect, Argb colour, float depth) override;

    // The picture as RGBA bytes, row 0 at the top.
    std::vector<std::uint8_t> pixels();
    // 0xAARRGGBB of the pixel at (x, y), y from the top.
    Argb pixel(int x, int y);
    bool writePng(const std::string& path);

  protected:
    // Makes the device's context current before it draws; the current one is the device's own.
    virtual void activate() {}

  private:
    struct Stream {
        Handle buffer = 0;
        std::size_t stride = 0;
    };
    void applyTransforms();
    void applyStates();
    void applyLight();
    // Draws `count` vertices from `first` of the bound streams as OpenGL's `mode` primitives.
    void drawVertices(unsigned mode, std::size_t first, std::size_t count);
    // Positions, normals and texture coordinates of the vertices of a draw, tweened on the CPU.
    void gatherVertices(std::size_t first, std::size_t count, std::vector<float>& positions,
                        std::vector<float>& normals, std::vector<float>& texCoords) const;
    const std::uint8_t* streamData(int stream, std::size_t& stride, std::size_t& size) const;

    Viewport viewport_;
    Handle next_ = 1;
    std::map<Handle, std::vector<std::uint8_t>> buffers_;
    std::map<Handle, std::vector<VertexElement>> declarations_;
    std::map<Handle, unsigned> textures_;
    std::map<Handle, std::unique_ptr<GlyphRasteriser>> fonts_;
    std::map<RenderState, float> states_;
    std::map<TransformKind, Matrix4> transforms_;
    std::map<int, Stream> streams_;
    std::uint32_t format_ = 0;
    Handle declaration_ = 0;
    Handle texture_ = 0;
    Argb material_ = 0xFFFFFFFF;
    Light light_;
    // The vertices of the last draw that could not be drawn from its buffer as they are.
    std::vector<float> positions_, normals_, texCoords_;
    mutable std::vector<float> second_;
};

struct OwnedContext {
    OffscreenContext context;
};

// The device on an off-screen context of its own (EGL surfaceless through Mesa), cleared to white.
class OffscreenRenderDevice : private OwnedContext, public GlRenderDevice {
  public:
    // Throws std::runtime_error when no off-screen context can be made.
    OffscreenRenderDevice(int width, int height);
    // The textures are deleted in the device's own context.
    ~OffscreenRenderDevice() override { context.makeCurrent(); }

  protected:
    void activate() override { context.makeCurrent(); }
};

}  // namespace render::gl
