#include "ui/screen_capture.h"

namespace ui {

namespace {
MainWindowCapture& installed() {
    static MainWindowCapture capture;
    return capture;
}
}  // namespace

void setMainWindowCapture(MainWindowCapture capture) {
    installed() = std::move(capture);
}

bool canCaptureMainWindow() {
    return static_cast<bool>(installed());
}

std::optional<ScreenPicture> captureMainWindow() {
    if (!installed()) return std::nullopt;
    auto picture = installed()();
    if (picture && (picture->width <= 0 || picture->height <= 0 ||
                    picture->rgb.size() != std::size_t(picture->width) * std::size_t(picture->height) * 3))
        return std::nullopt;
    return picture;
}

}  // namespace ui
