#pragma once
// A canvas that only records what is drawn, for tests.
#include <string>
#include <vector>

#include "render/canvas.h"

namespace render {

struct CanvasCall {
    enum class Kind { Pen, Line, Circle, Rectangle, Text };
    Kind kind;
    double a = 0, b = 0, c = 0, d = 0;  // pen: colour, width; line: x0 y0 x1 y1; circle: x y r; ...
    std::string text;
    Colour colour = 0;  // the pen in force when the call was made
    int width = 0;
};

class RecordingCanvas : public Canvas {
  public:
    void setPen(Colour colour, int width) override;
    void line(double x0, double y0, double x1, double y1) override;
    void circle(double x, double y, double radius) override;
    void rectangle(double left, double top, double right, double bottom) override;
    void text(double x, double y, const std::string& text) override;

    const std::vector<CanvasCall>& calls() const { return calls_; }
    std::size_t count(CanvasCall::Kind kind) const;
    void clear() { calls_.clear(); }

  private:
    void record(CanvasCall call);

    std::vector<CanvasCall> calls_;
    Colour colour_ = 0;
    int width_ = 1;
};

}  // namespace render
