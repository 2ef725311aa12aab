#pragma once
// printf-style formatting into a std::string, for the fixed text formats of the files the add-on
// writes ("%g", "%f" and "%d" as the solver and the user expect them).
#include <cstdio>
#include <string>

namespace loadcase {

template <typename... Args>
std::string format(const char* fmt, Args... args) {
    const int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    std::snprintf(out.data(), out.size() + 1, fmt, args...);
    return out;
}

}  // namespace loadcase
