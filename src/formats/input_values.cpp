#include "formats/input_values.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace formats {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

}  // namespace

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (true) {
        at = text.find_first_not_of(kBlanks, at);
        if (at == std::string_view::npos) break;
        const std::size_t end = std::min(text.find_first_of(kBlanks, at), text.size());
        out.emplace_back(text.substr(at, end - at));
        at = end;
    }
    return out;
}

std::vector<std::string> splitTopLevel(std::string_view text, char separator) {
    std::vector<std::string> out(1);
    int depth = 0;
    for (char c : text) {
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (c == separator && depth == 0) {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

std::optional<double> parseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE) return std::nullopt;
    return value;
}

std::optional<int> parseInt(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + text.size() || errno == ERANGE || value < -INT_MAX || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace formats
