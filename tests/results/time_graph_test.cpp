// The time history graph: fetching node series, averaging at shared corners, listing, saving,
// printing, selection, ranges and the messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "formats/result_writer.h"
#include "mesh_solve/mesh_store.h"
#include "render/recording_canvas.h"
#include "results/contour_fixture.h"
#include "results/line_plot_dialog.h"
#include "results/quantity_list.h"
#include "results/time_history.h"
#include "support/addon_fixture.h"
#include "widgets/text_entry_dlg.h"

namespace {

using namespace results;
using D = CLinePlotTestDlg;

// An axis range as (low, high).
std::pair<float, float> span(const auto& range) {
    return {range.low, range.high};
}

// Three displacement steps of four nodes; node n moves n * step in x.
std::string displacements() {
    std::string text = "MESHFILE\nx.meb\n";
    for (int step = 1; step <= 3; ++step) {
        std::vector<double> u;
        for (int n = 1; n <= 4; ++n) u.insert(u.end(), {1.0 * n * step, 0.0, -1.0 * step});
        text += nodeVectorBlock("DISP", step, u);
    }
    return text;
}

class TimeGraph : public ::testing::Test, public AddOnFixture {
  protected:
    void SetUp() override {
        CLinePlotTestDlg::setClock([] { return std::time_t{1700000000}; });
        writeFile(scratch.file("Case.out"), displacements());
    }
    void TearDown() override { CLinePlotTestDlg::setClock(nullptr); }

    D& open(int kind, int item, const std::string& base = "Case") {
        dialog = std::make_unique<D>(kind, item, scratch.file(base));
        dialog->create();
        return *dialog;
    }
    void fetch(const std::string& typed) {
        prompts->queueModal(" ", [typed](ui::Dialog& entry) {
            entry.userType(CTextEntryDlg::kEditId, typed);
            entry.userClick(ui::kIdOk);
        });
        dialog->userClick(D::kFetch);
    }

    std::unique_ptr<D> dialog;
};

// Nodes typed with a comma and a blank, the newest series selected: ResultsWindowScript and
// gui_every_dialog ("2, 5", the saved series of node 5).
TEST_F(TimeGraph, TheRangesWidenToAllSeriesAndNodesTypedTogetherShareTheirColour) {
    open(kKindDisplacement, 0);
    fetch("1, 2 4");
    ASSERT_EQ(dialog->plot().seriesCount(), 3);
    EXPECT_EQ(span(dialog->plot().yRange()), (std::pair{1.0f, 12.0f}));
    EXPECT_EQ(dialog->plot().series(0)->colour(), dialog->plot().series(1)->colour());
    EXPECT_EQ(parseNodeNumbers(" ,, "), std::vector<int>{});
}

TEST_F(TimeGraph, CombinedDisplacementIsTheMagnitudeUnknownNodesAreZeroAndCancelAddsNothing) {
    open(kKindDisplacement, kItemMagnitude);
    fetch("1 99");
    const auto& one = dialog->plot().series(0)->points();
    EXPECT_FLOAT_EQ(one[1].y, std::sqrt(8.0f));  // (2, 0, -2)
    for (const auto& p : dialog->plot().series(1)->points()) EXPECT_EQ(p.y, 0);
    prompts->queueModal(" ", [](ui::Dialog& entry) { entry.userClick(ui::kIdCancel); });
    dialog->userClick(D::kFetch);
    EXPECT_EQ(dialog->plot().seriesCount(), 2);
    // Without a result file a node gives no series at all.
    open(kKindDisplacement, 0, "Missing");
    fetch("1");
    EXPECT_EQ(dialog->plot().seriesCount(), 0);
}

// A transient flow: a point per printed step at its number, the pressure as it stands, speed and
// vorticity as magnitudes.
TEST_F(TimeGraph, AFlowsQuantitiesArePlottedAtThePrintedSteps) {
    const std::string path = scratch.file("Case.out");
    writeFile(path, results_test::twoTetrahedraFlow());
    const auto pressure = *fetchNodeHistory(path, kKindPressure, 0, 5);
    ASSERT_EQ(pressure.size(), 2u);
    EXPECT_EQ((std::array{pressure[0].x, pressure[0].y, pressure[1].x, pressure[1].y}),
              (std::array{5.0f, -10.0f, 10.0f, -20.0f}));
    EXPECT_FLOAT_EQ(fetchNodeHistory(path, kKindVelocity, kItemMagnitude, 2)->at(1).y, 5);
    EXPECT_FLOAT_EQ(fetchNodeHistory(path, kKindVorticity, kItemMagnitude, 5)->at(1).y, 2);
}

TEST_F(TimeGraph, StressAtACornerSharedByFourElementsIsAveraged) {
    std::string text;
    for (int step = 1; step <= 2; ++step) {
        text += "STRESS " + std::to_string(step) + "\n\n";
        for (int e = 1; e <= 4; ++e)
            for (int corner = 0; corner < 4; ++corner) {
                const int node = corner == 0 ? 7 : 10 * e + corner;
                text += std::to_string(e) + " " + std::to_string(node) + " " + std::to_string(10 * e * step) +
                        " 0 0 0 0 0\n";
            }
        text += "\n";
    }
    writeFile(scratch.file("Case.out"), text);
    open(kKindStress, 0);
    fetch("7");
    const auto& points = dialog->plot().series(0)->points();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ((std::pair{points[0].y, points[1].y}), (std::pair{25.0f, 50.0f}));  // (10 + 20 + 30 + 40) / 4
    // A derived stress is averaged the same way: von Mises of a uniaxial state is its magnitude.
    EXPECT_NEAR((*fetchNodeHistory(scratch.file("Case.out"), kKindStress, 6, 7))[1].y, 50, 1e-3);
}

// A static run: one block, so one point per node, in a quadratic mesh whose stress lines name only
// the corners 1, 3, 5 and 10 (sx 10, 20, 30, 40).
TEST_F(TimeGraph, AStaticRunsPointIsMarkedAndListedAsShownAndAMidSideNodeTakesItsCornersMean) {
    mesh_solve::libraryMesh() = results_test::meshOf(results_test::quadraticTetrahedron({}));
    std::string text = "MESHFILE\nx.meb\nDISP 1\n1 4.3e-07 0 0\n";
    for (int n = 2; n <= 10; ++n) text += std::to_string(n) + " 0 0 0\n";
    text += "\nSTRESS 1\n\n";
    const int corners[4] = {1, 3, 5, 10};
    for (int i = 0; i < 4; ++i)
        text += "1 " + std::to_string(corners[i]) + " " + std::to_string(10 * (i + 1)) + " 0 0 0 0 0\n";
    writeFile(scratch.file("Case.out"), text + "\n");

    open(kKindStress, 0);
    fetch("2 9 3");
    ASSERT_EQ(dialog->plot().seriesCount(), 3);
    EXPECT_EQ(dialog->plot().series(0)->points()[0].y, 15) << "between corners 1 and 3";
    EXPECT_EQ(dialog->plot().series(1)->points()[0].y, 35) << "between corners 5 and 10";
    EXPECT_EQ(dialog->plot().series(2)->points()[0].y, 20);
    // The ranges are opened around the lone block so that the points stand inside the plot.
    EXPECT_LT(dialog->plot().xRange().low, 1);
    EXPECT_GT(dialog->plot().xRange().high, 1);
    render::RecordingCanvas canvas;
    dialog->plot().draw(canvas, 700, 300);
    int marks = 0;
    for (const auto& call : canvas.calls()) {
        if (call.kind != render::CanvasCall::Kind::Rectangle ||
            call.colour != dialog->plot().series(0)->colour())
            continue;
        ++marks;
        const double x = (call.a + call.c) / 2, y = (call.b + call.d) / 2;
        EXPECT_TRUE(x > 84 && x < 672 && y >= 24 && y <= 246) << "centred inside the plot area";
    }
    EXPECT_EQ(marks, 3) << "one mark per series (the three share a colour)";

    open(kKindDisplacement, 0);
    fetch("1");
    dialog->userClick(D::kShowList);
    ASSERT_EQ(dialog->itemCount(D::kList), 3);
    EXPECT_EQ(dialog->itemText(D::kList, 0), "Node 1");
    EXPECT_EQ(dialog->itemText(D::kList, 2), "1\t 4.3e-07") << "as the graph shows it, not 0.000000";
    dialog->userClick(D::kClear);
    EXPECT_EQ(dialog->itemCount(D::kList), 0);
    mesh_solve::libraryMesh().release();
}

TEST_F(TimeGraph, SavingThreePointsWritesThreeLines) {
    open(kKindDisplacement, 0);
    fetch("2");
    prompts->queueFile(scratch.file("saved.txt"));
    dialog->userClick(D::kSave);
    EXPECT_EQ(readFile(scratch.file("saved.txt")),
              "1.000000\t2.000000\n2.000000\t4.000000\n3.000000\t6.000000\n");
    const auto& request = prompts->fileRequests().back();
    EXPECT_EQ((std::vector<std::string>{request.title, request.initialName, request.filter}),
              (std::vector<std::string>{"Save Plot Data To....", "Node 2.txt", "Text File (*.txt)|*.txt||"}));
    // A file that cannot be made, or a disk that fills up, is reported.
    EXPECT_TRUE(prompts->messageTexts().empty());
    for (const std::string& bad : {scratch.file("no/such/folder.txt"), std::string("/dev/full")}) {
        prompts->queueFile(bad);
        dialog->userClick(D::kSave);
        ASSERT_FALSE(prompts->messageTexts().empty());
        EXPECT_EQ(prompts->messageTexts().back(), "Could not save the plot data to " + bad + ".");
    }
}

TEST_F(TimeGraph, MessagesWithoutASelectionOrData) {
    open(kKindTemperature, 0);  // the file holds no temperatures: a series without points
    dialog->userClick(D::kShowList);
    dialog->userClick(D::kSetColour);
    dialog->userClick(D::kRemove);
    fetch("1");
    dialog->userClick(D::kSave);
    dialog->userClick(D::kShowList);
    EXPECT_EQ(prompts->messageTexts(),
              (std::vector<std::string>{"No plot selected - select one and try again.",
                                        "There is no plot selected.", "There is no plot selected.",
                                        "Selected plot has no data - try another.",
                                        "Selected plot has no data - try another."}));
}

TEST_F(TimeGraph, ColourStyleAndRemove) {
    open(kKindDisplacement, 0);
    fetch("1 2");
    prompts->queueColour(0x00123456u);
    dialog->userClick(D::kSetColour);
    EXPECT_EQ(dialog->plot().series(1)->colour(), 0x00123456u);
    dialog->userChoose(D::kStyle, CPlotData::kBar);
    EXPECT_EQ(dialog->plot().series(1)->style(), CPlotData::kBar);
    dialog->plot().select(0);
    EXPECT_EQ(dialog->selection(D::kStyle), CPlotData::kLine);  // the list follows the selection
    dialog->userClick(D::kRemove);
    ASSERT_EQ(dialog->plot().seriesCount(), 1);
    EXPECT_EQ(dialog->plot().series(0)->name(), "Node 2");
    EXPECT_FALSE(dialog->plot().removeSeries(5));
}

TEST_F(TimeGraph, PrintingWritesAPdfOrSaysTheJobCannotStart) {
    open(kKindDisplacement, 0);
    fetch("1");
    prompts->queuePrint(ui::PrintTarget{scratch.file("graph.pdf")});
    dialog->userClick(D::kPrint);
    const std::string pdf = readFile(scratch.file("graph.pdf"));
    EXPECT_EQ(pdf.substr(0, 8), "%PDF-1.4");
    EXPECT_NE(pdf.find("(Mean=2, Min=1, Max=3) Tj"), std::string::npos);
    EXPECT_NE(pdf.find("/Title (Time History Graph)"), std::string::npos);
    prompts->queuePrint(ui::PrintTarget{scratch.file("no/such/graph.pdf")});
    dialog->userClick(D::kPrint);
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"Cannot Start Print Job."});
}

TEST(LinePlot, RangesLocksDecimalsAndDrawing) {
    CLinePlot plot;
    int notified = 0;
    plot.setParentNotify([&](int code) { notified += code == CLinePlot::kNotifySelectionChanged; });
    plot.addSeries("a", 0, 0, {{1, 0.5f}, {2, 0.05f}});
    EXPECT_EQ(plot.yDecimals(), 3);  // |y min| below 0.1
    plot.lockY(true);
    plot.addSeries("b", 0, 0, {{0, -4}, {5, 9}});
    EXPECT_EQ(span(plot.xRange()), (std::pair{0.0f, 5.0f}));
    EXPECT_EQ(plot.yRange().low, 0.05f);  // locked: not widened
    EXPECT_EQ(notified, 2);
    plot.zoom({1, 4}, {0, 1});
    EXPECT_EQ(plot.xRange().low, 1);
    EXPECT_EQ(plot.yRange().high, 0.5f);
    plot.lockY(false);
    plot.resetZoom();
    EXPECT_EQ(span(plot.yRange()), (std::pair{-4.0f, 9.0f}));

    render::RecordingCanvas canvas;
    plot.draw(canvas, 700, 300);
    plot.click(700 * 0.96, 300 * 0.08);  // the top right corner of the plot area: (5, 9)
    EXPECT_EQ((std::pair{plot.selectedSeries(), plot.selectedPoint()}), (std::pair{1, 1}));
    canvas.clear();
    plot.draw(canvas, 700, 300);
    std::vector<std::string> texts;
    for (const auto& call : canvas.calls())
        if (call.kind == render::CanvasCall::Kind::Text) texts.push_back(call.text);
    for (const char* text : {"Mean=2.5, Min=-4, Max=9", "Position=5, Value=9", "9.000"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;

    // Zoomed in, the series are cut at the plot area (84..672 across, 24..246 down).
    plot.zoom({2, 3}, {0, 1});
    canvas.clear();
    plot.draw(canvas, 700, 300);
    int lines = 0;
    for (const auto& call : canvas.calls()) {
        if (call.kind != render::CanvasCall::Kind::Line || call.colour == 0xDCDCDCu) continue;
        ++lines;
        for (double x : {call.a, call.c}) EXPECT_TRUE(x >= 84 - 1e-9 && x <= 672 + 1e-9) << x;
        for (double y : {call.b, call.d}) EXPECT_TRUE(y >= 24 - 1e-9 && y <= 246 + 1e-9) << y;
    }
    EXPECT_GT(lines, 0);
}

// Clicks on the axis-limit labels and lock marks, and drags, in a plot drawn 700 x 300 (plot area
// 84..672 across, 24..246 down; the x limits' labels below it, the y limits' left of it).
TEST(LinePlot, AxisLimitEditsLockMarksAndDrags) {
    CLinePlot plot;
    int rangeChanges = 0;
    plot.setParentNotify([&](int code) { rangeChanges += code == CLinePlot::kNotifyRangeChanged; });
    plot.addSeries("a", 0, 0, {{1, -2}, {3, 8}});
    render::RecordingCanvas canvas;
    plot.draw(canvas, 700, 300);

    plot.click(90, 255);  // the x axis's lower limit
    ASSERT_TRUE(plot.limitEdit());
    EXPECT_EQ(plot.limitEdit()->limit, CLinePlot::kXLow);
    EXPECT_EQ(plot.limitEdit()->text, "1.0");
    EXPECT_FALSE(plot.finishLimitEdit("abc"));
    EXPECT_FALSE(plot.limitEdit());
    plot.click(90, 255);
    EXPECT_FALSE(plot.finishLimitEdit("5")) << "above the upper limit 3";
    EXPECT_EQ(plot.xRange().low, 1);
    plot.click(90, 255);
    EXPECT_TRUE(plot.finishLimitEdit(" 0.5 "));
    EXPECT_EQ(plot.xRange().low, 0.5f);
    plot.click(30, 30);  // the y axis's upper limit
    ASSERT_TRUE(plot.limitEdit());
    EXPECT_EQ(plot.limitEdit()->limit, CLinePlot::kYHigh);
    EXPECT_TRUE(plot.finishLimitEdit("10"));
    EXPECT_EQ(plot.yRange().high, 10);

    plot.click(678, 255);  // the x axis's lock mark
    EXPECT_TRUE(plot.xLocked());
    plot.click(90, 255);
    EXPECT_FALSE(plot.limitEdit()) << "a locked axis's limits are not edited";

    plot.drag(84, 24, 672, 135);  // downwards: zoom; y 10 down to 4, x locked
    EXPECT_NEAR(plot.yRange().low, 4, 1e-4);
    EXPECT_NEAR(plot.yRange().high, 10, 1e-4);
    EXPECT_EQ(plot.xRange().low, 0.5f);
    plot.drag(100, 200, 100, 50);  // upwards: the full extent of the data on the unlocked axis
    EXPECT_EQ(span(plot.yRange()), (std::pair{-2.0f, 8.0f}));
    EXPECT_EQ(plot.xRange().low, 0.5f);
    EXPECT_EQ(rangeChanges, 4);
}

}  // namespace
