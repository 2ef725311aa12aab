#pragma once
// The wx backend of the dialog toolkit. Installed once by the program, it observes every dialog
// the add-on creates: each becomes a real window built from its template (a top-level dialog over
// the main window, or a panel the host docks it in), shows what code does to it at once, and
// passes a person's actions to the dialog's handlers. The add-on never sees it.
#include <wx/bitmap.h>

#include <functional>
#include <map>
#include <memory>

#include "ui/dialog.h"
#include "ui_wx/dialog_view.h"

class wxDialog;
class wxPanel;
class wxWindow;

namespace ui_wx {

// The picture of a 16 x 16 icon resource (the toolbox's buttons); an invalid bitmap for none.
using IconSource = std::function<wxBitmap(int icon)>;
void setIconSource(IconSource source);
wxBitmap iconBitmap(int icon);

class WxBackend : public ui::DialogObserver {
  public:
    static WxBackend& instance();

    // Starts and stops observing the dialogs created from now on.
    void install();
    void uninstall();

    // The window top-level dialogs float over (the host's main window). Each time it becomes the
    // active window the dialogs' windows are put back above it, as a window manager keeps them.
    void setMainWindow(wxWindow* window);
    // Puts every shown dialog window above the main window, leaving the keys where they are.
    void keepDialogsAbove();
    // Called after every person's action on a dialog has been handled (the host's work after an
    // event: ending commands, redrawing).
    void setAfterAction(std::function<void()> hook) { afterAction_ = std::move(hook); }

    // Shows `dialog` inside `parent` instead of in its own window, now if it is shown and every
    // time it is created until undock(); `placed` is given the panel holding its controls each
    // time one is made (the host lays it out).
    using Placed = std::function<void(wxPanel*)>;
    void dock(ui::Dialog& dialog, wxWindow* parent, Placed placed);
    void undock(const ui::Dialog* dialog);

    // The controls of `dialog` as shown; null when it has no window.
    DialogView* viewOf(const ui::Dialog& dialog) const;
    // The top-level window of `dialog`; null when it has none or is docked in a panel.
    wxDialog* windowOf(const ui::Dialog& dialog) const;
    // A person's action has been handled (on a dialog, or on another of the add-on's windows such
    // as the explorer's tree): counts it and runs the after-action hook.
    void personActed();
    // How many person's actions the dialogs have handled so far (a script waits for the next).
    int actionCount() const { return actions_; }
    // True while a dialog's modal loop runs.
    bool inModalLoop() const { return modalDepth_ > 0; }

    // Runs `dialog` (created) in a modal loop until it ends; `whileOpen`, when given, is called
    // once inside the loop (a script acting on the window). Answers the end code.
    int runModal(ui::Dialog& dialog, std::function<void()> whileOpen);

    void created(ui::Dialog& dialog) override;
    void changed(ui::Dialog& dialog, int controlId) override;
    void destroyed(ui::Dialog& dialog) override;
    void broughtToFront(ui::Dialog& dialog) override;

  private:
    struct Shown {
        std::unique_ptr<DialogView> view;
        wxDialog* window = nullptr;  // null when docked
        wxWindow* container = nullptr;
    };
    struct Dock {
        wxWindow* parent = nullptr;
        Placed placed;
    };
    wxPanel* makeDocked(ui::Dialog& dialog, const Dock& dock);
    void showWindowState(ui::Dialog& dialog, Shown& shown);
    // Hides and later deletes a window and its view (they may be inside their own event handler).
    void retire(Shown shown);

    std::map<const ui::Dialog*, Shown> shown_;
    std::map<const ui::Dialog*, Dock> docks_;
    wxWindow* mainWindow_ = nullptr;
    std::function<void()> afterAction_;
    int modalDepth_ = 0;
    int actions_ = 0;
    bool installed_ = false;
};

}  // namespace ui_wx
