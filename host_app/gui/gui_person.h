#pragma once
// The person of a script run in the GUI: every action is real input on the real windows (the
// pointer moved and clicked, keys pressed, text typed), carried by the window system to the same
// handlers a person's input reaches, and waited for until its effect shows in the dialog.
#include "program/person.h"

#include <functional>

#include <wx/gdicmn.h>

class wxListBox;
class wxWindow;

namespace ui_wx {
class WidgetView;
}

namespace hostapp::gui {

class MainFrame;
class ViewCanvas;

class GuiPerson : public Person {
  public:
    explicit GuiPerson(MainFrame& frame) : frame_(frame) {}

    bool type(ui::Dialog& dialog, int id, const std::string& text) override;
    bool click(ui::Dialog& dialog, int id) override;
    bool choose(ui::Dialog& dialog, int id, int index) override;
    bool slide(ui::Dialog& dialog, int id, int position) override;
    void pressEnter(ui::Dialog& dialog) override;
    void pressEscape(ui::Dialog& dialog) override;
    void setProperty(ui::Dialog& dialog, const std::string& label, const std::string& value) override;
    void editCell(ui::Dialog& dialog, int row, int column, const std::string& text) override;
    void focusCell(ui::Dialog& dialog, int row, int column) override;
    void contextMenu(ui::TreeControl& tree, ui::TreeItem item) override;
    void pickMenu(HostApplication& app, std::int32_t id) override;
    std::int32_t menuState(HostApplication& app, std::int32_t id) override;
    void closeDocument(HostApplication& app) override;
    void dragScene(ui::Dialog& dialog, int id, render::ISceneView& view, int dx, int dy,
                   SceneDrag how) override;
    void wheelScene(ui::Dialog& dialog, int id, render::ISceneView& view, int notches) override;
    void probeScene(ui::Dialog& dialog, int id, render::ISceneView& view, int x, int y) override;
    double pick(HostApplication& app, const std::optional<PickItem>& item, bool add) override;
    bool seesInFront(ui::Dialog& dialog) override;
    void dragView(HostApplication& app, int dx, int dy, bool rotate) override;
    void wheelView(HostApplication& app, int notches) override;

  private:
    // Whether a window other than the main one lies over view pixel `at`.
    bool coveredByWindow(const ViewCanvas& view, const ViewPixel& at) const;
    // A view pixel near `at` that no other window covers.
    wxPoint freeSpotNear(const ViewCanvas& view, const ViewPixel& at) const;
    // The window of control `id` when a person can act on it now; null otherwise.
    wxWindow* controlWindow(ui::Dialog& dialog, int id) const;
    // Gives `window` the keyboard focus by clicking it.
    bool focus(wxWindow& window);
    // Runs the event loop until the person's last action has been handled by the dialog.
    bool awaitAction(int before) const;
    // Clicks line `index` of `list` when it is in sight; true once `chosen` holds.
    bool clickLine(wxListBox& list, int index, const std::function<bool()>& chosen) const;

    // The OpenGL canvas of Custom control `id`; throws std::runtime_error when it is not on screen.
    wxWindow& sceneCanvas(ui::Dialog& dialog, int id) const;
    // The id of the Custom control `view` shows.
    int controlIdOf(ui::Dialog& dialog, const ui_wx::WidgetView& view) const;
    // The screen point in the middle of the grid's cell (row, column) of the model.
    wxPoint cellPoint(ui::Dialog& dialog, int row, int column) const;
    // How many pop-up menus the prompts have shown so far.
    static std::size_t menusShown();

    MainFrame& frame_;
};

}  // namespace hostapp::gui
