#include "ui_wx/wx_text.h"

#include <wx/colour.h>

namespace ui_wx {

wxColour colourOf(std::uint32_t bgr) {
    return wxColour(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
}

std::uint32_t bgrOf(const wxColour& colour) {
    return static_cast<std::uint32_t>(colour.Red()) | (static_cast<std::uint32_t>(colour.Green()) << 8) |
           (static_cast<std::uint32_t>(colour.Blue()) << 16);
}

}  // namespace ui_wx
