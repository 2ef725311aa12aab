#include "mesh_solve/toolbox_command.h"

#include "addon_base/library_state.h"
#include "addon_base/menu.h"
#include "mesh_solve/toolbox_dialog.h"
#include "platform/host_error.h"
#include "ui/prompts.h"

namespace {

// The two results displays, recognised by their dialogs while they are open.
constexpr int kContoursDialogId = 10060;
constexpr int kResultsWindowDialogId = 102;
constexpr const char* kOtherDisplayOpen = "close other results dialog box first";

ui::Dialog* openDialog(int templateId) {
    for (ui::Dialog* d : ui::openDialogs())
        if (d->templateId() == templateId) return d;
    return nullptr;
}

bool dialogOpen(int templateId) {
    return openDialog(templateId) != nullptr;
}

bool resultsBusy = false;

// Holds the results button busy while it starts its display.
class BusyScope {
  public:
    BusyScope() { resultsBusy = true; }
    ~BusyScope() { resultsBusy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

}  // namespace

namespace mesh_solve {
bool resultsButtonBusy() {
    return resultsBusy;
}
}  // namespace mesh_solve

CToolbox* CToolboxCommand::toolbox() const {
    return static_cast<CToolbox*>(dialog());
}

void CToolboxCommand::Start() {
    auto dialog = std::make_unique<CToolbox>(this);
    CToolbox* window = dialog.get();
    setDialog(std::move(dialog));
    placeIn(panel_);
    window->create();
    // A new loadcase line means another loadcase: its name shows at once.
    documentObserver_ = explorer_->document().observe([this](int section) {
        if (section == model::kKindLoadcase) refreshLabel();
    });
}

void CToolboxCommand::placeIn(ui::Window* panel) {
    if (auto* old = dynamic_cast<ui::Panel*>(panel_); old != nullptr && old != panel)
        old->removeChild(CToolbox::kDialogId);
    panel_ = panel;
    if (auto* p = dynamic_cast<ui::Panel*>(panel_)) p->addChild(CToolbox::kDialogId, dialog());
}

platform::Status CToolboxCommand::putref_CommandSite(platform::IUnknown* site) {
    CAddOnCommand::putref_CommandSite(site);
    if (this->site() != nullptr) {
        this->site()->SetPicking(platform::kVariantFalse);
        this->site()->Redraw(platform::kVariantTrue);
    }
    return platform::kOk;
}

void CToolboxCommand::refreshLabel() {
    if (toolbox() != nullptr) toolbox()->refreshLabel();
}

void CToolboxCommand::handToHost(CAddOnCommand& command) {
    if (host::IQDCommandSite* site = explorer_->site())
        platform::check(site->StartCommand(&command), host::IQDCommandSite::iid);
}

platform::RefPtr<CAddOnCommand> CToolboxCommand::makeCommand(std::int32_t id) const {
    const auto& create = explorer_->hooks().createCommand;
    return create ? create(id, *explorer_) : nullptr;
}

bool CToolboxCommand::bringBack(std::int32_t id) {
    CAddOnCommand* started = explorer_->startedCommand(id);
    ui::Dialog* window = started != nullptr ? started->dialog() : nullptr;
    if (window == nullptr || !window->isCreated() || !window->isShown()) return false;
    window->bringToFront();
    return true;
}

void CToolboxCommand::startCommand(std::int32_t id) {
    addon::library().startedFromToolbox = true;
    CShowUICommand& ex = *explorer();
    if (id != addon::kMenuPlot && bringBack(id)) return;
    if (id == addon::kMenuSolve) {
        startSolve();
    } else if (id == addon::kMenuPlot) {
        if (!resultsBusy) showResults();
    } else if (auto command = makeCommand(id)) {
        // The first three steps are the explorer's running command; the model commands after
        // them run beside it.
        if (id <= addon::kMenuMesh || ex.site() == nullptr) ex.setCurrentCommand(command);
        handToHost(*command);
        command->Start();
        ex.recordStarted(id, command);
    }
    if (id == addon::kMenuLoadcase) refreshLabel();
}

void CToolboxCommand::startSolve() {
    // One solve window at a time: a closed one is made afresh. The host does not hold the solve
    // command the toolbox starts; the explorer's record keeps it.
    if (CAddOnCommand* solve = explorer_->startedCommand(addon::kMenuSolve); solve && solve->dialog())
        solve->dialog()->destroy();
    auto solve = makeCommand(addon::kMenuSolve);
    explorer_->recordStarted(addon::kMenuSolve, solve);
    if (solve) solve->Start();
}

void CToolboxCommand::showResults() {
    BusyScope busy;
    if (!addon::library().popOutResults) {
        // A contours command is only made when it can show: handed to the host without its
        // dialog it would sit there with nothing to end it.
        if (dialogOpen(kResultsWindowDialogId)) {
            ui::showMessage(kOtherDisplayOpen);
            return;
        }
        // The results already shown in the view come back to the front rather than twice.
        if (ui::Dialog* shown = openDialog(kContoursDialogId); shown != nullptr && shown->isShown()) {
            shown->bringToFront();
            return;
        }
        auto contours = makeCommand(addon::kMenuPlot);
        if (!contours) return;
        handToHost(*contours);
        contours->Start();
    } else if (dialogOpen(kContoursDialogId)) {
        ui::showMessage(kOtherDisplayOpen);
    } else {
        if (explorer_->hooks().openResultsWindow) {
            explorer_->makeSessionCurrent();
            explorer_->hooks().openResultsWindow(explorer_->document());
        }
    }
}

void CToolboxCommand::terminate() {
    if (documentObserver_ != 0) explorer_->document().forget(documentObserver_);
    documentObserver_ = 0;
    if (CAddOnCommand* solve = explorer_->startedCommand(addon::kMenuSolve); solve && solve->dialog())
        solve->dialog()->destroy();
    if (auto* p = dynamic_cast<ui::Panel*>(panel_)) p->removeChild(CToolbox::kDialogId);
    CAddOnCommand::terminate();
}
