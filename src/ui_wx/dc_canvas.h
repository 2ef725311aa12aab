#pragma once
// A render::Canvas on a wx device context: the picture a canvas-drawn widget draws, on screen or
// into a bitmap. Shapes are outlines; text takes the pen's colour.
#include "render/canvas.h"

class wxDC;

namespace ui_wx {

class DcCanvas : public render::Canvas {
  public:
    explicit DcCanvas(wxDC& dc);
    void setPen(render::Colour colour, int width) override;
    void line(double x0, double y0, double x1, double y1) override;
    void circle(double x, double y, double radius) override;
    void rectangle(double left, double top, double right, double bottom) override;
    void text(double x, double y, const std::string& text) override;

  private:
    wxDC& dc_;
};

}  // namespace ui_wx
