#pragma once
// Text between the dialog toolkit (UTF-8 std::string) and wx (wxString).
#include <wx/string.h>

#include <cstdint>
#include <string>

class wxColour;

namespace ui_wx {

inline wxString toWx(const std::string& text) {
    return wxString::FromUTF8(text.c_str(), text.size());
}

inline std::string fromWx(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

// The toolkit's colours are 0x00BBGGRR.
wxColour colourOf(std::uint32_t bgr);
std::uint32_t bgrOf(const wxColour& colour);

}  // namespace ui_wx
