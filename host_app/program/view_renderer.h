#pragma once
// Draws the host view into the current OpenGL context: the current session's part shaded with its
// edges as the view's camera sees it, what is picked highlighted, the design points and reference
// planes as marks, then what the running commands draw into the view's 3-D device (the contours)
// and their overlay marks on top. The GUI's view draws on its window's context; scripts draw on
// an off-screen one and read the picture back.
#include "platform/ref_ptr.h"
#include "program/part_drawing.h"
#include "program/raster_image.h"

namespace render::gl {
class GlRenderDevice;
}

namespace hostapp {

class ViewScene;

// The 3-D devices of a view, made on its context and kept with the view, so that what a command
// made on its device stays valid from frame to frame: the host draws the part with one, the
// commands draw with the other, and neither sees the other's states.
struct ViewDevices {
    ViewDevices(int width, int height);
    ~ViewDevices();
    platform::RefPtr<render::gl::GlRenderDevice> part;
    platform::RefPtr<render::gl::GlRenderDevice> commands;
    PartDrawing partDrawing;
};

// Draws the view of width x height pixels; the camera must be ready for that size.
void drawViewGl(ViewScene& scene, ViewDevices& devices, int width, int height);

// What the current context's read buffer holds, as a picture (rows from the top).
RasterImage readFrame(int width, int height);

// The view as a picture, drawn off screen; throws HostAppError when no document is open or no
// off-screen context can be made.
RasterImage drawView(ViewScene& scene, int width, int height);

}  // namespace hostapp
