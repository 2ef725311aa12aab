#include "program/raster_image.h"

#include <png.h>

#include <cstring>

namespace hostapp {

RasterImage::RasterImage(int width, int height, render::Colour background)
    : width_(width > 0 ? width : 1),
      height_(height > 0 ? height : 1),
      rgb_(static_cast<std::size_t>(width_) * height_ * 3),
      depth_(static_cast<std::size_t>(width_) * height_, -std::numeric_limits<double>::infinity()) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) set(x, y, background);
}

void RasterImage::set(int x, int y, render::Colour colour) {
    if (!contains(x, y)) return;
    std::uint8_t* p = &rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3];
    p[0] = colour & 0xFF;
    p[1] = (colour >> 8) & 0xFF;
    p[2] = (colour >> 16) & 0xFF;
}

render::Colour RasterImage::at(int x, int y) const {
    if (!contains(x, y)) return 0;
    const std::uint8_t* p = &rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3];
    return p[0] | (p[1] << 8) | (p[2] << 16);
}

bool RasterImage::setIfNearer(int x, int y, double depth, render::Colour colour) {
    if (!contains(x, y)) return false;
    double& stored = depth_[static_cast<std::size_t>(y) * width_ + x];
    if (depth <= stored) return false;
    stored = depth;
    set(x, y, colour);
    return true;
}

double RasterImage::depthAt(int x, int y) const {
    if (!contains(x, y)) return -std::numeric_limits<double>::infinity();
    return depth_[static_cast<std::size_t>(y) * width_ + x];
}

bool RasterImage::writePng(const std::string& path) const {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);
    image.format = PNG_FORMAT_RGB;
    const int ok = png_image_write_to_file(&image, path.c_str(), 0, rgb_.data(), width_ * 3, nullptr);
    png_image_free(&image);
    return ok != 0;
}

}  // namespace hostapp
