#include "person.h"

#include "host_application.h"
#include "ui/dialog.h"
#include "widget_actions.h"

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

void Person::closeDocument(HostApplication& app) {
    app.closeDocument(app.requireSession().name());
}

std::int32_t Person::menuState(HostApplication& app, std::int32_t id) {
    return app.itemState(id);
}

void Person::pick(HostApplication& app, const std::optional<PickItem>& item, bool add) {
    const ViewPixel at = app.pixelToPick(item);
    const std::optional<PickItem> hit = app.pickInView(at.x, at.y, add);
    if (hit != item) throw PickError("the click picked " + (hit ? hit->text() : std::string("nothing")));
}

}  // namespace hostapp
