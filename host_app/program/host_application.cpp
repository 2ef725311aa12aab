#include "program/host_application.h"

#include "program/view_renderer.h"

#include <algorithm>

#include "platform/paths.h"
#include "render/recording_canvas.h"

namespace hostapp {

using platform::RefPtr;

namespace {
// The add-on's menu items that start a command of their own (its analysis steps). Picking one
// ends the command running in the session first, as picking a command does in the host.
constexpr std::int32_t kFirstCommandItem = 112;
constexpr std::int32_t kLastCommandItem = 119;
}  // namespace

HostApplication::HostApplication()
    : root_(platform::makeRef<HostRoot>()), hook_(platform::makeRef<HostHook>(root_)) {}

HostApplication::~HostApplication() {
    if (addOn_) {
        try {
            unloadAddOn();
        } catch (...) {
            // Going away regardless; the add-on reports its own failures.
        }
    }
    for (auto& command : running_) command->site->detach();
}

// ---- documents ----

HostSession& HostApplication::openDocument(const std::string& path, const SessionOptions& options) {
    const std::string name = platform::fileStem(path);
    if (HostSession* open = root_->sessions().find(name)) {
        current_ = RefPtr<HostSession>(open);
        fitView(camera_.width(), camera_.height());
        return *open;
    }
    auto document = OcctDocument::open(path, options.modelUnit);
    auto session = platform::makeRef<HostSession>(name, std::move(document), options);
    root_->sessions().add(session);
    current_ = session;
    fitView(camera_.width(), camera_.height());
    if (addOn_) addOn_->OnSessionOpened(name);
    return *session;
}

void HostApplication::closeDocument(const std::string& session) {
    targeting_.reset();  // they read the session's points and planes
    picker_.reset();
    tessellation_.reset();
    tessellated_.reset();
    if (root_->sessions().find(session) == nullptr) return;
    for (const auto& command : running_) {
        if (command->session == session) command->ending = true;
    }
    afterEvent();
    if (addOn_) addOn_->OnSessionClosed(session);
    root_->sessions().remove(session);
    current_ = nullptr;
    if (!root_->sessions().all().empty()) current_ = root_->sessions().all().back();
    // The closed part's turn and zoom mean nothing for the next one: it is framed afresh.
    fitView(camera_.width(), camera_.height());
    requestRedraw();
}

HostSession& HostApplication::requireSession() const {
    if (!current_) throw HostAppError("no document is open");
    return *current_;
}

// ---- the add-on ----

void HostApplication::loadAddOn(const std::string& path) {
    if (addOn_) throw HostAppError("the add-on is loaded already");
    if (!library_) library_ = std::make_unique<AddOnLibrary>(path);
    library_->addOnLoad(nullptr, static_cast<host::IQDAddOnHook*>(hook_.get()), 0);
    addOn_ = RefPtr<host::IQuarnelAddOn>::adopt(library_->getAddOnInterface());
    if (!addOn_) throw HostAppError("the add-on gave no interface");
    buildMenu();
    addOn_->OnMenuBuilt();
}

void HostApplication::buildMenu() {
    menu_.clear();
    std::int32_t root = 0;
    if (platform::failed(addOn_->get_RootMenuItem(&root))) throw HostAppError("the add-on gave no menu");
    addMenuItems(root, 0);
}

void HostApplication::addMenuItems(std::int32_t id, int depth) {
    platform::AutoString text;
    addOn_->get_ItemText(id, &text);
    menu_.push_back({id, text, depth});
    platform::VariantBool has = platform::kVariantFalse;
    addOn_->get_HasSubItems(id, &has);
    if (has == platform::kVariantFalse || depth > 4) return;
    platform::IntArray items;
    addOn_->get_SubItems(id, &items);
    for (std::int32_t item : items) addMenuItems(item, depth + 1);
}

std::optional<std::int32_t> HostApplication::menuIdOf(const std::string& text) const {
    for (const auto& entry : menu_) {
        if (entry.text == text) return entry.id;
    }
    return std::nullopt;
}

void HostApplication::unloadAddOn() {
    if (!addOn_) return;
    // The transient commands end as the host ends any command; the add-on then closes its
    // explorers itself (end command through their sites, then their terminate step).
    for (const auto& command : running_) {
        if (!command->persistent) command->ending = true;
    }
    afterEvent();
    unloading_ = true;
    std::int32_t answer = 0;
    library_->addOnUnload(nullptr, 0, &answer);
    unloading_ = false;
    for (auto& command : running_) command->site->detach();
    running_.clear();
    unloaded_.clear();
    addOn_ = nullptr;
    menu_.clear();
}

std::int32_t HostApplication::itemState(std::int32_t id) {
    if (!addOn_) throw HostAppError("the add-on is not loaded");
    std::int32_t state = 0;
    // Without a document the add-on is asked with no session name (its Help stays offered).
    addOn_->get_MenuItemState(id, current_ ? current_->name() : std::string(), &state);
    return state;
}

void HostApplication::invoke(std::int32_t id) {
    if (!addOn_) throw HostAppError("the add-on is not loaded");
    const std::string session = current_ ? current_->name() : std::string();
    // Picking an analysis command ends the one running in the session, as picking any command
    // does in the host; the explorer and help leave it running.
    if (id >= kFirstCommandItem && id <= kLastCommandItem) endTransientCommands(session);
    RefPtr<host::IQuarnelAddOnCommand> command;
    addOn_->InvokeCommand(id, session, command.put());
    if (command && !isRunning(command.get())) host(std::move(command), session);
    afterEvent();
}

void HostApplication::endTransientCommands(const std::string& session) {
    bool any = false;
    for (const auto& command : running_) {
        if (!command->persistent && command->session == session) command->ending = any = true;
    }
    if (any) afterEvent();
}

void HostApplication::host(RefPtr<host::IQuarnelAddOnCommand> command, const std::string& session) {
    auto running = std::make_unique<RunningCommand>();
    running->command = std::move(command);
    running->site = platform::makeRef<CommandSite>(this);
    running->session = session;
    platform::VariantBool persistent = platform::kVariantFalse;
    platform::VariantBool hasPanel = platform::kVariantFalse;
    running->command->get_IsPersistent(&persistent);
    running->command->get_HasPanel(&hasPanel);
    running->persistent = persistent != platform::kVariantFalse;
    RunningCommand& added = *running;
    running_.push_back(std::move(running));
    added.command->putref_CommandSite(static_cast<host::IQDCommandSite*>(added.site.get()));
    if (hasPanel != platform::kVariantFalse) {
        added.panel = panelFactory_ ? panelFactory_(session) : std::make_unique<ui::Panel>("FEM Explorer");
        added.command->OnShowUI(added.panel.get());
    }
    requestRedraw();
}

bool HostApplication::isRunning(host::IQuarnelAddOnCommand* command) const {
    return std::any_of(running_.begin(), running_.end(),
                       [&](const auto& r) { return r->command.get() == command; });
}

ui::Panel* HostApplication::panelOf(const std::string& session) const {
    for (const auto& command : running_) {
        if (command->session == session && command->panel) return command->panel.get();
    }
    return nullptr;
}

void HostApplication::requestEnd(CommandSite* site) {
    for (auto it = running_.begin(); it != running_.end(); ++it) {
        if ((*it)->site.get() != site) continue;
        if (unloading_) {
            // During the unload the add-on terminates its explorers itself; the host forgets them,
            // keeping their panels until the add-on has let go of them.
            (*it)->site->detach();
            unloaded_.push_back(std::move(*it));
            running_.erase(it);
        } else {
            (*it)->ending = true;
        }
        return;
    }
}

void HostApplication::startFurtherCommand(host::IQuarnelAddOnCommand* command) {
    if (command == nullptr || isRunning(command)) return;
    host(RefPtr<host::IQuarnelAddOnCommand>(command), current_ ? current_->name() : std::string());
}

void HostApplication::terminate(std::unique_ptr<RunningCommand> command) {
    command->command->OnTerminate();
    command->site->detach();
    requestRedraw();
}

void HostApplication::afterEvent() {
    // Terminating one command may end others; go on until none is left ending.
    for (;;) {
        auto it = std::find_if(running_.begin(), running_.end(), [](const auto& r) { return r->ending; });
        if (it == running_.end()) break;
        std::unique_ptr<RunningCommand> ending = std::move(*it);
        running_.erase(it);
        terminate(std::move(ending));
    }
    if (redrawPending_) {
        redrawPending_ = false;
        ++redraws_;
        // Without a window the view is drawn when a picture is asked for; the marks are drawn now
        // all the same, so that a failure in them shows where it happens.
        render::RecordingCanvas discard;
        drawOverlays(discard);
    }
}

void HostApplication::idle() {
    followRuns();
    afterEvent();
}

void HostApplication::followRuns() {
    if (addOn_) addOn_->OnHostIdle();
}

bool HostApplication::runActive(std::int32_t program) const {
    const auto runs = addOn_.query<host::IQuarnelProgramRuns>();
    platform::VariantBool active = false;
    return runs && platform::succeeded(runs->get_RunActive(program, &active)) && active;
}

std::string HostApplication::runText(std::int32_t program) const {
    const auto runs = addOn_.query<host::IQuarnelProgramRuns>();
    platform::AutoString text;
    if (runs) runs->get_RunText(program, &text);
    return text;
}

// ---- the view ----

void HostApplication::fitView(int width, int height) {
    if (!current_) return;
    const auto box = current_->document().boundingBox();
    camera_.fit(box.first, box.second, width, height);
}

void HostApplication::prepareView(int width, int height) {
    if (width == camera_.width() && height == camera_.height()) return;
    // A view the person turned keeps its turn at a new size; an untouched one is framed again.
    if (camera_.moved()) {
        camera_.resize(width, height);
    } else {
        fitView(width, height);
    }
}

RasterImage HostApplication::viewPicture(int width, int height) {
    return viewPicture_ ? viewPicture_(width, height) : drawView(*this, width, height);
}

void HostApplication::paintView() {
    if (viewPainter_) {
        viewPainter_();
    } else {
        drawView(*this, camera_.width(), camera_.height());
    }
}

const ViewTessellation& HostApplication::tessellation() {
    HostSession& session = requireSession();
    if (!tessellation_ || tessellated_ != session.documentPtr()) {
        targeting_.reset();
        picker_.reset();
        tessellation_ = std::make_unique<ViewTessellation>(session.document());
        tessellated_ = session.documentPtr();
        picker_ = std::make_unique<ViewPicker>(session, *tessellation_);
        targeting_ = std::make_unique<PickTargeting>(session, *tessellation_, *picker_);
    }
    return *tessellation_;
}

const ViewPicker& HostApplication::picker() {
    tessellation();
    return *picker_;
}

const PickTargeting& HostApplication::targeting() {
    tessellation();
    return *targeting_;
}

void HostApplication::setSelection(const std::vector<PickItem>& items) {
    HostSession& session = requireSession();
    std::vector<SelectedItem> picks;
    for (const PickItem& item : items) picks.push_back(selectedItem(session, item));
    session.selection().replace(std::move(picks));
    for (const auto& command : running_) {
        if (command->session == session.name()) command->command->OnSelectionChanged();
    }
}

std::optional<PickItem> HostApplication::pickInView(double x, double y, bool add) {
    const std::optional<PickItem> hit = picker().pickAt(camera_, x, y);
    std::vector<PickItem> items;
    if (add) items = requireSession().selection().items();
    if (hit) {
        const auto at = std::find(items.begin(), items.end(), *hit);
        if (at != items.end())
            items.erase(at);  // a second Ctrl-click takes it out again
        else
            items.push_back(*hit);
    }
    if (hit || !add) setSelection(items);
    ++picks_;
    lastPick_ = hit;
    lastPickAt_ = std::chrono::steady_clock::now();
    return hit;
}

ViewPixel HostApplication::pixelToPick(const std::optional<PickItem>& item) {
    return targeting().pixelToPick(camera_, item);
}

void HostApplication::showView(std::optional<StandardView> view) {
    if (view) camera_.setStandardView(*view);
    fitView(camera_.width(), camera_.height());
    requestRedraw();
}

void HostApplication::drawOverlays(render::Canvas& canvas) {
    if (!current_) return;
    // The list may change while commands draw (a failure message ends nothing, but be safe).
    std::vector<RefPtr<host::IQuarnelAddOnCommand>> commands;
    for (const auto& command : running_) {
        if (command->session == current_->name() && !command->ending) commands.push_back(command->command);
    }
    for (const auto& command : commands) command->OnDrawOverlay(&canvas);
}

bool HostApplication::draw3D(platform::IUnknown* device) {
    if (!current_) return false;
    std::vector<std::pair<RefPtr<host::IQuarnelAddOnCommand>, RefPtr<CommandSite>>> commands;
    for (const auto& command : running_) {
        if (command->session == current_->name() && !command->ending)
            commands.emplace_back(command->command, command->site);
    }
    int handedOut = 0;
    device_ = device;
    for (const auto& [command, site] : commands) {
        const int before = site->devicesHandedOut();
        command->On3DRender();
        handedOut += site->devicesHandedOut() - before;
    }
    device_ = nullptr;
    return handedOut > 0;
}

void HostApplication::projectPoint(const host::Point3& point, double* x, double* y) const {
    const ViewPoint p = camera_.project(point);
    *x = p.x;
    *y = p.y;
}

}  // namespace hostapp
