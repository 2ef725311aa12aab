#pragma once
// An RGB picture with a depth buffer, written to PNG with libpng.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "render/canvas.h"

namespace hostapp {

class RasterImage {
  public:
    RasterImage(int width, int height, render::Colour background = 0x00FFFFFF);

    int width() const { return width_; }
    int height() const { return height_; }

    // Colours as 0x00BBGGRR.
    void set(int x, int y, render::Colour colour);
    render::Colour at(int x, int y) const;
    // Sets the pixel when `depth` is nearer than what it holds; answers whether it did.
    bool setIfNearer(int x, int y, double depth, render::Colour colour);
    double depthAt(int x, int y) const;
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // The pixels as RGB bytes, rows from the top.
    const std::vector<std::uint8_t>& rgb() const { return rgb_; }
    // False when the file cannot be written.
    bool writePng(const std::string& path) const;

  private:
    int width_;
    int height_;
    std::vector<std::uint8_t> rgb_;
    std::vector<double> depth_;
};

}  // namespace hostapp
