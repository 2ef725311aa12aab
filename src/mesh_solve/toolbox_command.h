#pragma once
// The workflow toolbox above the explorer's tree: one button per step of an analysis, each
// starting the same command as the menu item, and the "Pop-out" choice of where results show.
#include <cstdint>

#include "addon_base/addon_command.h"
#include "mesh_solve/show_ui_command.h"
#include "platform/ref_ptr.h"

class CToolbox;

class CToolboxCommand : public CAddOnCommand {
  public:
    CToolboxCommand(CShowUICommand* explorer, ui::Window* panel)
        : CAddOnCommand(explorer), explorer_(explorer), panel_(panel) {}

    CShowUICommand* explorer() const { return explorer_; }

    std::string className() const override { return "CToolboxCommand"; }
    // Creates the toolbox in the explorer's panel and shows it.
    void Start() override;
    // Puts the toolbox into `panel` (the host shows the explorer's panel again).
    void placeIn(ui::Window* panel);

    CToolbox* toolbox() const;
    ui::Window* panel() const { return panel_; }

    // Keeps the site, then stops its picking and redraws the view.
    platform::Status putref_CommandSite(platform::IUnknown* site) override;

    // A button's work: starts menu command `id` (112 to 119) for the explorer.
    void startCommand(std::int32_t id);
    // Shows the current loadcase's name (also whenever the document's loadcase line changes).
    void refreshLabel();

  protected:
    void terminate() override;

  private:
    // Hands `command` to the host through the explorer's site, which runs it beside the explorer.
    void handToHost(CAddOnCommand& command);
    // A new command of menu item `id` for the explorer, made by the add-on's factory.
    platform::RefPtr<CAddOnCommand> makeCommand(std::int32_t id) const;
    void startSolve();
    void showResults();
    // Brings the window of the command the toolbox started for `id` to the front, when it is
    // still open; false when there is none.
    bool bringBack(std::int32_t id);

    CShowUICommand* explorer_;
    ui::Window* panel_;
    int documentObserver_ = 0;
};

namespace mesh_solve {

// True while the results button is starting its display (a second start waits for the first).
bool resultsButtonBusy();

}  // namespace mesh_solve
