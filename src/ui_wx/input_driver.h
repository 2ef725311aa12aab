#pragma once
// A person's input as real events: the pointer moved onto a window and clicked, keys pressed and
// text typed into the focused control, through the window system's input simulation (XTest), so
// that every event passes through the same handlers as a person's would. Between steps the event
// loop runs until the effect shows (or a time limit passes).
#include <wx/gdicmn.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class wxWindow;

namespace ui_wx {

using std::chrono::milliseconds;

// Dispatches the running event loop's events (from inside a handler or a modal loop too) until
// `done` answers true; false when `limit` passed first.
bool pumpUntil(const std::function<bool()>& done, milliseconds limit = milliseconds(5000));
// Runs the event loop for `time` (the window system settles: paints, resizes, focus).
void pumpFor(milliseconds time);

enum class Button { Left, Right, Middle };

// The centre of `window` on the screen.
wxPoint centreOf(const wxWindow& window);

// Moves the pointer to `screen` and presses and releases `button` there.
// With wxMOD_CONTROL in `modifiers` the Ctrl key is held during the click.
void clickAt(wxPoint screen, Button button = Button::Left, int modifiers = 0);
void doubleClickAt(wxPoint screen);
// Clicks the middle of `window`, raising its top-level window first.
void click(wxWindow& window, Button button = Button::Left);
// Moves the pointer into `window`, just inside its top-left corner, raising its top-level window:
// without a window manager the keys go to the window under the pointer.
void pointAt(wxWindow& window);
// Moves the pointer to `screen`.
void moveTo(wxPoint screen);
// Presses or releases `button` where the pointer is.
void buttonDown(Button button);
void buttonUp(Button button);
// Presses `buttons` at `from`, moves to `to` in `steps` even steps and releases them there (in
// the opposite order).
void dragAt(wxPoint from, wxPoint to, const std::vector<Button>& buttons, int steps = 8);
// Turns the wheel `notches` steps at `screen` (positive forward, away from the person).
void wheelAt(wxPoint screen, int notches);
// Presses a key (a wx key code, WXK_... or a character) with the modifiers (wxMOD_...).
void pressKey(int keyCode, int modifiers = 0);
// Types `text` into the control that has the focus.
void typeText(const std::string& text);
// Replaces what the focused edit holds by `text`, as a person selects it all and types over it.
void retypeText(const std::string& text);

}  // namespace ui_wx
