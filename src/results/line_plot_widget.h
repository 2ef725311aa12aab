#pragma once
// The time graph's plot as a canvas-drawn widget of its dialog: draws the plot, turns a click and
// a drag into CLinePlot::click / drag, and opens the plot's in-place limit edit over the label.
#include "results/line_plot.h"
#include "widgets/canvas_widget.h"

class LinePlotWidget : public widgets::CanvasWidget {
  public:
    explicit LinePlotWidget(CLinePlot& plot) : plot_(plot) {}

    std::optional<EditBox> editBox() const override;
    bool finishEdit(const std::string& text) override;
    void cancelEdit() override;

  protected:
    void draw(render::Canvas& canvas, double width, double height) const override {
        plot_.draw(canvas, width, height);
    }
    void clicked(double x, double y) override { plot_.click(x, y); }
    void dragged(double x0, double y0, double x1, double y1) override { plot_.drag(x0, y0, x1, y1); }

  private:
    CLinePlot& plot_;
};
