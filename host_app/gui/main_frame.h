#pragma once
// The host's main window: a File menu (open, close, recent files, quit), a View menu, the
// add-on's "Tarvenic" menu as the add-on gives it (texts and order from its menu, item states
// asked each time the menu opens), the FEM Explorer panel docked at the left, the view in the
// centre and a status bar with the session, its units and the selection.
#include <wx/filehistory.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "program/view_camera.h"

namespace hostapp {
class HostApplication;
class HostSelection;
}  // namespace hostapp

namespace hostapp::gui {

class ExplorerPanel;
class ViewCanvas;

class MainFrame : public wxFrame {
  public:
    explicit MainFrame(HostApplication& app);
    ~MainFrame() override;

    // Opens a part or assembly file as a session; a failure is shown to the person.
    bool openPart(const std::string& path);
    // The host's work after any event: commands that asked to end, menu, panel, view, status.
    void afterEvent();

    // The side area the explorer panels are docked in.
    wxWindow* sideArea() const { return side_; }
    // The panel made for a command of `session` (the host's panel factory).
    std::unique_ptr<ExplorerPanel> makePanel(const std::string& session);
    // The explorer panel shown for the current session; null when none.
    ExplorerPanel* currentPanel() const;
    ViewCanvas* view() const { return view_; }
    // The add-on's item `id` in the Tarvenic menu; null when absent.
    wxMenuItem* addOnItem(std::int32_t id) const;
    wxMenu* addOnMenu() const { return addOnMenu_; }
    // Asks the add-on for the state of every item of its menu and shows it.
    void refreshAddOnMenu();
    // How many items of the add-on's menu have been picked so far.
    int addOnPicks() const { return picks_; }
    // Whether the add-on's menu is open on the screen now.
    bool addOnMenuOpen() const { return addOnMenuOpen_; }

  private:
    void buildMenus();
    void buildAddOnMenu();
    void onMenuOpen(wxMenuEvent& event);
    void onMenuClose(wxMenuEvent& event);
    void onOpen(wxCommandEvent& event);
    void onClose(wxCommandEvent& event);
    void onQuit(wxCommandEvent& event);
    void onRecent(wxCommandEvent& event);
    void onAddOnItem(wxCommandEvent& event);
    void onCloseWindow(wxCloseEvent& event);
    std::int32_t stateOf(std::int32_t id);
    void showCurrentPanel();
    void updateStatus();
    static wxString selectionText(const HostSelection& selection);
    // A click in the view at (x, y) picks what is under it (Ctrl adds or removes); a pick off
    // the view clears the picks.
    void pickAt(double x, double y, bool add);
    // Looks along a standard direction (none: keeps it) and frames the whole model.
    void showView(std::optional<StandardView> direction);
    // Runs `work`, showing a failure to the person instead of letting it through the event loop.
    void guarded(const std::function<void()>& work);

    // The host's idle, five times a second: the add-on follows the programs it started.
    void onIdleTimer(wxTimerEvent& event);

    HostApplication& app_;
    wxTimer idleTimer_;
    wxWindow* side_ = nullptr;
    ViewCanvas* view_ = nullptr;
    wxMenu* addOnMenu_ = nullptr;
    wxFileHistory history_;
    std::map<int, std::int32_t> addOnIds_;
    int picks_ = 0;
    bool addOnMenuOpen_ = false;
};

}  // namespace hostapp::gui
