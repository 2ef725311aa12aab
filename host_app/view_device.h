#pragma once
// The host view's 3-D device for commands that draw into the view (the contours): an off-screen
// OpenGL device set up with the view's camera, whose picture is laid over the shaded part.
#include "raster_image.h"
#include "view_camera.h"

namespace hostapp {

class HostApplication;

// Lets the running commands draw into the view's device and lays what they drew over `image`.
// Answers false when no command drew or no off-screen device can be made here.
bool drawCommands3D(HostApplication& app, const ViewCamera& camera, RasterImage& image);

}  // namespace hostapp
