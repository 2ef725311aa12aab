#include "view_device.h"

#include <stdexcept>

#include "host_application.h"
#include "render/gl/offscreen_render_device.h"

namespace hostapp {

bool drawCommands3D(HostApplication& app, const ViewCamera& camera, RasterImage& image) {
    platform::RefPtr<render::gl::OffscreenRenderDevice> device;
    try {
        device = platform::makeRef<render::gl::OffscreenRenderDevice>(image.width(), image.height());
    } catch (const std::exception&) {
        return false;  // no off-screen OpenGL on this machine: the part alone is drawn
    }
    device->setTransform(render::TransformKind::View, camera.viewMatrix());
    device->setTransform(render::TransformKind::Projection, camera.projectionMatrix());
    device->clear({0, 0, image.width(), image.height()}, 0xFFFFFFFFu, 1.0f);
    if (!app.draw3D(static_cast<render::IRenderDevice*>(device.get()))) return false;
    // What the commands drew covers the part; the white they left shows the part beneath.
    const auto pixels = device->pixels();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * image.width() + x) * 4;
            const render::Colour colour = pixels[i] | (pixels[i + 1] << 8) | (pixels[i + 2] << 16);
            if (colour != 0xFFFFFF) image.set(x, y, colour);
        }
    }
    return true;
}

}  // namespace hostapp
