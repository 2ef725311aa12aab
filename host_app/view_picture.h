#pragma once
// The host view as a picture: the current session's part shaded as the view's camera sees it, what
// the running commands draw into the view's 3-D device, and their overlay marks on top. Scripts
// write it to PNG; the main window shows it in its centre.
#include "raster_image.h"

namespace hostapp {

class HostApplication;

// Fits the camera to a view of `width` x `height` and draws the view; throws HostAppError when no
// document is open.
RasterImage drawView(HostApplication& app, int width, int height);

}  // namespace hostapp
