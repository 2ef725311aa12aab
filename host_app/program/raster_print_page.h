#pragma once
// The printer of headless runs for names other than ".pdf": a white page of A4 at 150 dots per inch,
// drawn with the raster canvas and written as a PNG file when the print ends.
#include <string>

#include "program/raster_canvas.h"
#include "program/raster_image.h"
#include "render/print_canvas.h"

namespace hostapp {

class RasterPrintPage : public render::PrintCanvas {
  public:
    static constexpr int kWidth = 1240;
    static constexpr int kHeight = 1754;

    explicit RasterPrintPage(std::string path);

    double pageWidth() const override { return kWidth; }
    double pageHeight() const override { return kHeight; }
    void setTextHeight(double height) override;
    bool finish() override;

    void setPen(render::Colour colour, int width) override { canvas_.setPen(colour, width); }
    void line(double x0, double y0, double x1, double y1) override { canvas_.line(x0, y0, x1, y1); }
    void circle(double x, double y, double radius) override { canvas_.circle(x, y, radius); }
    void rectangle(double l, double t, double r, double b) override { canvas_.rectangle(l, t, r, b); }
    void text(double x, double y, const std::string& text) override { canvas_.text(x, y, text); }
    // Each page pixel inside the rectangle takes the picture pixel under its centre.
    void picture(double left, double top, double width, double height, int pixelsWide, int pixelsHigh,
                 std::span<const std::uint8_t> rgb) override;

    const RasterImage& image() const { return image_; }

  private:
    std::string path_;
    RasterImage image_;
    RasterCanvas canvas_;
};

// Makes every print to a name other than ".pdf" a PNG page.
void installRasterPrintPages();

}  // namespace hostapp
