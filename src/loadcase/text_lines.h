#pragma once
// Line handling shared by the readers of the add-on's text files.
#include <istream>
#include <string>
#include <string_view>

namespace loadcase {

// Reads the next line of `in` into `line` without its line ending ("\n" or "\r\n"); false at the end.
// Lines are read whole, however long, so that a long path is never cut.
bool readLine(std::istream& in, std::string& line);

// `text` without its leading blanks and tabs.
std::string_view skipBlanks(std::string_view text);

// The integer at the start of `text` in the manner of atoi: optional sign, then digits; 0 when there
// are none. Values beyond the range of int are clamped.
int leadingInteger(std::string_view text);

}  // namespace loadcase
