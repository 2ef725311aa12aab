#define GL_GLEXT_PROTOTYPES 1
#include "render/gl/gl_render_device.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>

#include "render/builtin_textures.h"
#include "render/gl/png_file.h"

namespace render::gl {
namespace {

float stateOr(const std::map<RenderState, float>& states, RenderState s, float fallback) {
    auto it = states.find(s);
    return it == states.end() ? fallback : it->second;
}

// The device's projection maps depth to 0..1 as the host's view does; OpenGL clips depth to -1..1.
Matrix4 depthToOpenGl() {
    Matrix4 m;
    m.m[2][2] = 2;
    m.m[3][2] = -1;
    return m;
}

}  // namespace

GlRenderDevice::GlRenderDevice(int width, int height) : viewport_{0, 0, width, height, 0, 1} {
    glViewport(0, 0, width, height);
    glDepthFunc(GL_LEQUAL);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

GlRenderDevice::~GlRenderDevice() {
    activate();
    for (auto& [handle, name] : textures_) glDeleteTextures(1, &name);
}

void GlRenderDevice::beginScene() {
    activate();
}
void GlRenderDevice::endScene() {
    glFinish();
}

Handle GlRenderDevice::createVertexBuffer(std::size_t bytes) {
    buffers_[next_].assign(bytes, 0);
    return next_++;
}

bool GlRenderDevice::writeVertexBuffer(Handle buffer, const void* data, std::size_t bytes) {
    auto it = buffers_.find(buffer);
    if (it == buffers_.end() || bytes > it->second.size()) return false;
    if (bytes > 0) std::memcpy(it->second.data(), data, bytes);
    return true;
}

void GlRenderDevice::releaseVertexBuffer(Handle buffer) {
    buffers_.erase(buffer);
}

Handle GlRenderDevice::createVertexDeclaration(std::span<const VertexElement> elements) {
    declarations_[next_].assign(elements.begin(), elements.end());
    return next_++;
}

void GlRenderDevice::releaseVertexDeclaration(Handle declaration) {
    declarations_.erase(declaration);
}

void GlRenderDevice::setVertexFormat(std::uint32_t format) {
    format_ = format;
    declaration_ = 0;
}

void GlRenderDevice::setVertexDeclaration(Handle declaration) {
    declaration_ = declaration;
    format_ = 0;
}

void GlRenderDevice::setStreamSource(int stream, Handle buffer, std::size_t stride) {
    streams_[stream] = {buffer, stride};
}

const std::uint8_t* GlRenderDevice::streamData(int stream, std::size_t& stride, std::size_t& size) const {
    auto s = streams_.find(stream);
    if (s == streams_.end()) return nullptr;
    auto b = buffers_.find(s->second.buffer);
    if (b == buffers_.end() || s->second.stride == 0) return nullptr;
    stride = s->second.stride;
    size = b->second.size();
    return b->second.data();
}

void GlRenderDevice::gatherVertices(std::size_t first, std::size_t count, std::vector<float>& positions,
                                    std::vector<float>& normals, std::vector<float>& texCoords) const {
    // The arrays keep their room from frame to frame: a view redraws every frame.
    positions.assign(3 * count, 0);
    normals.assign(3 * count, 0);
    texCoords.assign(2 * count, 0);
    std::vector<VertexElement> elements;
    if (format_ == kFormatPositionNormalTex1) {
        elements = {{0, 0, VertexType::Float3, VertexUsage::Position, 0},
                    {0, 12, VertexType::Float3, VertexUsage::Normal, 0},
                    {0, 24, VertexType::Float2, VertexUsage::TexCoord, 0}};
    } else if (auto d = declarations_.find(declaration_); d != declarations_.end()) {
        elements = d->second;
    }
    const bool tween = stateOr(states_, RenderState::VertexBlend, kVertexBlendNone) == kVertexBlendTweening;
    const float t = std::clamp(stateOr(states_, RenderState::TweenFactor, 0), 0.0f, 1.0f);
    std::vector<float>& second = second_;
    second.assign(tween ? 3 * count : 0, 0);
    bool hasSecond = false;
    for (const VertexElement& e : elements) {
        std::size_t stride = 0, size = 0;
        const std::uint8_t* data = streamData(e.stream, stride, size);
        if (data == nullptr) continue;
        const int width = e.type == VertexType::Float3 ? 3 : 2;
        if (e.usage == VertexUsage::Position && e.usageIndex == 1 && !tween) continue;
        float* target = e.usage == VertexUsage::Normal     ? normals.data()
                        : e.usage == VertexUsage::TexCoord ? texCoords.data()
                        : e.usageIndex == 1                ? second.data()
                                                           : positions.data();
        const int targetWidth = e.usage == VertexUsage::TexCoord ? 2 : 3;
        hasSecond = hasSecond || (e.usage == VertexUsage::Position && e.usageIndex == 1);
        for (std::size_t v = 0; v < count; ++v) {
            const std::size_t at = (first + v) * stride + static_cast<std::size_t>(e.offset);
            if (at + width * sizeof(float) > size) break;
            std::memcpy(target + v * targetWidth, data + at, std::min(width, targetWidth) * sizeof(float));
        }
    }
    if (tween && hasSecond)
        for (std::size_t i = 0; i < positions.size(); ++i)
            positions[i] = positions[i] * (1 - t) + second[i] * t;
}

void GlRenderDevice::applyTransforms() {
    glViewport(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
    glMatrixMode(GL_PROJECTION);
    const Matrix4 projection = transform(TransformKind::Projection) * depthToOpenGl();
    glLoadMatrixf(&projection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    const Matrix4 modelView = transform(TransformKind::World) * transform(TransformKind::View);
    glLoadMatrixf(&modelView.m[0][0]);
}

void GlRenderDevice::applyStates() {
    auto toggle = [](GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); };
    toggle(GL_LIGHTING, stateOr(states_, RenderState::Lighting, 1) != 0);
    glPolygonMode(GL_FRONT_AND_BACK,
                  stateOr(states_, RenderState::FillMode, kFillSolid) == kFillWireframe ? GL_LINE : GL_FILL);
    glShadeModel(stateOr(states_, RenderState::ShadeMode, kShadeGouraud) == kShadeFlat ? GL_FLAT : GL_SMOOTH);
    toggle(GL_DEPTH_TEST, stateOr(states_, RenderState::DepthEnable, 1) != 0);
    glDepthMask(stateOr(states_, RenderState::DepthWrite, 1) != 0 ? GL_TRUE : GL_FALSE);
    const float slope = stateOr(states_, RenderState::SlopeScaleDepthBias, 0);
    const float bias = stateOr(states_, RenderState::DepthBias, 0);
    glPolygonOffset(slope, bias);
    toggle(GL_POLYGON_OFFSET_FILL, slope != 0 || bias != 0);
    toggle(GL_BLEND, stateOr(states_, RenderState::AlphaBlend, 0) != 0);
    glBlendFunc(GL_SRC_ALPHA, stateOr(states_, RenderState::DestBlend, kBlendZero) == kBlendInvSrcAlpha
                                  ? GL_ONE_MINUS_SRC_ALPHA
                                  : GL_ZERO);
    toggle(GL_LINE_SMOOTH, stateOr(states_, RenderState::AntialiasedLines, 0) != 0);
    glLineWidth(stateOr(states_, RenderState::LineWidth, 1));
    glPointSize(stateOr(states_, RenderState::PointSize, 1));
    auto texture = textures_.find(texture_);
    toggle(GL_TEXTURE_2D, texture != textures_.end());
    if (texture != textures_.end()) glBindTexture(GL_TEXTURE_2D, texture->second);
    const GLfloat colour[] = {((material_ >> 16) & 0xFF) / 255.0f, ((material_ >> 8) & 0xFF) / 255.0f,
                              (material_ & 0xFF) / 255.0f, (material_ >> 24) / 255.0f};
    glColor4fv(colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, colour);
    if (stateOr(states_, RenderState::Lighting, 1) != 0) applyLight();
}

// The material is set on every draw and the light on every lit one: the context may be shared with
// other devices (the host's view draws its part and the commands' drawing on one), each with its own.
void GlRenderDevice::applyLight() {
    const GLfloat ambient[] = {light_.ambient, light_.ambient, light_.ambient, 1},
                  diffuse[] = {light_.diffuse, light_.diffuse, light_.diffuse, 1},
                  direction[] = {light_.direction.x, light_.direction.y, light_.direction.z, 0};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, direction);  // in eye space: the light moves with the viewer
    glPopMatrix();
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);  // a scaling world transform keeps the shading
}

void GlRenderDevice::drawTriangleList(std::size_t firstVertex, std::size_t triangleCount) {
    drawVertices(GL_TRIANGLES, firstVertex, 3 * triangleCount);
}

void GlRenderDevice::drawLineList(std::size_t firstVertex, std::size_t lineCount) {
    drawVertices(GL_LINES, firstVertex, 2 * lineCount);
}

void GlRenderDevice::drawPointList(std::size_t firstVertex, std::size_t pointCount) {
    drawVertices(GL_POINTS, firstVertex, pointCount);
}

void GlRenderDevice::drawVertices(unsigned mode, std::size_t firstVertex, std::size_t count) {
    activate();
    applyTransforms();
    applyStates();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    std::size_t stride = 0, size = 0;
    const std::uint8_t* fixed = format_ == kFormatPositionNormalTex1 ? streamData(0, stride, size) : nullptr;
    if (fixed != nullptr && stride == sizeof(Vertex) && (firstVertex + count) * stride <= size) {
        // The fixed format is drawn straight from its buffer: one copy less of every vertex.
        const std::uint8_t* at = fixed + firstVertex * stride;
        glVertexPointer(3, GL_FLOAT, static_cast<GLsizei>(stride), at);
        glNormalPointer(GL_FLOAT, static_cast<GLsizei>(stride), at + 12);
        glTexCoordPointer(2, GL_FLOAT, static_cast<GLsizei>(stride), at + 24);
    } else {
        gatherVertices(firstVertex, count, positions_, normals_, texCoords_);
        glVertexPointer(3, GL_FLOAT, 0, positions_.data());
        glNormalPointer(GL_FLOAT, 0, normals_.data());
        glTexCoordPointer(2, GL_FLOAT, 0, texCoords_.data());
    }
    glDrawArrays(mode, 0, static_cast<GLsizei>(count));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

Handle GlRenderDevice::createTexture(BuiltInTexture texture) {
    activate();
    const TexturePixels t = builtInTexturePixels(texture);
    std::vector<std::uint8_t> rgba;
    rgba.reserve(t.pixels.size() * 4);
    for (Argb p : t.pixels)
        rgba.insert(rgba.end(),
                    {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p), std::uint8_t(p >> 24)});
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Point sampling, as the view's device samples by default: the bands keep their exact colours.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, t.width, t.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    textures_[next_] = name;
    return next_++;
}

void GlRenderDevice::releaseTexture(Handle texture) {
    auto it = textures_.find(texture);
    if (it == textures_.end()) return;
    activate();
    glDeleteTextures(1, &it->second);
    textures_.erase(it);
}

void GlRenderDevice::setTexture(int stage, Handle texture) {
    if (stage == 0) texture_ = texture;
}

Handle GlRenderDevice::createFont(int height, int weight, const std::string& faceName) {
    try {
        fonts_[next_] = std::make_unique<GlyphRasteriser>(fontFileFor(faceName, weight), height);
    } catch (const std::exception&) {
        return 0;
    }
    return next_++;
}

void GlRenderDevice::releaseFont(Handle font) {
    fonts_.erase(font);
}

void GlRenderDevice::drawText(Handle font, const std::string& text, const ScreenRect& rect, std::uint32_t,
                              Argb colour) {
    auto it = fonts_.find(font);
    if (it == fonts_.end() || text.empty()) return;
    const TextBitmap bitmap = it->second->render(text);
    if (bitmap.width == 0) return;
    // Rows bottom-up for glDrawPixels, colour with the glyph coverage as alpha.
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(bitmap.width) * bitmap.height * 4);
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x) {
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(bitmap.height - 1 - y) * bitmap.width + x) * 4];
            p[0] = std::uint8_t(colour >> 16), p[1] = std::uint8_t(colour >> 8), p[2] = std::uint8_t(colour);
            p[3] = bitmap.coverage[static_cast<std::size_t>(y) * bitmap.width + x];
        }
    activate();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const int bottom = viewport_.height - (rect.top + bitmap.height);
    glWindowPos2i(rect.left, std::max(bottom, 0));
    glDrawPixels(bitmap.width, bitmap.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPopAttrib();
}

void GlRenderDevice::setRenderState(RenderState state, float value) {
    states_[state] = value;
}

Matrix4 GlRenderDevice::transform(TransformKind kind) const {
    auto it = transforms_.find(kind);
    return it == transforms_.end() ? Matrix4::identity() : it->second;
}

void GlRenderDevice::setTransform(TransformKind kind, const Matrix4& matrix) {
    transforms_[kind] = matrix;
}

void GlRenderDevice::clear(const ScreenRect& rect, Argb colour, float depth) {
    activate();
    const int left = std::max(rect.left, 0), right = std::min(rect.right, viewport_.width);
    const int top = std::max(rect.top, 0), bottom = std::min(rect.bottom, viewport_.height);
    if (right <= left || bottom <= top) return;
    glEnable(GL_SCISSOR_TEST);
    glScissor(left, viewport_.height - bottom, right - left, bottom - top);
    glClearColor(((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f, (colour & 0xFF) / 255.0f,
                 1.0f);
    glClearDepth(depth);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

std::vector<std::uint8_t> GlRenderDevice::pixels() {
    activate();
    glFinish();
    const int w = viewport_.width, h = viewport_.height;
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(w) * h * 4), out(raw.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
    const std::size_t row = static_cast<std::size_t>(w) * 4;
    for (int y = 0; y < h; ++y) std::memcpy(&out[y * row], &raw[(h - 1 - y) * row], row);
    return out;
}

Argb GlRenderDevice::pixel(int x, int y) {
    const auto p = pixels();
    const std::size_t i = (static_cast<std::size_t>(y) * viewport_.width + x) * 4;
    return (Argb(p[i + 3]) << 24) | (Argb(p[i]) << 16) | (Argb(p[i + 1]) << 8) | Argb(p[i + 2]);
}

bool GlRenderDevice::writePng(const std::string& path) {
    return gl::writePng(path, viewport_.width, viewport_.height, pixels());
}

OffscreenRenderDevice::OffscreenRenderDevice(int width, int height)
    : OwnedContext{OffscreenContext(width, height)}, GlRenderDevice(width, height) {
    glClearColor(1, 1, 1, 1);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace render::gl
