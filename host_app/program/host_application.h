#pragma once
// The host itself: the open documents, the loaded add-on with its menu, and the commands it runs.
// It hosts each command the add-on hands back (a site, a panel when the command wants one,
// overlay drawing and redraws), ends commands after the event that asked for it, and unloads
// the add-on at the end.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "documents/host_root.h"
#include "host/addon_interfaces.h"
#include "platform/ref_ptr.h"
#include "program/addon_library.h"
#include "program/command_site.h"
#include "program/pick_targeting.h"
#include "program/raster_image.h"
#include "program/view_camera.h"
#include "program/view_picker.h"
#include "program/view_scene.h"
#include "program/view_tessellation.h"
#include "ui/window.h"

namespace render {
class Canvas;
}

namespace hostapp {

struct MenuEntry {
    std::int32_t id = 0;
    std::string text;
    int depth = 0;  // 0 for the root item
};

// A command the host runs, with the site and panel the host gave it.
struct RunningCommand {
    platform::RefPtr<host::IQuarnelAddOnCommand> command;
    platform::RefPtr<CommandSite> site;
    std::string session;
    std::unique_ptr<ui::Panel> panel;
    bool persistent = false;  // stays beside other commands (the explorer)
    bool ending = false;
};

class HostApplication : public CommandHost, public ViewScene {
  public:
    HostApplication();
    ~HostApplication() override;

    // ---- documents ----
    // Opens a document as a new session named after the file's stem and makes it current;
    // opening a file whose session is already open makes that session current.
    HostSession& openDocument(const std::string& path, const SessionOptions& options);
    // Ends the session's commands (its explorer too), tells the add-on and closes the document;
    // another open session, if any, becomes current.
    void closeDocument(const std::string& session);
    HostSession* currentSession() const { return current_.get(); }
    HostSession& requireSession() const override;
    HostRoot& root() const { return *root_; }

    // ---- the add-on ----
    // dlopen, AddOnLoad with the hook, GetAddOnInterface and the menu. Throws HostAppError.
    void loadAddOn(const std::string& path);
    bool addOnLoaded() const { return static_cast<bool>(addOn_); }
    // Ends the running commands, calls AddOnUnload and releases the add-on's interface.
    void unloadAddOn();
    const std::vector<MenuEntry>& menu() const { return menu_; }
    std::optional<std::int32_t> menuIdOf(const std::string& text) const;
    // The item state the add-on gives for the current session.
    std::int32_t itemState(std::int32_t id);
    // The user picks a menu item in the current session.
    void invoke(std::int32_t id);

    // ---- running commands ----
    // Makes the panel a command that wants one builds its user interface in (a window host docks
    // it); without a factory the panel is a plain in-memory one.
    using PanelFactory = std::function<std::unique_ptr<ui::Panel>(const std::string& session)>;
    void setPanelFactory(PanelFactory factory) { panelFactory_ = std::move(factory); }
    const std::vector<std::unique_ptr<RunningCommand>>& running() const { return running_; }
    // The panel of the persistent command of `session` (the explorer), or null.
    ui::Panel* panelOf(const std::string& session) const;
    // Work the host does once an event has been handled: terminate the commands that asked to
    // end, then redraw the view when asked.
    void afterEvent();
    int redrawCount() const { return redraws_; }
    // The host's idle: the add-on gives time to the programs it follows (their progress, their
    // end), then the work after an event.
    void idle();
    // Only the add-on's part of the idle (while a modal window runs its own loop).
    void followRuns();
    // The add-on's follow-up of its programs (0 the mesher, 1 the solver): whether it still
    // follows a run, and the last line it showed of them.
    bool runActive(std::int32_t program) const;
    std::string runText(std::int32_t program) const;

    // ---- the view ----
    ViewCamera& camera() override { return camera_; }
    // Fits the camera to the current session's model in a view of this size.
    void fitView(int width, int height);
    // Makes the camera ready for a view of this size before it is drawn.
    void prepareView(int width, int height) override;
    // The view as a picture for scripts: drawn off screen unless a window host shows the view
    // itself, when it is what the window shows (there is one 3-D device per view, and the
    // commands keep what they made on it).
    using ViewPictureSource = std::function<RasterImage(int width, int height)>;
    void setViewPictureSource(ViewPictureSource source) { viewPicture_ = std::move(source); }
    RasterImage viewPicture(int width, int height);
    // Draws the view once as its window shows it (off screen at the camera's size without one).
    using ViewPainter = std::function<void()>;
    void setViewPainter(ViewPainter painter) { viewPainter_ = std::move(painter); }
    void paintView();
    // The current session's part as the view draws and picks it, made at its first use.
    const ViewTessellation& tessellation() override;
    const ViewPicker& picker();
    const PickTargeting& targeting();

    // ---- picking ----
    // The current session's selection becomes `items`; its commands are told. Throws PickError
    // when the session has no such item (the selection is then unchanged).
    void setSelection(const std::vector<PickItem>& items);
    // A click at view pixel (x, y): picks what is under it, or with `add` adds it to the picks or
    // takes it out again; a click on nothing clears the picks (with `add`, keeps them). Answers
    // what was under the pixel.
    std::optional<PickItem> pickInView(double x, double y, bool add);
    // How many clicks pickInView took, and what the last one found.
    int picks() const { return picks_; }
    const std::optional<PickItem>& lastPick() const { return lastPick_; }
    std::chrono::steady_clock::time_point lastPickAt() const { return lastPickAt_; }
    // A view pixel where `item` can be picked, turning the view to show it when it is hidden; for
    // no item, a pixel where nothing is. Throws PickError when there is none.
    ViewPixel pixelToPick(const std::optional<PickItem>& item);
    // Looks along a standard direction and frames the whole model; only frames it for `fit`.
    void showView(std::optional<StandardView> view);
    // Every running command of the current session draws its overlay marks.
    void drawOverlays(render::Canvas& canvas) override;
    // Every running command of the current session draws into the view's 3-D device; answers
    // whether any command took the device.
    bool draw3D(platform::IUnknown* device) override;

    // ---- CommandHost ----
    void projectPoint(const host::Point3& point, double* x, double* y) const override;
    void requestRedraw() override { redrawPending_ = true; }
    void requestEnd(CommandSite* site) override;
    void startFurtherCommand(host::IQuarnelAddOnCommand* command) override;
    platform::IUnknown* renderDevice() const override { return device_; }

  private:
    void buildMenu();
    void addMenuItems(std::int32_t id, int depth);
    void host(platform::RefPtr<host::IQuarnelAddOnCommand> command, const std::string& session);
    bool isRunning(host::IQuarnelAddOnCommand* command) const;
    // Ends the session's transient command before another one starts.
    void endTransientCommands(const std::string& session);
    void terminate(std::unique_ptr<RunningCommand> command);

    platform::RefPtr<HostRoot> root_;
    platform::RefPtr<HostHook> hook_;
    platform::RefPtr<HostSession> current_;
    std::unique_ptr<AddOnLibrary> library_;
    platform::RefPtr<host::IQuarnelAddOn> addOn_;
    std::vector<MenuEntry> menu_;
    std::vector<std::unique_ptr<RunningCommand>> running_;
    std::vector<std::unique_ptr<RunningCommand>> unloaded_;  // ended by the add-on's unload
    PanelFactory panelFactory_;
    ViewPictureSource viewPicture_;
    ViewPainter viewPainter_;
    ViewCamera camera_;
    std::shared_ptr<const OcctDocument> tessellated_;  // the document `tessellation_` was made of
    std::unique_ptr<ViewTessellation> tessellation_;
    std::unique_ptr<ViewPicker> picker_;        // picks in `tessellation_`
    std::unique_ptr<PickTargeting> targeting_;  // targets what `picker_` picks
    int picks_ = 0;
    std::optional<PickItem> lastPick_;
    std::chrono::steady_clock::time_point lastPickAt_{};
    platform::IUnknown* device_ = nullptr;  // set while the view is drawn
    bool unloading_ = false;
    bool redrawPending_ = false;
    int redraws_ = 0;
};

}  // namespace hostapp
