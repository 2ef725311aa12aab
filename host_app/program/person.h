#pragma once
// A person at the host, as a script's verbs of a person's actions reach the add-on. This base
// acts headless: straight on the dialogs' and widgets' models, as a window backend would call
// them. The GUI's person overrides each action with real input events on the real windows.
#include <cstdint>
#include <optional>
#include <string>

#include "program/pick_targeting.h"
#include "program/view_picker.h"
#include "ui/tree_control.h"

namespace ui {
class Dialog;
}

namespace render {
class ISceneView;
}

namespace hostapp {

class HostApplication;

// The buttons a drag across an OpenGL view holds: the left button turns the model, the middle button
// pans it, the right button alone zooms.
enum class SceneDrag { Rotate, Pan, Zoom };

class Person {
  public:
    virtual ~Person() = default;
    // Each answers false when the control cannot take the action now (hidden or disabled).
    virtual bool type(ui::Dialog& dialog, int id, const std::string& text);
    virtual bool click(ui::Dialog& dialog, int id);
    virtual bool choose(ui::Dialog& dialog, int id, int index);
    virtual bool slide(ui::Dialog& dialog, int id, int position);
    virtual void pressEnter(ui::Dialog& dialog);
    virtual void pressEscape(ui::Dialog& dialog);
    // The property grid's item with `label` takes `value`; throws std::runtime_error when it cannot.
    virtual void setProperty(ui::Dialog& dialog, const std::string& label, const std::string& value);
    // The editable grid's cell takes `text` / the focus; throws std::runtime_error when it cannot.
    virtual void editCell(ui::Dialog& dialog, int row, int column, const std::string& text);
    virtual void focusCell(ui::Dialog& dialog, int row, int column);
    // A right click on a line of the explorer's tree.
    virtual void contextMenu(ui::TreeControl& tree, ui::TreeItem item);
    // Picks item `id` of the add-on's menu.
    virtual void pickMenu(HostApplication& app, std::int32_t id);
    // Closes the current document as the host's File menu does.
    virtual void closeDocument(HostApplication& app);
    // The state item `id` of the add-on's menu shows (greyed, checked, ...), as host::MenuItemState.
    virtual std::int32_t menuState(HostApplication& app, std::int32_t id);
    // A click in the view where `item` shows (the view turned first when it is hidden), or with
    // no item where nothing is; `add` holds Ctrl down. Throws PickError when the item cannot be
    // shown or the click picked something else.
    // Answers the milliseconds from the click to the view showing what it picked.
    virtual double pick(HostApplication& app, const std::optional<PickItem>& item, bool add);
    // Whether the person sees `dialog`'s window in front of the main window (headless: always).
    virtual bool seesInFront(ui::Dialog& dialog);

    // On the OpenGL view `view` of Custom control `id` of `dialog` (the results window's): a drag
    // of (dx, dy) pixels from the view's centre, `notches` wheel steps over its centre (positive
    // forward), a left click at view pixel (x, y).
    virtual void dragScene(ui::Dialog& dialog, int id, render::ISceneView& view, int dx, int dy,
                           SceneDrag how);
    virtual void wheelScene(ui::Dialog& dialog, int id, render::ISceneView& view, int notches);
    virtual void probeScene(ui::Dialog& dialog, int id, render::ISceneView& view, int x, int y);
    // The same on the host's main view; throws std::runtime_error where the view cannot take it.
    virtual void dragView(HostApplication& app, int dx, int dy, bool rotate);
    virtual void wheelView(HostApplication& app, int notches);
};

}  // namespace hostapp
