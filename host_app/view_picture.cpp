#include "view_picture.h"

#include "host_application.h"
#include "part_renderer.h"
#include "raster_canvas.h"
#include "view_device.h"

namespace hostapp {

RasterImage drawView(HostApplication& app, int width, int height) {
    HostSession& session = app.requireSession();
    app.prepareView(width, height);
    RasterImage image(width, height);
    renderPart(session.document(), app.camera(), image);
    drawCommands3D(app, app.camera(), image);
    RasterCanvas canvas(image);
    app.drawOverlays(canvas);
    return image;
}

}  // namespace hostapp
