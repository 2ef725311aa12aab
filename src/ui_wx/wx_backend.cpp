#include "ui_wx/wx_backend.h"

#include <wx/app.h>
#include <wx/panel.h>

#include <vector>

#include "ui_wx/dialog_window.h"
#include "ui_wx/window_stacking.h"
#include "ui_wx/wx_text.h"

namespace ui_wx {

namespace {

IconSource& iconSource() {
    static IconSource source;
    return source;
}

std::vector<WidgetViewFactory>& factories() {
    static std::vector<WidgetViewFactory> all;
    return all;
}

// The dialogs' rectangles were laid out for a narrow 8-point face; a condensed face keeps their
// texts inside them.
wxFont dialogFont() {
    return wxFont(wxFontInfo(7.5).FaceName("DejaVu Sans Condensed"));
}

// A command's window stands at the main window's right edge, below its menu, so that the part
// in the middle of the view stays in sight while the person works in the window.
void placeBesideView(wxWindow& window, wxWindow& main) {
    const wxRect area = main.GetScreenRect();
    const wxSize size = window.GetSize();
    window.Move(std::max(area.x, area.GetRight() - size.x - 12), area.y + 40);
}

}  // namespace

void setIconSource(IconSource source) {
    iconSource() = std::move(source);
}

wxBitmap iconBitmap(int icon) {
    return iconSource() ? iconSource()(icon) : wxBitmap();
}

void addWidgetViewFactory(WidgetViewFactory factory) {
    factories().push_back(std::move(factory));
}

std::unique_ptr<WidgetView> makeWidgetView(wxWindow* parent, ui::Dialog& dialog, int controlId) {
    for (const auto& factory : factories()) {
        if (auto view = factory(parent, dialog, controlId, dialog.widget(controlId))) return view;
    }
    return nullptr;
}

WxBackend& WxBackend::instance() {
    static WxBackend backend;
    return backend;
}

void WxBackend::setMainWindow(wxWindow* window) {
    if (mainWindow_ == window) return;
    mainWindow_ = window;
    if (window == nullptr) return;
    // Activated by a click in the view (the view takes the keys), the main window must not cover
    // the command windows: a person would have no way back to them.
    window->Bind(wxEVT_ACTIVATE, [this, window](wxActivateEvent& event) {
        if (event.GetActive() && window == mainWindow_) wxTheApp->CallAfter([this] { keepDialogsAbove(); });
        event.Skip();
    });
}

void WxBackend::keepDialogsAbove() {
    // Modal windows last: they stand above everything else.
    for (bool modal : {false, true})
        for (auto& [dialog, shown] : shown_)
            if (shown.window != nullptr && shown.window->IsShown() && shown.window->IsModal() == modal)
                raiseWithoutFocus(*shown.window);
}

void WxBackend::install() {
    if (installed_) return;
    ui::addGlobalDialogObserver(this);
    installed_ = true;
}

void WxBackend::uninstall() {
    if (!installed_) return;
    ui::removeGlobalDialogObserver(this);
    for (auto& [dialog, shown] : shown_) const_cast<ui::Dialog*>(dialog)->removeObserver(this);
    shown_.clear();
    docks_.clear();
    installed_ = false;
}

void WxBackend::personActed() {
    ++actions_;
    if (afterAction_) afterAction_();
}

void WxBackend::created(ui::Dialog& dialog) {
    // Told once as a global observer and once more as the dialog's own.
    if (shown_.count(&dialog) != 0) return;
    dialog.addObserver(this);
    if (auto dock = docks_.find(&dialog); dock != docks_.end()) {
        makeDocked(dialog, dock->second);
        return;
    }
    Shown shown;
    auto* window = new DialogWindow(mainWindow_, dialog, [this] { personActed(); });
    window->SetFont(dialogFont());
    shown.window = window;
    shown.container = window;
    shown.view = std::make_unique<DialogView>(dialog, window, [this] { personActed(); });
    Shown& stored = shown_[&dialog] = std::move(shown);
    if (mainWindow_ != nullptr) placeBesideView(*window, *mainWindow_);
    // A modal dialog is shown by its modal loop.
    if (!dialog.isModal()) showWindowState(dialog, stored);
}

void WxBackend::changed(ui::Dialog& dialog, int controlId) {
    auto it = shown_.find(&dialog);
    if (it == shown_.end()) return;
    if (controlId != 0) {
        it->second.view->sync(controlId);
        return;
    }
    showWindowState(dialog, it->second);
}

void WxBackend::showWindowState(ui::Dialog& dialog, Shown& shown) {
    if (shown.window == nullptr) {
        shown.container->Show(dialog.isShown());
        return;
    }
    wxDialog* window = shown.window;
    const wxString caption = toWx(dialog.windowText());
    if (window->GetTitle() != caption) window->SetTitle(caption);
    if (window->IsModal()) {
        if (dialog.hasEnded()) window->EndModal(dialog.endCode());
        return;
    }
    if (dialog.isModal()) return;
    if (window->IsShown() == dialog.isShown()) return;
    // The focus is placed before the window shows: GTK gives it to the first control as it maps.
    if (dialog.isShown()) shown.view->focusFirstControl();
    window->Show(dialog.isShown());
}

void WxBackend::broughtToFront(ui::Dialog& dialog) {
    if (wxDialog* window = windowOf(dialog); window != nullptr && window->IsShown()) window->Raise();
}

void WxBackend::destroyed(ui::Dialog& dialog) {
    dialog.removeObserver(this);
    auto it = shown_.find(&dialog);
    if (it == shown_.end()) return;
    Shown shown = std::move(it->second);
    shown_.erase(it);
    retire(std::move(shown));
}

void WxBackend::retire(Shown shown) {
    if (auto* window = dynamic_cast<DialogWindow*>(shown.window)) {
        window->detach();
        if (window->IsModal()) window->EndModal(wxID_CANCEL);
    }
    wxWindow* container = shown.container;
    container->Hide();
    // The view's handlers may be running now (a button that closes its own dialog): the view and
    // the windows go once the event has been handled.
    DialogView* view = shown.view.release();
    wxTheApp->CallAfter([view] { delete view; });
    if (shown.window != nullptr) {
        shown.window->Destroy();
    } else {
        wxTheApp->ScheduleForDestruction(container);
    }
}

void WxBackend::dock(ui::Dialog& dialog, wxWindow* parent, Placed placed) {
    Dock& entry = docks_[&dialog] = Dock{parent, std::move(placed)};
    auto it = shown_.find(&dialog);
    if (it == shown_.end()) return;
    Shown old = std::move(it->second);
    shown_.erase(it);
    retire(std::move(old));
    makeDocked(dialog, entry);
}

void WxBackend::undock(const ui::Dialog* dialog) {
    docks_.erase(dialog);
}

wxPanel* WxBackend::makeDocked(ui::Dialog& dialog, const Dock& dock) {
    const ui::Rect& r = dialog.windowRect();
    auto* panel = new wxPanel(dock.parent, wxID_ANY, wxDefaultPosition, wxSize(r.width(), r.height()));
    panel->SetFont(dialogFont());
    panel->SetMinSize(wxSize(r.width(), r.height()));
    Shown docked;
    docked.container = panel;
    docked.view = std::make_unique<DialogView>(dialog, panel, [this] { personActed(); });
    shown_[&dialog] = std::move(docked);
    if (dock.placed) dock.placed(panel);
    return panel;
}

DialogView* WxBackend::viewOf(const ui::Dialog& dialog) const {
    auto it = shown_.find(&dialog);
    return it == shown_.end() ? nullptr : it->second.view.get();
}

wxDialog* WxBackend::windowOf(const ui::Dialog& dialog) const {
    auto it = shown_.find(&dialog);
    return it == shown_.end() ? nullptr : it->second.window;
}

int WxBackend::runModal(ui::Dialog& dialog, std::function<void()> whileOpen) {
    wxDialog* window = windowOf(dialog);
    if (window == nullptr || dialog.hasEnded()) return dialog.endCode();
    if (whileOpen) wxTheApp->CallAfter([whileOpen] { whileOpen(); });
    ++modalDepth_;
    const int code = window->ShowModal();
    --modalDepth_;
    return dialog.hasEnded() ? dialog.endCode() : code;
}

}  // namespace ui_wx
