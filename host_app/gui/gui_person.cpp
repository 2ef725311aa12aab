#include "gui/gui_person.h"

#include <wx/dialog.h>
#include <wx/grid.h>
#include <wx/listbox.h>
#include <wx/propgrid/propgrid.h>
#include <wx/slider.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <vector>

#include "gui/explorer_panel.h"
#include "gui/main_frame.h"
#include "gui/menu_keys.h"
#include "gui/view_canvas.h"
#include "program/host_application.h"
#include "render/scene_renderer.h"
#include "ui/dialog.h"
#include "ui/headless_prompts.h"
#include "ui/prompts.h"
#include "ui_wx/editable_grid_view.h"
#include "ui_wx/input_driver.h"
#include "ui_wx/property_grid_view.h"
#include "ui_wx/tree_view.h"
#include "ui_wx/window_stacking.h"
#include "ui_wx/wx_backend.h"

namespace hostapp::gui {

namespace {

using ui_wx::milliseconds;

ui_wx::WxBackend& backend() {
    return ui_wx::WxBackend::instance();
}

// Presses `key` until `done` or `limit` presses.
void pressUntil(int key, int limit, const std::function<bool()>& done) {
    for (int i = 0; i < limit && !done(); ++i) ui_wx::pressKey(key);
}

}  // namespace

wxWindow* GuiPerson::controlWindow(ui::Dialog& dialog, int id) const {
    if (!dialog.acceptsInput(id)) return nullptr;
    ui_wx::DialogView* view = backend().viewOf(dialog);
    return view ? view->controlWindow(id) : nullptr;
}

bool GuiPerson::awaitAction(int before) const {
    return ui_wx::pumpUntil([before] { return backend().actionCount() != before; });
}

bool GuiPerson::focus(wxWindow& window) {
    // A person's click: the window system raises nothing on its own, the dialog must take the keys.
    // On a loaded machine a click can be lost while the window is still settling (a control just
    // shown): like a person, the click is tried again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (window.HasFocus()) return true;
        ui_wx::clickAt(ui_wx::centreOf(window));
        if (ui_wx::pumpUntil([&window] { return window.HasFocus(); }, milliseconds(1000))) return true;
    }
    return window.HasFocus();
}

bool GuiPerson::click(ui::Dialog& dialog, int id) {
    wxWindow* w = controlWindow(dialog, id);
    if (w == nullptr) return false;
    const int before = backend().actionCount();
    ui_wx::click(*w);
    return awaitAction(before);
}

bool GuiPerson::type(ui::Dialog& dialog, int id, const std::string& text) {
    auto* edit = dynamic_cast<wxTextCtrl*>(controlWindow(dialog, id));
    if (edit == nullptr || !edit->IsEditable()) return false;
    // Keys typed without the focus would go to another window.
    if (!focus(*edit)) return false;
    ui_wx::retypeText(text);
    return ui_wx::pumpUntil([&] { return dialog.text(id) == text; });
}

bool GuiPerson::clickLine(wxListBox& list, int index, const std::function<bool()>& chosen) const {
    const int top = std::max(list.GetTopItem(), 0);
    const int rows = list.GetCountPerPage();
    if (rows <= 0 || index < top || index >= top + rows) return false;
    const int lineHeight = list.GetClientSize().y / rows;
    const wxPoint at = list.GetScreenPosition() +
                       wxPoint(list.GetClientSize().x / 2, (index - top) * lineHeight + lineHeight / 2);
    const int before = backend().actionCount();
    // A click on the line already chosen changes nothing, so no action is waited for.
    const bool already = chosen();
    ui_wx::clickAt(at);
    return (already || awaitAction(before)) && chosen();
}

bool GuiPerson::choose(ui::Dialog& dialog, int id, int index) {
    wxWindow* w = controlWindow(dialog, id);
    if (w == nullptr || index < 0 || index >= dialog.itemCount(id)) return false;
    const auto chosen = [&] { return dialog.selection(id) == index; };
    if (auto* list = dynamic_cast<wxListBox*>(w)) {
        // A line out of sight is scrolled into view first, as a person drags the scroll bar:
        // walking to it with the keys would choose every line on the way, and a dialog may act on
        // each (the results dialog plots it, and says so when the run has none of it).
        if (clickLine(*list, index, chosen)) return true;
        list->SetFirstItem(index);
        ui_wx::pumpFor(milliseconds(100));
        if (clickLine(*list, index, chosen)) return true;
        // The line missed: the keys from the first line.
        focus(*list);
        ui_wx::pressKey(WXK_HOME);
        pressUntil(WXK_DOWN, index + 1, chosen);
        return ui_wx::pumpUntil(chosen);
    }
    // A drop-down list: opened by a click, walked with the arrow keys, closed with Enter.
    ui_wx::click(*w);
    ui_wx::pumpFor(milliseconds(200));
    const int from = std::max(dialog.selection(id), 0);
    for (int i = from; i < index; ++i) ui_wx::pressKey(WXK_DOWN);
    for (int i = from; i > index; --i) ui_wx::pressKey(WXK_UP);
    ui_wx::pressKey(WXK_RETURN);
    return ui_wx::pumpUntil(chosen);
}

bool GuiPerson::slide(ui::Dialog& dialog, int id, int position) {
    auto* slider = dynamic_cast<wxSlider*>(controlWindow(dialog, id));
    if (slider == nullptr) return false;
    const int low = dialog.rangeMin(id), high = dialog.rangeMax(id);
    position = std::clamp(position, std::min(low, high), std::max(low, high));
    // A click on the trough puts the thumb about there; the arrow keys make it exact.
    const wxSize size = slider->GetSize();
    const double share = high == low ? 0.0 : double(position - low) / double(high - low);
    const bool upright = slider->GetWindowStyle() & wxSL_VERTICAL;
    const wxPoint at =
        slider->GetScreenPosition() + (upright ? wxPoint(size.x / 2, int(8 + share * (size.y - 16)))
                                               : wxPoint(int(8 + share * (size.x - 16)), size.y / 2));
    const int start = dialog.position(id);
    ui_wx::clickAt(at);
    const auto there = [&] { return dialog.position(id) == position; };
    // On a loaded machine the click's move can arrive after the keys began to correct it, which
    // leaves the thumb off: the click is given time to land, and the keys look again until the
    // thumb stays where it should.
    ui_wx::pumpUntil([&] { return dialog.position(id) != start; }, milliseconds(500));
    const int span = std::abs(high - low) + 1;
    for (int attempt = 0; attempt < 3 && !there(); ++attempt) {
        if (dialog.position(id) < position) pressUntil(upright ? WXK_DOWN : WXK_RIGHT, span, there);
        if (dialog.position(id) > position) pressUntil(upright ? WXK_UP : WXK_LEFT, span, there);
        ui_wx::pumpUntil(there, milliseconds(1000));
    }
    return there();
}

wxWindow& GuiPerson::sceneCanvas(ui::Dialog& dialog, int id) const {
    ui_wx::DialogView* view = backend().viewOf(dialog);
    ui_wx::WidgetView* widget = view ? view->widgetView(id) : nullptr;
    wxWindow* canvas = widget ? widget->window() : nullptr;
    if (canvas == nullptr || !canvas->IsShownOnScreen())
        throw std::runtime_error("the OpenGL view of \"" + dialog.windowText() + "\" is not on screen");
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(canvas))) top->Raise();
    return *canvas;
}

// The buttons of a drag pressed in order and released the other way round, the pointer moving
// in steps across the canvas; the view's timer draws the turned model meanwhile.
void GuiPerson::dragScene(ui::Dialog& dialog, int id, render::ISceneView&, int dx, int dy, SceneDrag how) {
    wxWindow& canvas = sceneCanvas(dialog, id);
    const wxPoint from = ui_wx::centreOf(canvas);
    // A person turns the model with the left button, as in the main view.
    std::vector<ui_wx::Button> buttons{ui_wx::Button::Left};
    if (how == SceneDrag::Pan) buttons = {ui_wx::Button::Middle};
    if (how == SceneDrag::Zoom) buttons = {ui_wx::Button::Right};
    ui_wx::dragAt(from, from + wxPoint(dx, dy), buttons);
    ui_wx::pumpFor(milliseconds(100));
}

void GuiPerson::wheelScene(ui::Dialog& dialog, int id, render::ISceneView&, int notches) {
    ui_wx::wheelAt(ui_wx::centreOf(sceneCanvas(dialog, id)), notches);
    ui_wx::pumpFor(milliseconds(100));
}

void GuiPerson::probeScene(ui::Dialog& dialog, int id, render::ISceneView& view, int x, int y) {
    wxWindow& canvas = sceneCanvas(dialog, id);
    const int probed = view.probedNodes(), frames = view.framesDrawn();
    ui_wx::clickAt(canvas.GetScreenPosition() + wxPoint(x, y));
    // Done when the probe marked a node, or the view drew itself again after the click without one.
    ui_wx::pumpUntil([&] { return view.probedNodes() != probed || view.framesDrawn() > frames + 1; },
                     milliseconds(2000));
}

// The click lands on the view's canvas where the picker found the item in the view as it stands,
// after the view was turned (when it had to be) and painted.
double GuiPerson::pick(HostApplication& app, const std::optional<PickItem>& item, bool add) {
    ViewCanvas& view = *frame_.view();
    ViewPixel at = app.pixelToPick(item);
    // A command's window over the view hides what is under it: the view is moved so that the item
    // comes out left of the windows, as a person pans it.
    for (int attempt = 0; attempt < 3 && coveredByWindow(view, at); ++attempt) {
        const wxPoint free = freeSpotNear(view, at);
        app.camera().pan(free.x - at.x, free.y - at.y);
        at = app.pixelToPick(item);
    }
    view.redrawNow();
    const int before = app.picks();
    const wxPoint screen = view.GetScreenPosition() + wxPoint(at.x, at.y);
    ui_wx::moveTo(screen);
    // From the button's release, where the view picks, to the first frame shown after the pick.
    std::chrono::steady_clock::time_point released;
    if (add) {
        released = std::chrono::steady_clock::now();
        ui_wx::clickAt(screen, ui_wx::Button::Left, wxMOD_CONTROL);
    } else {
        ui_wx::buttonDown(ui_wx::Button::Left);
        released = std::chrono::steady_clock::now();
        ui_wx::buttonUp(ui_wx::Button::Left);
    }
    ui_wx::pumpUntil([&] { return app.picks() != before && view.lastFrameAt() > app.lastPickAt(); });
    const double elapsed = std::chrono::duration<double, std::milli>(view.lastFrameAt() - released).count();
    if (app.picks() == before) throw PickError("the click in the view was not taken");
    if (app.lastPick() != item)
        throw PickError("the click picked " +
                        (app.lastPick() ? app.lastPick()->text() : std::string("nothing")));
    return elapsed;
}

namespace {

// The shown top-level windows other than the main window, on the screen.
std::vector<wxRect> windowsOver(const wxWindow& main) {
    std::vector<wxRect> rects;
    for (wxWindow* top : wxTopLevelWindows)
        if (top != &main && top->IsShown()) rects.push_back(top->GetScreenRect());
    return rects;
}

}  // namespace

bool GuiPerson::coveredByWindow(const ViewCanvas& view, const ViewPixel& at) const {
    const wxPoint screen = view.GetScreenPosition() + wxPoint(at.x, at.y);
    for (const wxRect& r : windowsOver(frame_))
        if (r.Contains(screen)) return true;
    return false;
}

wxPoint GuiPerson::freeSpotNear(const ViewCanvas& view, const ViewPixel& at) const {
    // Just left of the leftmost window over the view, at the same height: the part moves as little
    // as it can.
    const wxRect area = view.GetScreenRect();
    int right = area.GetRight();
    for (const wxRect& r : windowsOver(frame_))
        if (r.Intersects(area)) right = std::min(right, r.GetLeft());
    const int x = std::max(kAddOnStripWidth + 20, right - area.GetLeft() - 40);
    return {std::min(at.x, x), at.y};
}

void GuiPerson::dragView(HostApplication&, int dx, int dy, bool rotate) {
    ViewCanvas& view = *frame_.view();
    const wxPoint from = ui_wx::centreOf(view);
    ui_wx::dragAt(from, from + wxPoint(dx, dy), {rotate ? ui_wx::Button::Left : ui_wx::Button::Middle});
    ui_wx::pumpFor(milliseconds(100));
}

void GuiPerson::wheelView(HostApplication&, int notches) {
    ui_wx::wheelAt(ui_wx::centreOf(*frame_.view()), notches);
    ui_wx::pumpFor(milliseconds(100));
}

void GuiPerson::pressEnter(ui::Dialog& dialog) {
    const int before = backend().actionCount();
    if (ui_wx::DialogView* view = backend().viewOf(dialog)) ui_wx::pointAt(*view->container());
    ui_wx::pressKey(WXK_RETURN);
    awaitAction(before);
}

void GuiPerson::pressEscape(ui::Dialog& dialog) {
    const int before = backend().actionCount();
    if (ui_wx::DialogView* view = backend().viewOf(dialog)) ui_wx::pointAt(*view->container());
    ui_wx::pressKey(WXK_ESCAPE);
    awaitAction(before);
}

namespace {

// The view of the first Custom control of `dialog` whose view is a `View`.
template <typename View>
View* viewOfKind(ui::Dialog& dialog) {
    ui_wx::DialogView* shown = backend().viewOf(dialog);
    if (shown == nullptr) return nullptr;
    for (const ui::Control& c : dialog.controls()) {
        if (c.kind() != ui::ControlKind::Custom) continue;
        if (auto* view = dynamic_cast<View*>(shown->widgetView(c.id()))) return view;
    }
    return nullptr;
}

// Replaces what the focused editor holds by `text` and confirms it with Enter.
void retype(const std::string& text) {
    ui_wx::retypeText(text);
    ui_wx::pressKey(WXK_RETURN);
}

}  // namespace

void GuiPerson::setProperty(ui::Dialog& dialog, const std::string& label, const std::string& value) {
    auto* view = viewOfKind<ui_wx::PropertyGridView>(dialog);
    auto* model =
        view ? dynamic_cast<widgets::PropertyGrid*>(dialog.widget(controlIdOf(dialog, *view))) : nullptr;
    const widgets::PropertyHandle h = model ? model->findLabel(label) : widgets::kNoProperty;
    wxPGProperty* property = h != widgets::kNoProperty ? view->propertyOf(h) : nullptr;
    // A combo's choice is made on the model: its drop-down list is not driven by plain input here.
    if (property == nullptr || model->kind(h) == widgets::PropertyKind::Combo) {
        Person::setProperty(dialog, label, value);
        return;
    }
    wxPropertyGrid* grid = view->grid();
    grid->EnsureVisible(property);
    ui_wx::pumpFor(ui_wx::milliseconds(50));
    // A click on the value column opens the item's editor.
    const wxRect row = grid->GetPropertyRect(property, property);
    const wxPoint at = grid->GetPanel()->ClientToScreen(
        wxPoint(grid->GetSplitterPosition() + 8, row.y + row.height / 2 - grid->GetViewStart().y));
    ui_wx::clickAt(at);
    ui_wx::pumpFor(ui_wx::milliseconds(100));
    retype(value);
    if (!ui_wx::pumpUntil([&] { return model->value(h) == value; }))
        throw std::runtime_error("the property \"" + label + "\" did not take \"" + value + "\"");
}

int GuiPerson::controlIdOf(ui::Dialog& dialog, const ui_wx::WidgetView& view) const {
    ui_wx::DialogView* shown = backend().viewOf(dialog);
    for (const ui::Control& c : dialog.controls()) {
        if (shown != nullptr && shown->widgetView(c.id()) == &view) return c.id();
    }
    return 0;
}

wxPoint GuiPerson::cellPoint(ui::Dialog& dialog, int row, int column) const {
    auto* view = viewOfKind<ui_wx::EditableGridView>(dialog);
    if (view == nullptr) throw std::runtime_error("the dialog has no grid");
    const int r = view->gridRow(row), c = view->gridColumn(column);
    wxGrid* grid = view->grid();
    if (r < 0 || c < 0 || r >= grid->GetNumberRows() || c >= grid->GetNumberCols())
        throw std::runtime_error("no cell " + std::to_string(row) + "," + std::to_string(column));
    grid->MakeCellVisible(r, c);
    ui_wx::pumpFor(ui_wx::milliseconds(50));
    const wxRect cell = grid->CellToRect(r, c);
    const wxPoint inside =
        grid->CalcScrolledPosition(cell.GetPosition()) + wxPoint(cell.width / 2, cell.height / 2);
    return grid->GetGridWindow()->ClientToScreen(inside);
}

void GuiPerson::editCell(ui::Dialog& dialog, int row, int column, const std::string& text) {
    auto* grid = dynamic_cast<widgets::EditableGrid*>(
        dialog.widget(controlIdOf(dialog, *viewOfKind<ui_wx::EditableGridView>(dialog))));
    ui_wx::clickAt(cellPoint(dialog, row, column));
    // Typing into a chosen cell opens its editor with what is typed; Enter keeps it.
    if (text.empty()) {
        ui_wx::pressKey(WXK_BACK);
    } else {
        ui_wx::typeText(text);
    }
    ui_wx::pressKey(WXK_RETURN);
    if (grid == nullptr || !ui_wx::pumpUntil([&] { return grid->cellText(row, column) == text; }))
        throw std::runtime_error("cell " + std::to_string(row) + "," + std::to_string(column) +
                                 " cannot take text");
}

void GuiPerson::focusCell(ui::Dialog& dialog, int row, int column) {
    auto* grid = dynamic_cast<widgets::EditableGrid*>(
        dialog.widget(controlIdOf(dialog, *viewOfKind<ui_wx::EditableGridView>(dialog))));
    ui_wx::clickAt(cellPoint(dialog, row, column));
    const widgets::GridCell wanted{row, column};
    if (grid == nullptr || !ui_wx::pumpUntil([&] { return grid->focusCell() == wanted; }))
        throw std::runtime_error("cell " + std::to_string(row) + "," + std::to_string(column) +
                                 " took no focus");
}

std::size_t GuiPerson::menusShown() {
    auto* prompts = dynamic_cast<ui::HeadlessPrompts*>(&ui::prompts());
    return prompts ? prompts->menusShown().size() : 0;
}

void GuiPerson::contextMenu(ui::TreeControl& tree, ui::TreeItem item) {
    ExplorerPanel* panel = frame_.currentPanel();
    ui_wx::TreeView* view = panel ? panel->treeView() : nullptr;
    const wxRect line = view ? view->itemScreenRect(tree.itemText(item)) : wxRect();
    if (line.IsEmpty()) {
        Person::contextMenu(tree, item);
        return;
    }
    const std::size_t menus = menusShown();
    ui_wx::clickAt(wxPoint(line.x + std::min(line.width / 2, 40), line.y + line.height / 2),
                   ui_wx::Button::Right);
    // The add-on's pop-up menu is answered by the prompts; the line is done once it has closed.
    if (!ui_wx::pumpUntil([&] { return menusShown() != menus; }))
        throw std::runtime_error("the right click on \"" + tree.itemText(item) + "\" opened no menu");
}

void GuiPerson::pickMenu(HostApplication& app, std::int32_t id) {
    const int before = frame_.addOnPicks();
    if (!openAddOnMenuAt(frame_, id)) throw std::runtime_error("the menu item cannot be picked now");
    ui_wx::pressKey(WXK_RETURN);
    if (!ui_wx::pumpUntil([&] { return frame_.addOnPicks() != before; }))
        throw std::runtime_error("the menu item was not picked");
}

bool GuiPerson::seesInFront(ui::Dialog& dialog) {
    wxDialog* window = backend().windowOf(dialog);
    // A docked dialog is part of the main window.
    if (window == nullptr) return backend().viewOf(dialog) != nullptr;
    ui_wx::pumpFor(milliseconds(100));  // the restacking after the last event
    return ui_wx::standsAbove(*window, frame_);
}

void GuiPerson::closeDocument(HostApplication& app) {
    // The File menu's shortcut, pressed over the main window.
    const std::size_t before = app.root().sessions().all().size();
    frame_.Raise();
    ui_wx::clickAt(ui_wx::centreOf(*frame_.GetStatusBar()));
    ui_wx::pressKey('W', wxMOD_CONTROL);
    if (!ui_wx::pumpUntil([&] { return app.root().sessions().all().size() != before; }))
        throw std::runtime_error("the document was not closed");
}

std::int32_t GuiPerson::menuState(HostApplication&, std::int32_t id) {
    const std::int32_t state = shownMenuState(frame_, id);
    if (state == 0) throw std::runtime_error("the menu has no such item");
    return state;
}

}  // namespace hostapp::gui
