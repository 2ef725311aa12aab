#include "program/person.h"

#include <chrono>
#include <cmath>
#include <stdexcept>

#include "program/host_application.h"
#include "program/widget_actions.h"
#include "render/scene_renderer.h"
#include "ui/dialog.h"

namespace hostapp {

bool Person::type(ui::Dialog& dialog, int id, const std::string& text) {
    return dialog.userType(id, text);
}

bool Person::click(ui::Dialog& dialog, int id) {
    return dialog.userClick(id);
}

bool Person::choose(ui::Dialog& dialog, int id, int index) {
    return dialog.userChoose(id, index);
}

bool Person::slide(ui::Dialog& dialog, int id, int position) {
    return dialog.userSlide(id, position);
}

void Person::pressEnter(ui::Dialog& dialog) {
    dialog.userPressEnter();
}

void Person::pressEscape(ui::Dialog& dialog) {
    dialog.userPressEscape();
}

void Person::setProperty(ui::Dialog& dialog, const std::string& label, const std::string& value) {
    hostapp::setProperty(dialog, label, value);
}

void Person::editCell(ui::Dialog& dialog, int row, int column, const std::string& text) {
    hostapp::editCell(dialog, row, column, text);
}

void Person::focusCell(ui::Dialog& dialog, int row, int column) {
    hostapp::focusCell(dialog, row, column);
}

void Person::contextMenu(ui::TreeControl& tree, ui::TreeItem item) {
    tree.userContextMenu(item);
}

void Person::pickMenu(HostApplication& app, std::int32_t id) {
    app.invoke(id);
}

bool Person::seesInFront(ui::Dialog&) {
    return true;
}

void Person::closeDocument(HostApplication& app) {
    app.closeDocument(app.requireSession().name());
}

std::int32_t Person::menuState(HostApplication& app, std::int32_t id) {
    return app.itemState(id);
}

double Person::pick(HostApplication& app, const std::optional<PickItem>& item, bool add) {
    const ViewPixel at = app.pixelToPick(item);
    const auto start = std::chrono::steady_clock::now();
    const std::optional<PickItem> hit = app.pickInView(at.x, at.y, add);
    if (hit != item) throw PickError("the click picked " + (hit ? hit->text() : std::string("nothing")));
    app.paintView();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

unsigned sceneButtons(SceneDrag how) {
    switch (how) {
        case SceneDrag::Pan:
            return render::kSceneMiddle;
        case SceneDrag::Zoom:
            return render::kSceneRight;
        case SceneDrag::Rotate:
            break;
    }
    return render::kSceneLeft;
}

// As a window passes a person's drag on: a move to the start, the left button's press when it is
// held, the moves with the buttons held in eight steps, the release.
void Person::dragScene(ui::Dialog&, int, render::ISceneView& view, int dx, int dy, SceneDrag how) {
    const auto [left, top, right, bottom] = view.placement();
    const double x0 = (right - left) / 2.0, y0 = (bottom - top) / 2.0;
    const unsigned buttons = sceneButtons(how);
    view.pointerMoved(x0, y0, 0);
    if (buttons & render::kSceneLeft) view.leftPressed(x0, y0);
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i)
        view.pointerMoved(x0 + double(dx) * i / kSteps, y0 + double(dy) * i / kSteps, buttons);
    if (buttons & render::kSceneLeft) view.leftReleased(x0 + dx, y0 + dy);
}

void Person::wheelScene(ui::Dialog&, int, render::ISceneView& view, int notches) {
    view.wheelTurned(notches);
}

void Person::probeScene(ui::Dialog&, int, render::ISceneView& view, int x, int y) {
    view.pointerMoved(x, y, 0);
    view.leftPressed(x, y);
    view.leftReleased(x, y);
}

void Person::dragView(HostApplication& app, int dx, int dy, bool rotate) {
    rotate ? app.camera().rotate(dx, dy) : app.camera().pan(dx, dy);
    app.requestRedraw();
}

void Person::wheelView(HostApplication& app, int notches) {
    const ViewCamera& camera = app.camera();
    app.camera().zoom(std::pow(kWheelZoom, notches), camera.width() / 2.0, camera.height() / 2.0);
    app.requestRedraw();
}

}  // namespace hostapp
