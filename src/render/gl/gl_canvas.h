#pragma once
// The 2-D canvas of the overlay marks drawn straight into the current OpenGL context over the 3-D
// picture: view pixels with y down, lines of the pen's colour and width, circle and rectangle
// outlines, black text in DejaVu Sans as a device context draws it by default.
#include <string>

#include "render/canvas.h"
#include "render/gl/glyph_rasteriser.h"

namespace render::gl {

class GlCanvas : public Canvas {
  public:
    // Sets up a pixel projection of a view of width x height; the previous matrices and states
    // come back when the canvas goes.
    GlCanvas(int width, int height);
    ~GlCanvas() override;
    GlCanvas(const GlCanvas&) = delete;
    GlCanvas& operator=(const GlCanvas&) = delete;

    void setPen(Colour colour, int width) override;
    void line(double x0, double y0, double x1, double y1) override;
    void circle(double x, double y, double radius) override;
    void rectangle(double left, double top, double right, double bottom) override;
    void text(double x, double y, const std::string& text) override;

  private:
    // The text font; null when it cannot be loaded.
    static const GlyphRasteriser* glyphs();

    int height_;
};

}  // namespace render::gl
