#include "gui/main_frame.h"

#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>

#include "gui/explorer_panel.h"
#include "gui/view_canvas.h"
#include "host/addon_interfaces.h"
#include "program/host_application.h"
#include "program/length_units.h"
#include "ui_wx/wx_backend.h"
#include "ui_wx/wx_text.h"

namespace hostapp::gui {

namespace {

constexpr int kFirstAddOnItem = wxID_HIGHEST + 100;
constexpr int kSideWidth = 300;
// The commands' windows stand over the right of the view (the widest, "Results", is 330 pixels
// and 12 from the edge): the part is framed left of them.
constexpr int kCommandWindowSpace = 345;

}  // namespace

MainFrame::MainFrame(HostApplication& app)
    : wxFrame(nullptr, wxID_ANY, "Kolvane host", wxDefaultPosition, wxSize(1200, 820)), app_(app) {
    SetName("main");
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    side_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(kSideWidth, -1));
    side_->SetName("side");
    side_->SetSizer(new wxBoxSizer(wxVERTICAL));
    side_->SetMinSize(wxSize(kSideWidth, -1));
    app_.camera().setCoveredRight(kCommandWindowSpace);
    view_ = new ViewCanvas(this, app_);
    view_->setPickHandler([this](double x, double y, bool add) { pickAt(x, y, add); });
    sizer->Add(side_, 0, wxEXPAND);
    sizer->Add(view_, 1, wxEXPAND);
    SetSizer(sizer);
    // The document's name under the side panel, the units and the selection as wide as they need,
    // and the rest for the add-on's field: the progress and end of the programs it runs, whose
    // end reports are the longest texts.
    CreateStatusBar(4);
    const int widths[] = {kSideWidth, 100, 150, -1};
    SetStatusWidths(4, widths);
    app_.root().onStatusText([this](const std::string& text) { SetStatusText(ui_wx::toWx(text), 3); });
    idleTimer_.SetOwner(this);
    Bind(wxEVT_TIMER, &MainFrame::onIdleTimer, this, idleTimer_.GetId());
    idleTimer_.Start(200);
    buildMenus();
    Bind(wxEVT_MENU_OPEN, &MainFrame::onMenuOpen, this);
    Bind(wxEVT_MENU_CLOSE, &MainFrame::onMenuClose, this);
    Bind(wxEVT_CLOSE_WINDOW, &MainFrame::onCloseWindow, this);
    updateStatus();
}

MainFrame::~MainFrame() {
    app_.root().onStatusText(nullptr);
}

void MainFrame::buildMenus() {
    auto* file = new wxMenu;
    file->Append(wxID_OPEN, "&Open...\tCtrl+O");
    file->Append(wxID_CLOSE, "&Close\tCtrl+W");
    auto* recent = new wxMenu;
    history_.UseMenu(recent);
    file->AppendSubMenu(recent, "Recent &Files");
    file->AppendSeparator();
    file->Append(wxID_EXIT, "&Quit\tCtrl+Q");
    auto* view = new wxMenu;
    view->Append(wxID_REFRESH, "&Redraw\tF5");
    view->AppendSeparator();
    view->Append(wxID_ZOOM_FIT, "Fit &All\tHome");
    const std::pair<const char*, StandardView> standard[] = {{"&Iso", StandardView::Iso},
                                                             {"&Front", StandardView::Front},
                                                             {"&Top", StandardView::Top},
                                                             {"R&ight", StandardView::Right}};
    for (const auto& [label, direction] : standard) {
        const int id = wxWindow::NewControlId();
        view->Append(id, label);
        Bind(
            wxEVT_MENU, [this, direction = direction](wxCommandEvent&) { showView(direction); }, id);
    }
    addOnMenu_ = new wxMenu;
    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(view, "&View");
    bar->Append(addOnMenu_, "Tarvenic");
    SetMenuBar(bar);
    Bind(wxEVT_MENU, &MainFrame::onOpen, this, wxID_OPEN);
    Bind(wxEVT_MENU, &MainFrame::onClose, this, wxID_CLOSE);
    Bind(wxEVT_MENU, &MainFrame::onQuit, this, wxID_EXIT);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { view_->invalidate(); }, wxID_REFRESH);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { showView(std::nullopt); }, wxID_ZOOM_FIT);
    Bind(wxEVT_MENU, &MainFrame::onRecent, this, wxID_FILE1, wxID_FILE9);
    buildAddOnMenu();
}

void MainFrame::buildAddOnMenu() {
    while (addOnMenu_->GetMenuItemCount() > 0) addOnMenu_->Destroy(addOnMenu_->FindItemByPosition(0));
    addOnIds_.clear();
    int next = kFirstAddOnItem;
    for (const auto& entry : app_.menu()) {
        if (entry.depth == 0) {
            GetMenuBar()->SetMenuLabel(2, ui_wx::toWx(entry.text));
            continue;
        }
        const int id = next++;
        addOnIds_[id] = entry.id;
        addOnMenu_->Append(id, ui_wx::toWx(entry.text));
        Bind(wxEVT_MENU, &MainFrame::onAddOnItem, this, id);
    }
    refreshAddOnMenu();
}

wxMenuItem* MainFrame::addOnItem(std::int32_t id) const {
    for (const auto& [wxId, addOnId] : addOnIds_) {
        if (addOnId == id) return addOnMenu_->FindItem(wxId);
    }
    return nullptr;
}

std::int32_t MainFrame::stateOf(std::int32_t id) {
    if (!app_.addOnLoaded()) return host::kItemUnavailable;
    try {
        return app_.itemState(id);
    } catch (const std::exception&) {
        return host::kItemUnavailable;
    }
}

void MainFrame::refreshAddOnMenu() {
    std::size_t position = 0;
    for (const auto& [wxId, addOnId] : addOnIds_) {
        const std::int32_t state = stateOf(addOnId);
        wxMenuItem* item = addOnMenu_->FindItem(wxId);
        // An item the add-on checks or unchecks shows a check mark; the others are plain.
        const bool checkable = state == host::kItemChecked || state == host::kItemUnchecked;
        if (item->IsCheckable() != checkable && state != host::kItemUnavailable) {
            const wxString text = item->GetItemLabel();
            addOnMenu_->Destroy(item);
            item = checkable ? addOnMenu_->InsertCheckItem(position, wxId, text)
                             : addOnMenu_->Insert(position, wxId, text);
        }
        item->Enable(state != host::kItemUnavailable);
        if (item->IsCheckable()) item->Check(state == host::kItemChecked);
        ++position;
    }
}

void MainFrame::onMenuOpen(wxMenuEvent& event) {
    if (event.GetMenu() == addOnMenu_) {
        refreshAddOnMenu();
        addOnMenuOpen_ = true;
    }
    event.Skip();
}

void MainFrame::onMenuClose(wxMenuEvent& event) {
    if (event.GetMenu() == addOnMenu_) addOnMenuOpen_ = false;
    event.Skip();
}

void MainFrame::onAddOnItem(wxCommandEvent& event) {
    auto it = addOnIds_.find(event.GetId());
    if (it == addOnIds_.end()) return;
    const std::int32_t id = it->second;
    // The check mark is the add-on's to give, not GTK's toggle.
    refreshAddOnMenu();
    guarded([this, id] { app_.invoke(id); });
    ++picks_;
    afterEvent();
}

void MainFrame::guarded(const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& e) {
        wxMessageBox(ui_wx::toWx(e.what()), "Kolvane host", wxOK | wxICON_ERROR, this);
    }
}

bool MainFrame::openPart(const std::string& path) {
    bool opened = false;
    guarded([&] {
        app_.openDocument(path, SessionOptions{});
        history_.AddFileToHistory(ui_wx::toWx(path));
        opened = true;
    });
    afterEvent();
    view_->invalidate();
    return opened;
}

void MainFrame::onOpen(wxCommandEvent&) {
    wxFileDialog dialog(this, "Open a part", wxEmptyString, wxEmptyString,
                        "Parts (*.step;*.stp;*.brep)|*.step;*.stp;*.STEP;*.STP;*.brep|All files (*)|*",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() == wxID_OK) openPart(ui_wx::fromWx(dialog.GetPath()));
}

void MainFrame::onRecent(wxCommandEvent& event) {
    const wxString path = history_.GetHistoryFile(static_cast<size_t>(event.GetId() - wxID_FILE1));
    if (!path.empty()) openPart(ui_wx::fromWx(path));
}

void MainFrame::onClose(wxCommandEvent&) {
    if (HostSession* session = app_.currentSession()) {
        const std::string name = session->name();
        guarded([&] { app_.closeDocument(name); });
        afterEvent();
    }
}

void MainFrame::onQuit(wxCommandEvent&) {
    Close();
}

void MainFrame::onCloseWindow(wxCloseEvent& event) {
    idleTimer_.Stop();
    // The add-on closes its explorers as it is unloaded, while the windows still exist.
    guarded([this] { app_.unloadAddOn(); });
    ui_wx::WxBackend::instance().setAfterAction(nullptr);
    event.Skip();
}

std::unique_ptr<ExplorerPanel> MainFrame::makePanel(const std::string& session) {
    auto panel = std::make_unique<ExplorerPanel>(side_, session);
    side_->GetSizer()->Add(panel->window(), 1, wxEXPAND);
    return panel;
}

ExplorerPanel* MainFrame::currentPanel() const {
    HostSession* session = app_.currentSession();
    return session ? dynamic_cast<ExplorerPanel*>(app_.panelOf(session->name())) : nullptr;
}

void MainFrame::showCurrentPanel() {
    ExplorerPanel* current = currentPanel();
    for (wxWindow* child : side_->GetChildren()) {
        const bool show = current != nullptr && child == current->window();
        if (child->IsShown() != show) child->Show(show);
    }
    side_->Layout();
}

void MainFrame::updateStatus() {
    HostSession* session = app_.currentSession();
    if (session == nullptr) {
        SetStatusText("No document open", 0);
        SetStatusText("", 1);
        SetStatusText("", 2);
        return;
    }
    SetStatusText(ui_wx::toWx(session->name() + (session->isPart() ? " (part)" : " (assembly)")), 0);
    SetStatusText(wxString("Units: ") + unitWord(session->options().displayUnit), 1);
    SetStatusText(selectionText(session->selection()), 2);
}

wxString MainFrame::selectionText(const HostSelection& selection) {
    // A few picks are named ("face 8, edge 3"); more are counted.
    const auto items = selection.items();
    if (items.empty() || items.size() > 3) return wxString::Format("Selected: %zu", items.size());
    wxString text = "Selected: ";
    for (std::size_t i = 0; i < items.size(); ++i) {
        wxString label = ui_wx::toWx(items[i].text());
        label.Replace(":", " ");
        text += (i ? ", " : "") + label;
    }
    return text;
}

void MainFrame::showView(std::optional<StandardView> direction) {
    if (app_.currentSession() == nullptr) return;
    app_.showView(direction);
    view_->invalidate();
}

void MainFrame::pickAt(double x, double y, bool add) {
    if (app_.currentSession() == nullptr) return;
    guarded([&] { app_.pickInView(x, y, add); });
    view_->invalidate();
    afterEvent();
}

void MainFrame::onIdleTimer(wxTimerEvent&) {
    // A modal window's loop runs the host's work after it closes; the runs are followed meanwhile.
    if (ui_wx::WxBackend::instance().inModalLoop()) {
        guarded([this] { app_.followRuns(); });
        return;
    }
    // The windows are brought up to date only while a run is followed (and once at its end).
    const bool following = app_.runActive(0) || app_.runActive(1);
    guarded([this] { app_.followRuns(); });
    if (following) afterEvent();
}

void MainFrame::afterEvent() {
    guarded([this] { app_.afterEvent(); });
    showCurrentPanel();
    refreshAddOnMenu();
    updateStatus();
    view_->refreshIfAsked();
}

}  // namespace hostapp::gui
