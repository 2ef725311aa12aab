#include "ui_wx/window_stacking.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <wx/display.h>
#include <wx/toplevel.h>

#include "ui_wx/x_display.h"

namespace ui_wx {

namespace {

// The toolkit's own calls that name a window's X window. wx shows its windows through GTK, which
// the program has loaded already; they are looked up there rather than linked, since the GTK
// headers are not part of the build.
using WidgetWindowFn = void* (*)(void* widget);
using WindowXidFn = unsigned long (*)(void* gdkWindow);

unsigned long xWindowOf(wxTopLevelWindow& window) {
    static const auto widgetWindow =
        reinterpret_cast<WidgetWindowFn>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
    static const auto windowXid =
        reinterpret_cast<WindowXidFn>(dlsym(RTLD_DEFAULT, "gdk_x11_window_get_xid"));
    if (widgetWindow == nullptr || windowXid == nullptr || window.GetHandle() == nullptr) return 0;
    void* gdkWindow = widgetWindow(window.GetHandle());
    return gdkWindow != nullptr ? windowXid(gdkWindow) : 0;
}

Display* display() {
    return xDisplay();
}

bool onX() {
    return wxGetDisplayInfo().type == wxDisplayX11 && display() != nullptr;
}

// The child of the root window that holds `id`: the window itself, or a window manager's frame.
Window topOf(Window id) {
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display(), id, &root, &parent, &children, &count)) return 0;
        if (children != nullptr) XFree(children);
        if (parent == root || parent == 0) return id;
        id = parent;
    }
}

// The position of a root child in the stacking order, bottom first; -1 when it is none.
int stackingPosition(Window id) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display(), DefaultRootWindow(display()), &root, &parent, &children, &count)) return -1;
    int position = -1;
    for (unsigned i = 0; i < count; ++i)
        if (children[i] == id) position = static_cast<int>(i);
    if (children != nullptr) XFree(children);
    return position;
}

}  // namespace

bool standsAbove(wxTopLevelWindow& upper, wxTopLevelWindow& lower) {
    if (!upper.IsShown() || !lower.IsShown() || !onX()) return false;
    const unsigned long a = xWindowOf(upper), b = xWindowOf(lower);
    if (a == 0 || b == 0) return false;
    return stackingPosition(topOf(a)) > stackingPosition(topOf(b));
}

void raiseWithoutFocus(wxTopLevelWindow& window) {
    if (!window.IsShown() || !onX()) return;
    const unsigned long id = xWindowOf(window);
    if (id == 0) return;
    XRaiseWindow(display(), id);
    XFlush(display());
}

}  // namespace ui_wx
