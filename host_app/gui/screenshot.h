#pragma once
// Pictures of windows as a person sees them on the screen.
#include <string>

class wxWindow;

namespace hostapp::gui {

// Writes what the screen shows of `window` (with its children and whatever lies over it) as PNG;
// throws std::runtime_error when the picture cannot be taken or written.
void screenshot(wxWindow& window, const std::string& path);

}  // namespace hostapp::gui
