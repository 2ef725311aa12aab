#include "gui/gui_host.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "gui/compact_style.h"
#include "gui/explorer_panel.h"
#include "gui/gui_person.h"
#include "gui/main_frame.h"
#include "gui/screenshot.h"
#include "gui/view_canvas.h"
#include "program/raster_print_page.h"
#include "ui/headless_prompts.h"
#include "ui/message_pump.h"
#include "ui/screen_capture.h"
#include "ui_wx/input_driver.h"
#include "ui_wx/toolbox_icons.h"
#include "ui_wx/widget_views.h"
#include "ui_wx/wx_backend.h"
#include "ui_wx/wx_print_page.h"
#include "ui_wx/wx_prompts.h"
#include "ui_wx/x_display.h"

namespace hostapp::gui {

bool displayAvailable() {
    const char* name = std::getenv("DISPLAY");
    // The program's own connection, kept open: closing it could reset a bare X server just as the
    // toolkit connects.
    return name != nullptr && *name != '\0' && ui_wx::xDisplay() != nullptr;
}

namespace {

// What the screen shows of `window`'s rectangle, clipped to the screen, after every window has
// been repainted; nothing when the screen cannot be read.
std::optional<ui::ScreenPicture> captureWindow(wxWindow& window) {
    wxBusyCursor wait;
    for (wxWindow* top : wxTopLevelWindows) {
        top->Refresh();
        top->Update();
    }
    ui_wx::pumpFor(ui_wx::milliseconds(100));
    Display* display = ui_wx::xDisplay();
    if (display == nullptr) return std::nullopt;
    const int screen = DefaultScreen(display);
    const wxRect area =
        wxRect(window.GetScreenPosition(), window.GetSize())
            .Intersect(wxRect(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)));
    XImage* shot = area.IsEmpty() ? nullptr
                                  : XGetImage(display, DefaultRootWindow(display), area.x, area.y,
                                              static_cast<unsigned>(area.width),
                                              static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (shot == nullptr) return std::nullopt;
    ui::ScreenPicture picture{area.width, area.height, {}};
    picture.rgb.reserve(static_cast<std::size_t>(area.width) * area.height * 3);
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            const unsigned long p = XGetPixel(shot, x, y);
            picture.rgb.insert(picture.rgb.end(),
                               {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
        }
    }
    XDestroyImage(shot);
    return picture;
}

class HostGuiApp : public wxApp {
  public:
    HostGuiApp(const ScriptSession& session, std::string part) : session_(session), part_(std::move(part)) {}

    bool OnInit() override;
    int OnExit() override;
    int status() const { return status_; }

  private:
    void runScript();

    ScriptSession session_;
    std::string part_;
    HostApplication app_;
    MainFrame* frame_ = nullptr;
    std::shared_ptr<ui_wx::WxPrompts> prompts_;
    std::unique_ptr<GuiPerson> person_;
    int status_ = 0;
};

bool HostGuiApp::OnInit() {
    wxInitAllImageHandlers();
    // A failed check inside wx is reported on the terminal; a modal box would stop a script run.
    wxSetAssertHandler(
        [](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& message) {
            std::fprintf(stderr, "kolvane-host: wx check failed at %s:%d: %s %s\n", file.utf8_str().data(),
                         line, cond.utf8_str().data(), message.utf8_str().data());
        });
    installCompactStyle();
    ui_wx::registerWidgetViews();
    ui_wx::installToolboxIcons();
    // A print may go to the printer or its preview as well as to a file.
    render::setRasterPageFactory(ui_wx::wxPrintPageFactory(
        [](const std::string& path) { return std::make_unique<RasterPrintPage>(path); }));
    // A script answers the prompts through their real windows; a person answers them.
    prompts_ = std::make_shared<ui_wx::WxPrompts>(
        session_.scriptPath.empty() ? ui_wx::WxPrompts::Mode::Interactive : ui_wx::WxPrompts::Mode::Scripted);
    ui::setPrompts(prompts_);
    auto& backend = ui_wx::WxBackend::instance();
    backend.install();
    try {
        app_.loadAddOn(session_.addOnPath);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kolvane-host: %s\n", e.what());
        status_ = 1;
        return false;
    }
    frame_ = new MainFrame(app_);
    backend.setMainWindow(frame_);
    // The results window prints the main window as the screen shows it.
    ui::setMainWindowCapture([this]() -> std::optional<ui::ScreenPicture> {
        if (frame_ == nullptr) return std::nullopt;
        return captureWindow(*frame_);
    });
    // The host's work after an event waits while a modal dialog is open, as it does headless.
    backend.setAfterAction([this] {
        if (!ui_wx::WxBackend::instance().inModalLoop()) frame_->afterEvent();
    });
    app_.setPanelFactory([this](const std::string& session) -> std::unique_ptr<ui::Panel> {
        return frame_->makePanel(session);
    });
    app_.setViewPictureSource([this](int, int) { return frame_->view()->picture(); });
    app_.setViewPainter([this] { frame_->view()->redrawNow(); });
    // A handler's own loop (the contour animation) hands the waiting events on and shows the
    // view as it stands now, once per frame.
    ui::setMessagePump([this] {
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) {
            while (loop->Pending()) loop->Dispatch();
        }
        wxTheApp->ProcessPendingEvents();
        if (frame_ == nullptr || frame_->IsBeingDeleted()) return false;
        frame_->view()->redrawNow();
        return true;
    });
    frame_->Show();
    if (!part_.empty()) frame_->openPart(part_);
    if (!session_.scriptPath.empty()) CallAfter([this] { runScript(); });
    return true;
}

void HostGuiApp::runScript() {
    person_ = std::make_unique<GuiPerson>(*frame_);
    ScriptSession session = session_;
    session.options.person = person_.get();
    session.options.afterEvent = [this] { frame_->afterEvent(); };
    session.options.waitIdle = [] { ui_wx::pumpFor(ui_wx::milliseconds(300)); };
    session.options.pause = [](std::chrono::milliseconds time) { ui_wx::pumpFor(time); };
    session.options.screenshot = [this](const std::string& path, const std::string& caption) {
        wxWindow* window = frame_;
        if (!caption.empty()) {
            ui::Dialog* dialog = ui::findDialog(caption);
            ui_wx::DialogView* view = dialog ? ui_wx::WxBackend::instance().viewOf(*dialog) : nullptr;
            if (view == nullptr) throw std::runtime_error("no window \"" + caption + "\"");
            window = view->container();
        }
        hostapp::gui::screenshot(*window, path);
    };
    status_ = runScriptSession(app_, *prompts_, session, std::cout);
    frame_->Close(true);
}

int HostGuiApp::OnExit() {
    ui::setMessagePump(nullptr);
    ui::setMainWindowCapture({});
    ui_wx::WxBackend::instance().uninstall();
    ui::setPrompts(nullptr);
    return wxApp::OnExit();
}

}  // namespace

int runGui(int argc, char** argv, const ScriptSession& session, const std::string& part) {
    auto* app = new HostGuiApp(session, part);
    wxApp::SetInstance(app);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "kolvane-host: the window system cannot be started\n");
        return 2;
    }
    int status = 1;
    if (wxTheApp->CallOnInit()) {
        wxTheApp->OnRun();
        status = app->status();
    } else {
        status = app->status() != 0 ? app->status() : 1;
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return status;
}

}  // namespace hostapp::gui
