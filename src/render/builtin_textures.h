#pragma once
// The pixels of the three textures the contour view draws with, built in code: the banded colour
// bar, the smooth colour bar and the mesh texture. Row 0 is the top row (texture coordinate v = 0).
#include <cstdint>
#include <vector>

#include "render/render_device.h"

namespace render {

struct TexturePixels {
    int width = 0;
    int height = 0;
    std::vector<Argb> pixels;  // row by row from the top, opaque 0xFFRRGGBB
    Argb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

TexturePixels builtInTexturePixels(BuiltInTexture texture);

}  // namespace render
