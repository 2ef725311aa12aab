#include "ui_wx/input_driver.h"

#include <wx/app.h>
#include <wx/evtloop.h>

#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/window.h>
#include <memory>

#include "ui_wx/wx_text.h"

namespace ui_wx {

namespace {

// Time for the window system to deliver a simulated event before the next one.
constexpr milliseconds kEventGap(30);

wxUIActionSimulator& simulator() {
    static wxUIActionSimulator sim;
    return sim;
}

int mouseButton(Button button) {
    return button == Button::Right ? wxMOUSE_BTN_RIGHT : wxMOUSE_BTN_LEFT;
}

}  // namespace

bool pumpUntil(const std::function<bool()>& done, milliseconds limit) {
    // Events are dispatched by the loop that runs now (the main loop or a dialog's modal loop)
    // rather than by a loop of our own: a dialog ended meanwhile must be able to leave its loop.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // Outside any loop (a test driving windows from its own code) a loop is made to dispatch with.
    std::unique_ptr<wxGUIEventLoop> own;
    std::unique_ptr<wxEventLoopActivator> activation;
    if (wxEventLoopBase::GetActive() == nullptr) {
        own = std::make_unique<wxGUIEventLoop>();
        activation = std::make_unique<wxEventLoopActivator>(own.get());
    }
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        wxEventLoopBase* loop = wxEventLoopBase::GetActive();
        loop->DispatchTimeout(5);
        wxTheApp->ProcessPendingEvents();
        loop->ProcessIdle();
    }
    return true;
}

void pumpFor(milliseconds time) {
    const auto until = std::chrono::steady_clock::now() + time;
    pumpUntil([until] { return std::chrono::steady_clock::now() >= until; }, time + milliseconds(1000));
}

wxPoint centreOf(const wxWindow& window) {
    const wxSize size = window.GetSize();
    return window.GetScreenPosition() + wxPoint(size.x / 2, size.y / 2);
}

void clickAt(wxPoint screen, Button button) {
    simulator().MouseMove(screen);
    pumpFor(kEventGap);
    simulator().MouseClick(mouseButton(button));
    pumpFor(kEventGap);
}

void doubleClickAt(wxPoint screen) {
    simulator().MouseMove(screen);
    pumpFor(kEventGap);
    simulator().MouseDblClick(wxMOUSE_BTN_LEFT);
    pumpFor(kEventGap);
}

void click(wxWindow& window, Button button) {
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(&window))) top->Raise();
    clickAt(centreOf(window), button);
}

void pointAt(wxWindow& window) {
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(&window))) top->Raise();
    simulator().MouseMove(window.GetScreenPosition() + wxPoint(3, 3));
    pumpFor(kEventGap);
}

void pressKey(int keyCode, int modifiers) {
    simulator().Char(keyCode, modifiers);
    pumpFor(kEventGap);
}

void typeText(const std::string& text) {
    if (!text.empty()) simulator().Text(text.c_str());
    pumpFor(kEventGap);
}

void retypeText(const std::string& text) {
    pressKey('A', wxMOD_CONTROL);
    if (text.empty()) {
        pressKey(WXK_DELETE);
    } else {
        typeText(text);
    }
}

}  // namespace ui_wx
