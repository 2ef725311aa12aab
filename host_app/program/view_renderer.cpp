#define GL_GLEXT_PROTOTYPES 1
#include "program/view_renderer.h"

#include <GL/gl.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "program/addon_library.h"
#include "program/view_scene.h"
#include "render/gl/gl_canvas.h"
#include "render/gl/gl_render_device.h"
#include "render/gl/offscreen_context.h"

namespace hostapp {

namespace {

// The part through its own device, on white.
void drawPart(ViewScene& scene, render::gl::GlRenderDevice& device, PartDrawing& part, int width,
              int height) {
    scene.requireSession();
    device.resize(width, height);
    device.clear({0, 0, width, height}, 0xFFFFFFFF, 1.0f);
    part.draw(scene);
}

// The commands draw through a device of their own over the part; its state stays its own.
void drawCommands(ViewScene& scene, render::gl::GlRenderDevice& device, int width, int height) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    device.resize(width, height);
    device.setTransform(render::TransformKind::View, scene.camera().viewMatrix());
    device.setTransform(render::TransformKind::Projection, scene.camera().projectionMatrix());
    scene.draw3D(static_cast<render::IRenderDevice*>(&device));
    glPopClientAttrib();
    glPopAttrib();
    render::gl::GlCanvas canvas(width, height);
    scene.drawOverlays(canvas);
}

// The off-screen view of a run's pictures: one context and its devices for all of them, as a
// window keeps its own, so what a command made on its device stays valid from picture to picture.
struct OffscreenView {
    render::gl::OffscreenContext context;
    std::unique_ptr<ViewDevices> devices;
    OffscreenView(int width, int height)
        : context(width, height), devices(std::make_unique<ViewDevices>(width, height)) {}
    ~OffscreenView() {
        context.makeCurrent();  // the devices' textures go with their context
        devices.reset();
    }
};

OffscreenView& offscreenView(int width, int height) {
    static std::unique_ptr<OffscreenView> view;
    if (!view) view = std::make_unique<OffscreenView>(width, height);
    view->context.resize(width, height);
    view->context.makeCurrent();
    return *view;
}

}  // namespace

ViewDevices::ViewDevices(int width, int height)
    : part(platform::makeRef<render::gl::GlRenderDevice>(width, height)),
      commands(platform::makeRef<render::gl::GlRenderDevice>(width, height)),
      partDrawing(part) {
    commands->setLight(kViewLight);
}

ViewDevices::~ViewDevices() = default;

void drawViewGl(ViewScene& scene, ViewDevices& devices, int width, int height) {
    drawPart(scene, *devices.part, devices.partDrawing, width, height);
    drawCommands(scene, *devices.commands, width, height);
    glFinish();
}

RasterImage drawView(ViewScene& scene, int width, int height) {
    scene.requireSession();
    OffscreenView* view = nullptr;
    try {
        view = &offscreenView(width, height);
    } catch (const std::runtime_error& e) {
        throw HostAppError(std::string("the view cannot be drawn here: ") + e.what());
    }
    scene.prepareView(width, height);
    drawViewGl(scene, *view->devices, width, height);
    return readFrame(width, height);
}

RasterImage readFrame(int width, int height) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    RasterImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgb[(static_cast<std::size_t>(height - 1 - y) * width + x) * 3];
            image.set(x, y, p[0] | (p[1] << 8) | (p[2] << 16));
        }
    return image;
}

}  // namespace hostapp
