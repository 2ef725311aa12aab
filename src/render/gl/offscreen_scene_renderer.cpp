#include "render/gl/offscreen_scene_renderer.h"

#include <GL/gl.h>

#include <cstring>

#include "render/gl/png_file.h"

namespace render::gl {

OffscreenSceneRenderer::OffscreenSceneRenderer(int width, int height) : context_(width, height) {
    context_.makeCurrent();
    painter_ = std::make_unique<GlScenePainter>();
}

void OffscreenSceneRenderer::draw(const SceneFrame& frame) {
    context_.makeCurrent();
    SceneFrame sized = frame;
    sized.width = context_.width();
    sized.height = context_.height();
    painter_->draw(sized);
}

std::vector<std::uint8_t> OffscreenSceneRenderer::pixels() {
    context_.makeCurrent();
    glFinish();
    const int w = context_.width(), h = context_.height();
    const std::size_t row = static_cast<std::size_t>(w) * 4;
    std::vector<std::uint8_t> raw(row * h), out(raw.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
    for (int y = 0; y < h; ++y) std::memcpy(&out[y * row], &raw[(h - 1 - y) * row], row);
    return out;
}

bool OffscreenSceneRenderer::writePng(const std::string& path) {
    return gl::writePng(path, context_.width(), context_.height(), pixels());
}

void installOffscreenSceneRenderer() {
    setSceneRendererFactory(
        [](int width, int height) { return std::make_unique<OffscreenSceneRenderer>(width, height); });
}

}  // namespace render::gl
