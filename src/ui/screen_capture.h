#pragma once
// Pictures of the program's windows as the screen shows them, for printing what a person sees.
// The add-on cannot see the window system: the program installs a capture of its main window
// (the GUI reads the screen); without one, callers fall back to a picture of their own.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace ui {

// An RGB picture, rows from the top.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Repaints the windows and takes the main window's rectangle of the screen (clipped to the
// screen); nothing when it cannot.
using MainWindowCapture = std::function<std::optional<ScreenPicture>()>;

// Installs the program's capture; an empty function removes it.
void setMainWindowCapture(MainWindowCapture capture);
// True when a capture is installed.
bool canCaptureMainWindow();
// The installed capture's picture; nothing without one or when it fails.
std::optional<ScreenPicture> captureMainWindow();

}  // namespace ui
