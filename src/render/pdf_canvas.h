#pragma once
// A one-page PDF document (A4 landscape) drawn with lines, circles, rectangles, Helvetica text and
// RGB pictures (image objects compressed with deflate). Coordinates are points from the top-left
// corner, as on a screen.
#include <sstream>
#include <string>
#include <vector>

#include "render/print_canvas.h"

namespace render {

class PdfCanvas : public PrintCanvas {
  public:
    PdfCanvas(std::string path, std::string title);

    void setPen(Colour colour, int width) override;
    void line(double x0, double y0, double x1, double y1) override;
    void circle(double x, double y, double radius) override;
    void rectangle(double left, double top, double right, double bottom) override;
    void text(double x, double y, const std::string& text) override;
    double pageWidth() const override { return kWidth; }
    double pageHeight() const override { return kHeight; }
    void setTextHeight(double height) override { textHeight_ = height; }
    void picture(double left, double top, double width, double height, int pixelsWide, int pixelsHigh,
                 std::span<const std::uint8_t> rgb) override;
    bool finish() override;

    static constexpr double kWidth = 842;
    static constexpr double kHeight = 595;

  private:
    double flip(double y) const { return kHeight - y; }

    std::string path_;
    std::string title_;
    std::ostringstream content_;
    // The pictures' image objects, each a dictionary with its compressed stream.
    std::vector<std::string> images_;
    Colour colour_ = 0;
    double textHeight_ = 10;
};

}  // namespace render
