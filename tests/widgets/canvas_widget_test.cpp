// The canvas widget's pointer handling: a press released within the slop is a click where it
// started, anything further a drag whose rubber band is drawn while it lasts; a widget of a
// dialog that is not created takes no presses.
#include "widgets/canvas_widget.h"

#include <gtest/gtest.h>

#include <vector>

#include "render/recording_canvas.h"
#include "ui/dialog.h"

namespace {

struct Recorder : widgets::CanvasWidget {
    std::vector<std::vector<double>> clicks, drags;
    void draw(render::Canvas&, double, double) const override {}
    void clicked(double x, double y) override { clicks.push_back({x, y}); }
    void dragged(double x0, double y0, double x1, double y1) override { drags.push_back({x0, y0, x1, y1}); }
};

TEST(CanvasWidget, SmallMovesClickLargeOnesDragWithARubberBandButNotBeforeTheirDialogExists) {
    Recorder w;
    w.mouseDown(10, 10);
    w.mouseMove(12, 13);
    w.mouseUp(13, 12);
    EXPECT_EQ(w.clicks, (std::vector<std::vector<double>>{{10, 10}}));
    EXPECT_FALSE(w.rubberBand());

    w.mouseDown(40, 50);
    w.mouseMove(10, 60);
    ASSERT_TRUE(w.rubberBand());
    EXPECT_EQ(w.rubberBand()->left, 10);
    EXPECT_EQ(w.rubberBand()->bottom, 60);
    render::RecordingCanvas canvas;
    w.paint(canvas, 100, 100);
    ASSERT_EQ(canvas.calls().size(), 2u);
    EXPECT_EQ(canvas.calls()[1].kind, render::CanvasCall::Kind::Rectangle);
    w.mouseUp(12, 70);
    EXPECT_EQ(w.drags, (std::vector<std::vector<double>>{{40, 50, 12, 70}}));
    EXPECT_EQ(w.clicks.size(), 1u);
    EXPECT_FALSE(w.rubberBand());
    w.mouseUp(12, 70);  // a release without a press does nothing
    EXPECT_EQ(w.drags.size() + w.clicks.size(), 2u);

    ui::DialogTemplate t;
    t.add(7, ui::ControlKind::Custom, "", {0, 0, 50, 50});
    ui::Dialog dialog(t);
    auto& attached = static_cast<Recorder&>(dialog.attachWidget(7, std::make_unique<Recorder>()));
    attached.mouseDown(5, 5);
    attached.mouseUp(5, 5);
    EXPECT_TRUE(attached.clicks.empty()) << "a widget of a dialog not created takes no presses";
}

}  // namespace
