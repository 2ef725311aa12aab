#include "gui/screenshot.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <wx/image.h>
#include <wx/toplevel.h>

#include <stdexcept>

#include "ui_wx/input_driver.h"
#include "ui_wx/wx_text.h"
#include "ui_wx/x_display.h"

namespace hostapp::gui {

void screenshot(wxWindow& window, const std::string& path) {
    // A dialog is brought to the front; the main window is taken with what floats over it.
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(&window); top != nullptr && top->GetParent() != nullptr)
        top->Raise();
    window.Refresh();
    window.Update();
    ui_wx::pumpFor(ui_wx::milliseconds(100));
    const wxRect area(window.GetScreenPosition(), window.GetSize());
    // GTK 3 draws no screen into a device context; the X server hands out what it shows.
    Display* display = ui_wx::xDisplay();
    if (display == nullptr) throw std::runtime_error("cannot open the display");
    XImage* shot =
        XGetImage(display, DefaultRootWindow(display), area.x, area.y, static_cast<unsigned>(area.width),
                  static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (shot == nullptr) throw std::runtime_error("cannot read the screen");
    wxImage picture(area.width, area.height);
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            const unsigned long p = XGetPixel(shot, x, y);
            picture.SetRGB(x, y, (p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
        }
    }
    XDestroyImage(shot);
    if (!picture.SaveFile(ui_wx::toWx(path), wxBITMAP_TYPE_PNG))
        throw std::runtime_error("cannot write " + path);
}

}  // namespace hostapp::gui
