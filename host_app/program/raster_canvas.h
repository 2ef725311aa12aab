#pragma once
// The view's device context for the add-on's overlay marks: lines of a pen's colour and width,
// circle and rectangle outlines, and text (FreeType with DejaVu Sans when the font is installed),
// drawn over a raster picture.
#include <memory>
#include <string>

#include "program/raster_image.h"
#include "render/canvas.h"

namespace hostapp {

class GlyphRenderer;

class RasterCanvas : public render::Canvas {
  public:
    explicit RasterCanvas(RasterImage& image);
    ~RasterCanvas() override;

    void setPen(render::Colour colour, int width) override;
    void line(double x0, double y0, double x1, double y1) override;
    void circle(double x, double y, double radius) override;
    void rectangle(double left, double top, double right, double bottom) override;
    // Height of the following text in pixels (13 until set).
    void setTextHeight(int pixels);
    // Black text, as a device context draws it by default.
    void text(double x, double y, const std::string& text) override;

  private:
    void dot(int x, int y);

    RasterImage& image_;
    render::Colour colour_ = 0;
    int width_ = 1;
    std::unique_ptr<GlyphRenderer> glyphs_;
};

}  // namespace hostapp
