#include "widgets/canvas_widget.h"

#include <algorithm>
#include <cmath>

namespace widgets {

void CanvasWidget::paint(render::Canvas& canvas, double width, double height) const {
    draw(canvas, width, height);
    if (const auto band = rubberBand()) {
        canvas.setPen(0x00808080, 1);
        canvas.rectangle(band->left, band->top, band->right, band->bottom);
    }
}

void CanvasWidget::mouseDown(double x, double y) {
    if (!acceptsInput()) return;
    pressed_ = true;
    dragging_ = false;
    x0_ = x_ = x;
    y0_ = y_ = y;
}

void CanvasWidget::mouseMove(double x, double y) {
    if (!pressed_) return;
    x_ = x;
    y_ = y;
    if (std::abs(x - x0_) > kClickSlop || std::abs(y - y0_) > kClickSlop) dragging_ = true;
    if (dragging_) changed();
}

void CanvasWidget::mouseUp(double x, double y) {
    if (!pressed_) return;
    mouseMove(x, y);
    pressed_ = false;
    if (dragging_)
        dragged(x0_, y0_, x, y);
    else
        clicked(x0_, y0_);
    dragging_ = false;
    changed();
}

std::optional<CanvasWidget::Box> CanvasWidget::rubberBand() const {
    if (!dragging_) return std::nullopt;
    return Box{std::min(x0_, x_), std::min(y0_, y_), std::max(x0_, x_), std::max(y0_, y_)};
}

}  // namespace widgets
