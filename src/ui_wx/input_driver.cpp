#include "ui_wx/input_driver.h"

#include <X11/Xlib.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/window.h>

#include <algorithm>
#include <cstdlib>
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
    switch (button) {
        case Button::Right:
            return wxMOUSE_BTN_RIGHT;
        case Button::Middle:
            return wxMOUSE_BTN_MIDDLE;
        case Button::Left:
            break;
    }
    return wxMOUSE_BTN_LEFT;
}

}  // namespace
}  // namespace ui_wx

// The XTest call that presses a pointer button (libXtst; the simulator has no wheel).
extern "C" int XTestFakeButtonEvent(Display* display, unsigned int button, int isPress, unsigned long delay);

namespace ui_wx {
namespace {

// The wheel's notches are the X buttons 4 (forward) and 5 (backward), pressed and released.
void fakeWheel(int notches) {
    static Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    const unsigned button = notches > 0 ? 4 : 5;
    for (int i = 0; i < std::abs(notches); ++i) {
        XTestFakeButtonEvent(display, button, 1, 0);
        XTestFakeButtonEvent(display, button, 0, 0);
        XFlush(display);
        pumpFor(kEventGap);
    }
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

void clickAt(wxPoint screen, Button button, int modifiers) {
    simulator().MouseMove(screen);
    pumpFor(kEventGap);
    if (modifiers & wxMOD_CONTROL) simulator().KeyDown(WXK_CONTROL);
    simulator().MouseClick(mouseButton(button));
    if (modifiers & wxMOD_CONTROL) simulator().KeyUp(WXK_CONTROL);
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

void moveTo(wxPoint screen) {
    simulator().MouseMove(screen);
    pumpFor(kEventGap);
}

void buttonDown(Button button) {
    simulator().MouseDown(mouseButton(button));
    pumpFor(kEventGap);
}

void buttonUp(Button button) {
    simulator().MouseUp(mouseButton(button));
    pumpFor(kEventGap);
}

void dragAt(wxPoint from, wxPoint to, const std::vector<Button>& buttons, int steps) {
    moveTo(from);
    for (Button b : buttons) buttonDown(b);
    steps = std::max(steps, 1);
    for (int i = 1; i <= steps; ++i)
        moveTo(from + wxPoint((to.x - from.x) * i / steps, (to.y - from.y) * i / steps));
    for (auto b = buttons.rbegin(); b != buttons.rend(); ++b) buttonUp(*b);
}

void wheelAt(wxPoint screen, int notches) {
    moveTo(screen);
    fakeWheel(notches);
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
