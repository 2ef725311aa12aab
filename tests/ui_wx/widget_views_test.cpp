// The widget views on real wx windows, driven by real input events (XTest under Xvfb): what a
// person types, clicks and drags must reach the models, and what code sets must not come back
// as a person's change. KOLVANE_SHOTS=<folder> saves a screenshot of each view there.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/glcanvas.h>
#include <wx/grid.h>
#include <wx/propgrid/propgrid.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>
#include <wx/wx.h>

#include <cstdlib>

#include "results/line_plot_dialog.h"
#include "ui/dialog.h"
#include "ui/headless_prompts.h"
#include "ui_wx/canvas_view.h"
#include "ui_wx/dialog_view.h"
#include "ui_wx/editable_grid_view.h"
#include "ui_wx/gl_scene_view.h"
#include "ui_wx/input_driver.h"
#include "ui_wx/property_grid_view.h"
#include "ui_wx/tree_view.h"
#include "widgets/editable_grid.h"
#include "widgets/property_grid.h"

namespace {

using namespace std::chrono_literals;
using ui_wx::Button;
using ui_wx::clickAt;
using ui_wx::pumpFor;
using ui_wx::pumpUntil;

constexpr int kWidgetId = 11078;

// A small frame at a fixed place holding one view; saves a screenshot when asked to.
void shot(const char* name) {
    if (const char* dir = std::getenv("KOLVANE_SHOTS"))
        std::system(
            (std::string("import -window root -crop 700x420+0+0 ") + dir + "/" + name + ".png").c_str());
}

// A small frame at a fixed place holding one view.
struct Frame {
    explicit Frame(wxSize size) : frame(new wxFrame(nullptr, wxID_ANY, "view", wxPoint(40, 40), size)) {}
    ~Frame() { frame->Destroy(); }
    void show(wxWindow* view, const char* name) {
        view->SetSize(frame->GetClientSize());
        frame->Show();
        frame->Raise();
        pumpFor(300ms);
        shot(name);
    }
    wxFrame* frame;
};

ui::DialogTemplate hostTemplate() {
    ui::DialogTemplate t;
    t.add(kWidgetId, ui::ControlKind::Custom, "", {0, 0, 300, 300});
    return t;
}

// The screen point of a property's value column.
wxPoint valuePoint(const ui_wx::PropertyGridView& view, widgets::PropertyHandle h) {
    const wxRect r = view.grid()->GetPropertyRect(view.propertyOf(h), view.propertyOf(h));
    return view.grid()->ClientToScreen(wxPoint(view.grid()->GetSplitterPosition() + 30, r.y + r.height / 2));
}

TEST(WidgetViews, PropertyGridSendsAPersonsEditsOnceAndCodesNever) {
    auto prompts = ui::installHeadlessPrompts();
    ui::Dialog dialog(hostTemplate());
    auto& grid = static_cast<widgets::PropertyGrid&>(
        dialog.attachWidget(kWidgetId, std::make_unique<widgets::PropertyGrid>()));
    std::vector<std::intptr_t> changes;
    dialog.onMessage(widgets::PropertyGrid::kChangedMessage,
                     [&](std::intptr_t w, std::intptr_t) { changes.push_back(w); });
    const auto general = grid.addSection("General");
    grid.addString(general, "Description", "");
    const auto combo = grid.addCombo(general, "Standard materials", {"No", "steel", "brass"}, 0);
    grid.addFile(general, "From file..", "/lib/steel.txt",
                 "Material files (*.txt)|*.txt|All Files (*.*)|*.*||");
    const auto limits = grid.addSection("Limit stresses N/mm2", true);
    grid.addString(limits, "tensile yield", "250");
    dialog.create();

    Frame f({360, 220});
    ui_wx::PropertyGridView view(f.frame, grid);
    f.show(view.window(), "property_grid");
    EXPECT_FALSE(view.propertyOf(limits)->IsExpanded());

    // (A value typed into a text item by a person: gui_every_dialog, "prop Description".)
    // Code sets a value and opens a section: shown, never sent.
    grid.setValue(combo, "brass");
    grid.setCollapsed(limits, false);
    view.sync();
    pumpFor(200ms);
    EXPECT_EQ(view.propertyOf(combo)->GetValueAsString(), "brass");
    EXPECT_TRUE(view.propertyOf(limits)->IsExpanded());
    EXPECT_TRUE(changes.empty());

    // A person's choice of a combo entry (keyboard in the open editor).
    clickAt(valuePoint(view, combo));
    pumpFor(200ms);
    ui_wx::pressKey(WXK_UP);
    ui_wx::pressKey(WXK_RETURN);
    ASSERT_TRUE(pumpUntil([&] { return !changes.empty(); }));
    EXPECT_EQ(changes, (std::vector<std::intptr_t>{combo}));
    EXPECT_EQ(grid.value(combo), "steel");
}

// A radio group without a choice shows no button on (GTK keeps one button of a group on); a
// person's click and the model's state both show.
TEST(WidgetViews, RadioGroupWithoutAChoiceShowsNone) {
    ui::DialogTemplate t;
    t.add(11, ui::ControlKind::Radio, "Mechanical", {10, 10, 150, 30}, ui::kStyleGroup)
        .add(12, ui::ControlKind::Radio, "Thermal", {10, 40, 150, 60})
        .add(21, ui::ControlKind::Radio, "Iterative", {10, 80, 150, 100}, ui::kStyleGroup)
        .add(22, ui::ControlKind::Radio, "Direct", {10, 110, 150, 130});
    ui::Dialog dialog(t);
    dialog.create();
    dialog.setCheck(22, true);
    Frame f({200, 180});
    ui_wx::DialogView view(dialog, f.frame, [] {});
    f.frame->Show();
    pumpFor(300ms);
    shot("radio_group");
    auto on = [&](int id) { return static_cast<wxRadioButton*>(view.controlWindow(id))->GetValue(); };
    EXPECT_FALSE(on(11));
    EXPECT_FALSE(on(12));
    EXPECT_FALSE(on(21));
    EXPECT_TRUE(on(22));

    wxWindow* thermal = view.controlWindow(12);
    clickAt(thermal->ClientToScreen(wxPoint(8, thermal->GetSize().y / 2)));
    ASSERT_TRUE(pumpUntil([&] { return dialog.isChecked(12); }));
    EXPECT_TRUE(on(12));
    EXPECT_FALSE(on(11));
    EXPECT_TRUE(on(22)) << "the other group keeps its choice";

    dialog.setCheck(12, false);
    view.sync(0);
    EXPECT_FALSE(on(11));
    EXPECT_FALSE(on(12));
}

TEST(WidgetViews, EditableGridShowsTheFixedRowAsColumnLabelsAndRowsAddedAfterwards) {
    ui::Dialog dialog(hostTemplate());
    auto& grid = static_cast<widgets::EditableGrid&>(
        dialog.attachWidget(kWidgetId, std::make_unique<widgets::EditableGrid>()));
    grid.setColumnCount(3);
    grid.setRowCount(3);
    grid.setFixedRowCount(1);
    grid.setFixedColumnCount(1);
    grid.setCellText(0, 1, "Time");
    grid.setCellText(0, 2, "Load");
    grid.setCellText(1, 0, "1");
    grid.setCellText(2, 0, "2");
    dialog.create();

    Frame f({360, 200});
    ui_wx::EditableGridView view(f.frame, grid);
    grid.insertRow("3");
    view.sync();
    f.show(view.window(), "editable_grid");
    ASSERT_EQ(view.grid()->GetNumberRows(), 3);  // the label row is not a cell row
    EXPECT_EQ(view.grid()->GetColLabelValue(1), "Load");
    // A cell clicked and typed into by a person: gui_every_dialog ("focus", "cell" in the table
    // editor), whose files must match the headless run's.
}

TEST(WidgetViews, LinePlotSelectsZoomsAndEditsALimit) {
    auto prompts = ui::installHeadlessPrompts();
    CLinePlotTestDlg dialog(0, 0, "/nonexistent/job");
    dialog.create();
    CLinePlot& plot = dialog.plot();
    plot.addSeries("Node 1", 0x000000FF, CPlotData::kLine, {{0, 0}, {10, 4}, {20, 2}, {30, 8}, {40, 5}});
    plot.addSeries("Node 2", 0x00008000, CPlotData::kLine, {{0, 1}, {10, 1}, {20, 1}, {30, 1}, {40, 1}});

    Frame f({600, 320});
    ui_wx::CanvasView view(f.frame,
                           dynamic_cast<widgets::CanvasWidget&>(*dialog.widget(CLinePlotTestDlg::kPlot)));
    f.show(view.window(), "line_plot");
    const wxSize size = view.window()->GetClientSize();
    // The plot's picture: the data range spans the area 12 %..96 % across, 8 %..82 % down.
    auto at = [&](double x, double y) {
        const auto xr = plot.xRange(), yr = plot.yRange();
        return view.window()->ClientToScreen(
            wxPoint(int(size.x * (0.12 + 0.84 * (x - xr.low) / (xr.high - xr.low))),
                    int(size.y * (0.82 - 0.74 * (y - yr.low) / (yr.high - yr.low)))));
    };
    clickAt(at(30, 8) + wxPoint(2, 2));
    ASSERT_TRUE(pumpUntil([&] { return plot.selectedSeries() == 0; }));
    EXPECT_EQ(plot.selectedPoint(), 3);

    // A drag down zooms to the rectangle.
    const wxPoint from = at(10, 7), to = at(30, 0.5);
    wxUIActionSimulator sim;
    sim.MouseMove(from);
    sim.MouseDown();
    for (int i = 1; i <= 5; ++i) {
        sim.MouseMove(from + (to - from) * i / 5);
        pumpFor(30ms);
    }
    shot("line_plot_drag");
    EXPECT_TRUE(dialog.widgetAs<widgets::CanvasWidget>(CLinePlotTestDlg::kPlot).rubberBand().has_value());
    sim.MouseUp();
    ASSERT_TRUE(pumpUntil([&] { return plot.xRange().low > 5; }));
    EXPECT_NEAR(plot.xRange().high, 30, 1);

    // A click on the x-low label opens a real edit box; Enter sets the limit.
    const auto box = plot.limitLabelBox(CLinePlot::kXLow);
    clickAt(view.window()->ClientToScreen(wxPoint(int(box[0] + box[2]) / 2, int(box[1] + box[3]) / 2)));
    ASSERT_TRUE(pumpUntil([&] { return view.editControl()->IsShown(); }));
    shot("line_plot_edit");
    ui_wx::typeText("12");
    ui_wx::pressKey(WXK_RETURN);
    ASSERT_TRUE(pumpUntil([&] { return !view.editControl()->IsShown(); }));
    EXPECT_EQ(plot.xRange().low, 12);
}

TEST(WidgetViews, TreeKeepsItsLinesOpenOrClosedAndReportsClicksBelowThemAndTheMenuKey) {
    ui::TreeControl model;
    const auto materials = model.insertItem("Materials", 1);
    model.insertItem("steel: 1,2", 1, materials);
    model.insertItem("Actions", 3);
    std::vector<ui::TreeItem> menus;
    model.onContextMenu([&](ui::TreeItem item) { menus.push_back(item); });

    Frame f({260, 200});
    ui_wx::TreeView view(f.frame, model);
    f.show(view.window(), "tree");
    const wxRect line = view.itemScreenRect("steel: 1,2");
    ASSERT_FALSE(line.IsEmpty());  // a new line shows open under its parent
    // (A right click on a line reaching the handler: gui_every_dialog, the explorer's menu.)

    // A rebuild keeps a closed line closed and opens a new one; a click below all lines passes 0.
    wxTreeCtrl& tree = *view.window();
    wxTreeItemIdValue cookie;
    const wxTreeItemId first = tree.GetFirstChild(tree.GetRootItem(), cookie);
    model.selectItem(ui::kTreeRoot);
    tree.Collapse(first);
    model.insertItem("load 1", 3, model.findItem("Actions"));
    model.insertItem("load 2", 3, model.findItem("Actions"));
    pumpFor(100ms);
    const wxTreeItemId rebuilt = tree.GetFirstChild(tree.GetRootItem(), cookie);
    EXPECT_EQ(tree.GetItemText(rebuilt), "Materials");
    EXPECT_FALSE(tree.IsExpanded(rebuilt));
    EXPECT_FALSE(view.itemScreenRect("load 2").IsEmpty());
    clickAt(view.window()->ClientToScreen(wxPoint(100, 180)), Button::Right);
    ASSERT_TRUE(pumpUntil([&] { return menus.size() == 1; }));
    EXPECT_EQ(menus[0], ui::kTreeRoot);

    // The context-menu key on the selected line.
    model.selectItem(model.findItem("load 1"));
    view.window()->SetFocus();
    ui_wx::pressKey(WXK_MENU);
    ASSERT_TRUE(pumpUntil([&] { return menus.size() == 2; }));
    EXPECT_EQ(menus[1], model.findItem("load 1"));

    // An open line whose lines are all replaced, as the explorer shows every change, stays open.
    const auto actions = model.findItem("Actions");
    for (ui::TreeItem old : model.children(actions)) model.deleteItem(old);
    model.insertItem("load 3", 3, actions);
    pumpFor(100ms);
    EXPECT_FALSE(view.itemScreenRect("load 3").IsEmpty());
}

// A scene view that records what its window passes on and the screen renderer it is lent.
struct RecordingScene : ui::CustomWidget, render::ISceneView {
    void runFrames(int count) override { frames += count; }
    bool snapshot(const std::string&, int, int) override { return false; }
    bool frameWanted() const override { return wanted; }
    void pointerMoved(double x, double y, unsigned held) override {
        if (held != 0) moves.push_back({x, y, double(held)});
    }
    bool leftPressed(double, double) override { return ++presses, true; }
    void leftReleased(double, double) override { ++releases; }
    void wheelTurned(int n) override { notches += n; }
    std::array<int, 4> placement() const override { return placed; }
    void viewResized(int w, int h) override { viewSize = {w, h}; }
    void containerResized(int w, int h) override { containerSize = {w, h}; }
    void attachScreen(render::ISceneRenderer* s) override { screen = s; }
    int framesDrawn() const override { return frames; }
    int probedNodes() const override { return 0; }

    std::array<int, 4> placed{10, 10, 310, 250};
    render::ISceneRenderer* screen = nullptr;
    std::vector<std::array<double, 3>> moves;
    int frames = 0, presses = 0, releases = 0, notches = 0;
    bool wanted = true;
    std::array<int, 2> viewSize{0, 0}, containerSize{0, 0};
};

TEST(WidgetViews, OpenGLViewDrawsOnItsCanvasAndPassesThePointerAndSizesOn) {
    auto prompts = ui::installHeadlessPrompts();
    ui::Dialog dialog(hostTemplate());
    auto& scene =
        static_cast<RecordingScene&>(dialog.attachWidget(kWidgetId, std::make_unique<RecordingScene>()));
    dialog.create();
    Frame frame(wxSize(400, 300));
    // A panel fills the frame, as a dialog's client area holds its controls.
    auto* panel = new wxPanel(frame.frame);
    auto view = std::make_unique<ui_wx::GlSceneView>(panel, dialog, scene);
    view->sync();
    frame.frame->Show();
    frame.frame->Raise();
    pumpFor(100ms);
    ASSERT_EQ(view->window(), wxWindow::FindWindowByName(ui_wx::kSceneCanvasName, frame.frame));
    EXPECT_EQ(view->window()->GetRect(), wxRect(10, 10, 300, 240));
    // The timer ticks the scene, lending it the canvas's renderer (that the picture reaches the
    // canvas, turns with a drag and nears with the wheel, gui_results_window sees).
    ASSERT_TRUE(pumpUntil([&] { return scene.frames > 5; }));
    ASSERT_NE(scene.screen, nullptr);

    // With nothing new to draw the view stays idle; once there is, it ticks again.
    scene.wanted = false;
    pumpFor(60ms);
    const int idle = scene.frames;
    pumpFor(200ms);
    EXPECT_EQ(scene.frames, idle) << "no frames while nothing changes";
    scene.wanted = true;
    ASSERT_TRUE(pumpUntil([&] { return scene.frames > idle + 5; }));

    // Left and right held across the canvas; a press the scene wants captured holds the mouse.
    const wxPoint centre = ui_wx::centreOf(*view->window());
    ui_wx::moveTo(centre);
    ui_wx::buttonDown(Button::Left);
    EXPECT_TRUE(view->window()->HasCapture());
    ui_wx::buttonDown(Button::Right);
    ui_wx::moveTo(centre + wxPoint(40, 20));
    ui_wx::buttonUp(Button::Right);
    ui_wx::buttonUp(Button::Left);
    EXPECT_FALSE(view->window()->HasCapture());
    EXPECT_EQ((std::array{scene.presses, scene.releases}), (std::array{1, 1}));
    ASSERT_FALSE(scene.moves.empty());
    EXPECT_EQ(scene.moves.back(),
              (std::array<double, 3>{150 + 40, 120 + 20, render::kSceneLeft | render::kSceneRight}));
    ui_wx::dragAt(centre, centre + wxPoint(0, 30), {Button::Middle});
    EXPECT_EQ(scene.moves.back()[2], render::kSceneMiddle);
    ui_wx::wheelAt(centre, 2);
    ui_wx::wheelAt(centre, -3);
    pumpFor(100ms);
    EXPECT_EQ(scene.notches, -1);

    // The container's size reaches the dialog's layout; the control's new place moves the canvas
    // and its new size reaches the projection.
    frame.frame->SetClientSize(500, 420);
    ASSERT_TRUE(pumpUntil(
        [&] {
            return scene.containerSize == std::array{500, 420};
        },
        2000ms))
        << scene.containerSize[0] << " x " << scene.containerSize[1];
    scene.placed = {10, 10, 490, 410};
    view->sync();
    EXPECT_EQ(view->window()->GetRect(), wxRect(10, 10, 480, 400));
    view->window()->SetSize(200, 100);
    ASSERT_TRUE(pumpUntil([&] { return scene.viewSize == std::array{200, 100}; }, 2000ms));

    // The dialog going takes the renderer back and stops the ticks.
    dialog.destroy();
    EXPECT_EQ(scene.screen, nullptr);
    const int frames = scene.frames;
    pumpFor(100ms);
    EXPECT_EQ(scene.frames, frames);
    view.reset();
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) return 2;
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
