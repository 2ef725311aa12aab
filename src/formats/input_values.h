#pragma once
// The values on the solver input's lines, as the add-on writes them and the mesher and the solver
// read them: blank-separated words, comma-separated lists whose items may hold formulas with
// commas inside parentheses, numbers in the C locale.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

// `text` without leading and trailing blanks, tabs and line ends.
std::string trimmed(std::string_view text);
// Words of `text` separated by blanks, tabs and line ends.
std::vector<std::string> words(std::string_view text);
// The parts of `text` between `separator`s outside parentheses, untrimmed: "min(a,b), 3" gives
// "min(a,b)" and " 3". An empty text gives one empty part.
std::vector<std::string> splitTopLevel(std::string_view text, char separator);
// The whole text as a number as strtod reads it in the C locale (leading blanks, a sign, an
// exponent, hexadecimal, inf and nan taken); nothing when anything follows it or it overflows or
// underflows.
std::optional<double> parseNumber(const std::string& text);
// The whole text as a decimal int; nothing when anything follows it or it leaves the int range.
std::optional<int> parseInt(const std::string& text);

}  // namespace formats
