#include "ui_wx/x_display.h"

#include <X11/Xlib.h>

namespace ui_wx {

Display* xDisplay() {
    static Display* connection = XOpenDisplay(nullptr);
    return connection;
}

}  // namespace ui_wx
