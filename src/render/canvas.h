#pragma once
// The 2-D surface the overlay marks are drawn on (the host view's device context): a pen of a
// colour and width, lines, circles, rectangles and text at view positions in pixels.
#include <cstdint>
#include <string>

namespace render {

// Colours as 0x00BBGGRR.
using Colour = std::uint32_t;

class Canvas {
  public:
    virtual ~Canvas() = default;
    // A solid pen for the following lines and outlines.
    virtual void setPen(Colour colour, int width) = 0;
    virtual void line(double x0, double y0, double x1, double y1) = 0;
    // The outline of a circle of `radius` pixels around (x, y).
    virtual void circle(double x, double y, double radius) = 0;
    // The outline of the rectangle with corners (left, top) and (right, bottom).
    virtual void rectangle(double left, double top, double right, double bottom) = 0;
    // Text whose top-left corner is at (x, y).
    virtual void text(double x, double y, const std::string& text) = 0;
};

}  // namespace render
