#pragma once
// A render device that keeps what it is given and records every call, for tests: buffer contents,
// render states, transforms, draws with the state they were made in, and the texts drawn.
#include <map>
#include <string>
#include <vector>

#include "render/render_device.h"

namespace render {

struct DeviceCall {
    std::string name;  // "drawTriangleList", "setRenderState", "clear", ...
    std::vector<double> args;
};

struct RecordedDraw {
    std::size_t firstVertex = 0;
    std::size_t triangleCount = 0;  // of a triangle list; a line or point list has its own count
    std::size_t lineCount = 0;
    std::size_t pointCount = 0;
    Argb material = 0xFFFFFFFF;
    Light light;
    Handle texture = 0;                   // bound to stage 0
    std::map<RenderState, float> states;  // in force at the draw
    std::uint32_t format = 0;             // fixed format, 0 when a declaration was set
    Handle declaration = 0;
    std::map<int, Handle> streams;
};

struct RecordedText {
    Handle font = 0;
    std::string text;
    ScreenRect rect;
    std::uint32_t format = 0;
    Argb colour = 0;
};

class RecordingDevice : public platform::Implements<IRenderDevice> {
  public:
    explicit RecordingDevice(Viewport viewport = {0, 0, 800, 600, 0, 1}) : viewport_(viewport) {}

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
    void setLight(const Light& light) override;
    void setMaterial(Argb colour) override;
    Viewport viewport() const override { return viewport_; }
    Matrix4 transform(TransformKind kind) const override;
    void setTransform(TransformKind kind, const Matrix4& matrix) override;
    void clear(const ScreenRect& rect, Argb colour, float depth) override;

    const std::vector<DeviceCall>& calls() const { return calls_; }
    int count(const std::string& name) const;
    void clearRecord();
    const std::vector<RecordedDraw>& draws() const { return draws_; }
    const std::vector<RecordedText>& texts() const { return texts_; }
    // The contents of a live buffer as written; empty for a released or unknown one.
    const std::vector<unsigned char>& bufferBytes(Handle buffer) const;
    std::vector<Vertex> vertices(Handle buffer) const;
    std::size_t liveBuffers() const { return buffers_.size(); }
    Handle textureOf(BuiltInTexture texture) const;  // the live texture made from `texture`, 0 if none
    int fontHeight(Handle font) const;
    std::string fontFace(Handle font) const;

  private:
    void record(std::string name, std::vector<double> args = {});
    RecordedDraw drawNow(std::size_t firstVertex) const;

    Viewport viewport_;
    std::vector<DeviceCall> calls_;
    std::vector<RecordedDraw> draws_;
    std::vector<RecordedText> texts_;
    Handle next_ = 1;
    std::map<Handle, std::vector<unsigned char>> buffers_;
    std::map<Handle, std::vector<VertexElement>> declarations_;
    std::map<Handle, BuiltInTexture> textures_;
    std::map<Handle, std::pair<int, std::string>> fonts_;
    std::map<RenderState, float> states_;
    std::map<TransformKind, Matrix4> transforms_;
    std::map<int, Handle> streams_;
    std::uint32_t format_ = 0;
    Handle declaration_ = 0;
    Handle texture_ = 0;
    Argb material_ = 0xFFFFFFFF;
    Light light_;
};

}  // namespace render
