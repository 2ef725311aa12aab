#include "ui_wx/input_driver.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <wx/app.h>
#include <wx/defs.h>
#include <wx/event.h>
#include <wx/eventfilter.h>
#include <wx/evtloop.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ui_wx/wx_text.h"
#include "ui_wx/x_display.h"

// The XTest calls that fake a person's input (libXtst, whose header may be absent).
extern "C" {
int XTestFakeKeyEvent(Display* display, unsigned int keycode, int isPress, unsigned long delay);
int XTestFakeButtonEvent(Display* display, unsigned int button, int isPress, unsigned long delay);
int XTestFakeMotionEvent(Display* display, int screen, int x, int y, unsigned long delay);
}

namespace ui_wx {

namespace {

// Time for the toolkit to handle a simulated event before the next one. The event has reached the
// X server (and from there the toolkit's connection) before this wait starts.
constexpr milliseconds kEventGap(15);

Display* display() {
    Display* connection = xDisplay();
    if (connection == nullptr) throw std::runtime_error("no X display for simulated input");
    return connection;
}

// The X server has the events; the toolkit then has a moment to handle them.
void settle() {
    XSync(display(), False);
    pumpFor(kEventGap);
}

unsigned xButton(Button button) {
    switch (button) {
        case Button::Right:
            return 3;
        case Button::Middle:
            return 2;
        case Button::Left:
            break;
    }
    return 1;
}

void fakeButton(Button button, bool down) {
    XTestFakeButtonEvent(display(), xButton(button), down, 0);
}

void fakeKey(KeySym symbol, bool down) {
    const KeyCode code = XKeysymToKeycode(display(), symbol);
    if (code == 0)
        throw std::runtime_error("the keyboard has no key for X key symbol " + std::to_string(symbol));
    XTestFakeKeyEvent(display(), code, down, 0);
}

// The X key symbol of a wx key code: the special keys by name, a character by its Latin-1 code
// (which the X key symbols share).
KeySym keySymbolOf(int keyCode) {
    static const std::pair<int, KeySym> kSpecial[] = {
        {WXK_BACK, XK_BackSpace}, {WXK_TAB, XK_Tab},
        {WXK_RETURN, XK_Return},  {WXK_NUMPAD_ENTER, XK_KP_Enter},
        {WXK_ESCAPE, XK_Escape},  {WXK_DELETE, XK_Delete},
        {WXK_HOME, XK_Home},      {WXK_END, XK_End},
        {WXK_LEFT, XK_Left},      {WXK_RIGHT, XK_Right},
        {WXK_UP, XK_Up},          {WXK_DOWN, XK_Down},
        {WXK_PAGEUP, XK_Prior},   {WXK_PAGEDOWN, XK_Next},
        {WXK_MENU, XK_Menu},      {WXK_CONTROL, XK_Control_L},
        {WXK_SHIFT, XK_Shift_L},  {WXK_ALT, XK_Alt_L}};
    for (const auto& [code, symbol] : kSpecial) {
        if (code == keyCode) return symbol;
    }
    if (keyCode >= WXK_F1 && keyCode <= WXK_F24) return XK_F1 + (keyCode - WXK_F1);
    // A letter's key code names its key, which carries the lower case: Ctrl+A is Ctrl and 'a'.
    if (keyCode >= 'A' && keyCode <= 'Z') return KeySym(keyCode - 'A' + 'a');
    if (keyCode > 0 && keyCode < 0x100) return KeySym(keyCode);
    throw std::runtime_error("no key for the key code " + std::to_string(keyCode));
}

// Whether `symbol` is on its key's shifted level (an upper-case letter, most punctuation).
bool needsShift(KeySym symbol) {
    const KeyCode code = XKeysymToKeycode(display(), symbol);
    return code != 0 && XkbKeycodeToKeysym(display(), code, 0, 0) != symbol &&
           XkbKeycodeToKeysym(display(), code, 0, 1) == symbol;
}

// One stroke of the key of `symbol`, with the modifier keys held around it.
void strokeKey(KeySym symbol, int modifiers) {
    if (needsShift(symbol)) modifiers |= wxMOD_SHIFT;
    std::vector<KeySym> held;
    if (modifiers & wxMOD_CONTROL) held.push_back(XK_Control_L);
    if (modifiers & wxMOD_SHIFT) held.push_back(XK_Shift_L);
    if (modifiers & wxMOD_ALT) held.push_back(XK_Alt_L);
    for (KeySym key : held) fakeKey(key, true);
    fakeKey(symbol, true);
    fakeKey(symbol, false);
    for (auto key = held.rbegin(); key != held.rend(); ++key) fakeKey(*key, false);
}

// Counts the pointer moves the windows receive while it lives. Each step of a drag is handled
// before the next is sent: the toolkit merges moves that wait together, and a turn of the view
// follows the path of the pointer, not only where it ends.
class MotionCount : public wxEventFilter {
  public:
    MotionCount() { wxEvtHandler::AddFilter(this); }
    ~MotionCount() override { wxEvtHandler::RemoveFilter(this); }
    MotionCount(const MotionCount&) = delete;
    MotionCount& operator=(const MotionCount&) = delete;
    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() == wxEVT_MOTION) ++seen_;
        return Event_Skip;
    }
    int seen() const { return seen_; }

  private:
    int seen_ = 0;
};

// The wheel's notches are the X buttons 4 (forward) and 5 (backward), pressed and released.
void fakeWheel(int notches) {
    const unsigned button = notches > 0 ? 4 : 5;
    for (int i = 0; i < std::abs(notches); ++i) {
        XTestFakeButtonEvent(display(), button, 1, 0);
        XTestFakeButtonEvent(display(), button, 0, 0);
        settle();
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
    moveTo(screen);
    if (modifiers & wxMOD_CONTROL) fakeKey(XK_Control_L, true);
    fakeButton(button, true);
    fakeButton(button, false);
    if (modifiers & wxMOD_CONTROL) fakeKey(XK_Control_L, false);
    settle();
}

void doubleClickAt(wxPoint screen) {
    moveTo(screen);
    for (int i = 0; i < 2; ++i) {
        fakeButton(Button::Left, true);
        fakeButton(Button::Left, false);
    }
    settle();
}

void click(wxWindow& window, Button button) {
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(&window))) top->Raise();
    clickAt(centreOf(window), button);
}

void pointAt(wxWindow& window) {
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(&window))) top->Raise();
    moveTo(window.GetScreenPosition() + wxPoint(3, 3));
}

void moveTo(wxPoint screen) {
    XTestFakeMotionEvent(display(), -1, screen.x, screen.y, 0);
    settle();
}

void buttonDown(Button button) {
    fakeButton(button, true);
    settle();
}

void buttonUp(Button button) {
    fakeButton(button, false);
    settle();
}

void dragAt(wxPoint from, wxPoint to, const std::vector<Button>& buttons, int steps) {
    moveTo(from);
    MotionCount moves;
    for (Button b : buttons) buttonDown(b);
    steps = std::max(steps, 1);
    for (int i = 1; i <= steps; ++i) {
        const int before = moves.seen();
        moveTo(from + wxPoint((to.x - from.x) * i / steps, (to.y - from.y) * i / steps));
        pumpUntil([&] { return moves.seen() != before; }, milliseconds(1000));
    }
    for (auto b = buttons.rbegin(); b != buttons.rend(); ++b) buttonUp(*b);
}

void wheelAt(wxPoint screen, int notches) {
    moveTo(screen);
    fakeWheel(notches);
}

void pressKey(int keyCode, int modifiers) {
    strokeKey(keySymbolOf(keyCode), modifiers);
    settle();
}

void typeText(const std::string& text) {
    // X names the characters past Latin-1 by their code point plus 0x1000000.
    for (const wxUniChar c : toWx(text))
        strokeKey(c.GetValue() < 0x100 ? KeySym(c.GetValue()) : KeySym(0x1000000 + c.GetValue()), 0);
    settle();
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
