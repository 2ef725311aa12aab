#pragma once
// Draws a document's model into a picture as the view's camera sees it: its faces triangulated
// and flat shaded with hidden parts removed, and its edges in dark grey on top.
#include "occt_document.h"
#include "raster_image.h"
#include "view_camera.h"

namespace hostapp {

void renderPart(const OcctDocument& document, const ViewCamera& camera, RasterImage& image);

}  // namespace hostapp
