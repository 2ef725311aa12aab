#include "io/text_util.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace tarvsolv {

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> splitBlanks(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;) out.push_back(word);
    return out;
}

std::vector<std::string> splitTopLevel(const std::string& text, char separator) {
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
    if (end != text.c_str() + text.size() || errno == ERANGE || value < -2147483647L || value > 2147483647L)
        return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace tarvsolv
