#pragma once
// A scene renderer drawing off screen (EGL surfaceless through Mesa) at a fixed size; headless runs
// and tests install it so the results window draws, snapshots and prints without a display.
#include <memory>

#include "render/gl/gl_scene_painter.h"
#include "render/gl/offscreen_context.h"
#include "render/scene_renderer.h"

namespace render::gl {

class OffscreenSceneRenderer : public ISceneRenderer {
  public:
    // Throws std::runtime_error when no off-screen context can be made.
    OffscreenSceneRenderer(int width, int height);

    void draw(const SceneFrame& frame) override;
    std::vector<std::uint8_t> pixels() override;
    bool writePng(const std::string& path) override;

  private:
    OffscreenContext context_;
    std::unique_ptr<GlScenePainter> painter_;
};

// Makes the off-screen renderer the one the results window gets.
void installOffscreenSceneRenderer();

}  // namespace render::gl
