#pragma once
// The program's own connection to the X server, beside the toolkit's: for input simulation, window
// stacking and reading the screen. Opened on first use and kept while the program runs: an X server
// whose only client leaves resets itself, and a connection made during the reset is refused.
typedef struct _XDisplay Display;

namespace ui_wx {

// The connection to the display DISPLAY names; null when there is none.
Display* xDisplay();

}  // namespace ui_wx
