#include "render/scene_renderer.h"

#include <exception>

namespace render {

namespace {

SceneRendererFactory& factory() {
    static SceneRendererFactory instance;
    return instance;
}

}  // namespace

ISceneView::~ISceneView() = default;

void setSceneRendererFactory(SceneRendererFactory f) {
    factory() = std::move(f);
}

std::unique_ptr<ISceneRenderer> makeSceneRenderer(int width, int height) {
    if (!factory()) return nullptr;
    try {
        return factory()(width, height);
    } catch (const std::exception&) {
        return nullptr;
    }
}

}  // namespace render
