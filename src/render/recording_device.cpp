#include "render/recording_device.h"

#include <algorithm>
#include <cstring>

namespace render {

void RecordingDevice::record(std::string name, std::vector<double> args) {
    calls_.push_back({std::move(name), std::move(args)});
}

int RecordingDevice::count(const std::string& name) const {
    return static_cast<int>(
        std::count_if(calls_.begin(), calls_.end(), [&](const auto& c) { return c.name == name; }));
}

void RecordingDevice::clearRecord() {
    calls_.clear();
    draws_.clear();
    texts_.clear();
}

void RecordingDevice::beginScene() {
    record("beginScene");
}
void RecordingDevice::endScene() {
    record("endScene");
}

Handle RecordingDevice::createVertexBuffer(std::size_t bytes) {
    record("createVertexBuffer", {double(bytes)});
    buffers_[next_].assign(bytes, 0);
    return next_++;
}

bool RecordingDevice::writeVertexBuffer(Handle buffer, const void* data, std::size_t bytes) {
    record("writeVertexBuffer", {double(buffer), double(bytes)});
    auto it = buffers_.find(buffer);
    if (it == buffers_.end() || bytes > it->second.size()) return false;
    if (bytes > 0) std::memcpy(it->second.data(), data, bytes);
    return true;
}

void RecordingDevice::releaseVertexBuffer(Handle buffer) {
    record("releaseVertexBuffer", {double(buffer)});
    buffers_.erase(buffer);
}

Handle RecordingDevice::createVertexDeclaration(std::span<const VertexElement> elements) {
    record("createVertexDeclaration", {double(elements.size())});
    declarations_[next_].assign(elements.begin(), elements.end());
    return next_++;
}

void RecordingDevice::releaseVertexDeclaration(Handle declaration) {
    record("releaseVertexDeclaration", {double(declaration)});
    declarations_.erase(declaration);
}

void RecordingDevice::setVertexFormat(std::uint32_t format) {
    record("setVertexFormat", {double(format)});
    format_ = format;
    declaration_ = 0;
}

void RecordingDevice::setVertexDeclaration(Handle declaration) {
    record("setVertexDeclaration", {double(declaration)});
    declaration_ = declaration;
    format_ = 0;
}

void RecordingDevice::setStreamSource(int stream, Handle buffer, std::size_t stride) {
    record("setStreamSource", {double(stream), double(buffer), double(stride)});
    streams_[stream] = buffer;
}

RecordedDraw RecordingDevice::drawNow(std::size_t firstVertex) const {
    RecordedDraw draw;
    draw.firstVertex = firstVertex;
    draw.material = material_;
    draw.light = light_;
    draw.texture = texture_;
    draw.states = states_;
    draw.format = format_;
    draw.declaration = declaration_;
    draw.streams = streams_;
    return draw;
}

void RecordingDevice::drawTriangleList(std::size_t firstVertex, std::size_t triangleCount) {
    record("drawTriangleList", {double(firstVertex), double(triangleCount)});
    draws_.push_back(drawNow(firstVertex));
    draws_.back().triangleCount = triangleCount;
}

void RecordingDevice::drawLineList(std::size_t firstVertex, std::size_t lineCount) {
    record("drawLineList", {double(firstVertex), double(lineCount)});
    draws_.push_back(drawNow(firstVertex));
    draws_.back().lineCount = lineCount;
}

void RecordingDevice::drawPointList(std::size_t firstVertex, std::size_t pointCount) {
    record("drawPointList", {double(firstVertex), double(pointCount)});
    draws_.push_back(drawNow(firstVertex));
    draws_.back().pointCount = pointCount;
}

Handle RecordingDevice::createTexture(BuiltInTexture texture) {
    record("createTexture", {double(static_cast<int>(texture))});
    textures_[next_] = texture;
    return next_++;
}

void RecordingDevice::releaseTexture(Handle texture) {
    record("releaseTexture", {double(texture)});
    textures_.erase(texture);
}

void RecordingDevice::setTexture(int stage, Handle texture) {
    record("setTexture", {double(stage), double(texture)});
    if (stage == 0) texture_ = texture;
}

Handle RecordingDevice::createFont(int height, int weight, const std::string& faceName) {
    record("createFont", {double(height), double(weight)});
    fonts_[next_] = {height, faceName};
    return next_++;
}

void RecordingDevice::releaseFont(Handle font) {
    record("releaseFont", {double(font)});
    fonts_.erase(font);
}

void RecordingDevice::drawText(Handle font, const std::string& text, const ScreenRect& rect,
                               std::uint32_t format, Argb colour) {
    record("drawText",
           {double(font), double(rect.left), double(rect.top), double(rect.right), double(rect.bottom)});
    texts_.push_back({font, text, rect, format, colour});
}

void RecordingDevice::setRenderState(RenderState state, float value) {
    record("setRenderState", {double(static_cast<int>(state)), double(value)});
    states_[state] = value;
}

void RecordingDevice::setLight(const Light& light) {
    record("setLight",
           {light.direction.x, light.direction.y, light.direction.z, light.ambient, light.diffuse});
    light_ = light;
}

void RecordingDevice::setMaterial(Argb colour) {
    record("setMaterial", {double(colour)});
    material_ = colour;
}

Matrix4 RecordingDevice::transform(TransformKind kind) const {
    auto it = transforms_.find(kind);
    return it == transforms_.end() ? Matrix4::identity() : it->second;
}

void RecordingDevice::setTransform(TransformKind kind, const Matrix4& matrix) {
    record("setTransform", {double(static_cast<int>(kind))});
    transforms_[kind] = matrix;
}

void RecordingDevice::clear(const ScreenRect& rect, Argb colour, float depth) {
    record("clear", {double(rect.left), double(rect.top), double(rect.right), double(rect.bottom),
                     double(colour), double(depth)});
}

const std::vector<unsigned char>& RecordingDevice::bufferBytes(Handle buffer) const {
    static const std::vector<unsigned char> kNone;
    auto it = buffers_.find(buffer);
    return it == buffers_.end() ? kNone : it->second;
}

std::vector<Vertex> RecordingDevice::vertices(Handle buffer) const {
    const auto& bytes = bufferBytes(buffer);
    std::vector<Vertex> out(bytes.size() / sizeof(Vertex));
    if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(Vertex));
    return out;
}

Handle RecordingDevice::textureOf(BuiltInTexture texture) const {
    for (const auto& [handle, t] : textures_)
        if (t == texture) return handle;
    return 0;
}

int RecordingDevice::fontHeight(Handle font) const {
    auto it = fonts_.find(font);
    return it == fonts_.end() ? 0 : it->second.first;
}

std::string RecordingDevice::fontFace(Handle font) const {
    auto it = fonts_.find(font);
    return it == fonts_.end() ? std::string() : it->second.second;
}

}  // namespace render
