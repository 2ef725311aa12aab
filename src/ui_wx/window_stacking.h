#pragma once
// The stacking order of top-level windows on the X server. A window manager keeps a dialog above
// the window it belongs to; without one (a bare X server) nothing does, and a window that takes the
// focus covers every dialog over it. These calls restack without moving the keyboard focus.
class wxTopLevelWindow;

namespace ui_wx {

// Puts `window` above its siblings on the screen; the focus stays where it is. Does nothing when
// the window is not shown or the window system is not X.
void raiseWithoutFocus(wxTopLevelWindow& window);

// Whether `upper` stands above `lower` on the screen (under a window manager, their frames);
// false when either is not shown or the window system is not X.
bool standsAbove(wxTopLevelWindow& upper, wxTopLevelWindow& lower);

}  // namespace ui_wx
