#include "render/recording_canvas.h"

#include <algorithm>

namespace render {

void RecordingCanvas::record(CanvasCall call) {
    call.colour = colour_;
    call.width = width_;
    calls_.push_back(std::move(call));
}

void RecordingCanvas::setPen(Colour colour, int width) {
    colour_ = colour;
    width_ = width;
    record({CanvasCall::Kind::Pen, static_cast<double>(colour), static_cast<double>(width), 0, 0, {}});
}

void RecordingCanvas::line(double x0, double y0, double x1, double y1) {
    record({CanvasCall::Kind::Line, x0, y0, x1, y1, {}});
}

void RecordingCanvas::circle(double x, double y, double radius) {
    record({CanvasCall::Kind::Circle, x, y, radius, 0, {}});
}

void RecordingCanvas::rectangle(double left, double top, double right, double bottom) {
    record({CanvasCall::Kind::Rectangle, left, top, right, bottom, {}});
}

void RecordingCanvas::text(double x, double y, const std::string& s) {
    record({CanvasCall::Kind::Text, x, y, 0, 0, s});
}

std::size_t RecordingCanvas::count(CanvasCall::Kind kind) const {
    return static_cast<std::size_t>(
        std::count_if(calls_.begin(), calls_.end(), [&](const CanvasCall& c) { return c.kind == kind; }));
}

}  // namespace render
