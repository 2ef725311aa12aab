#include "mesh_solve/plain_number.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace mesh_solve {

namespace {
constexpr std::size_t kTextLimit = 59;
}

double plainNumber(const std::string& text) {
    const std::string limited = text.substr(0, kTextLimit);
    const double value = std::strtod(limited.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

std::optional<double> numberInBox(const std::string& text) {
    const std::string limited = text.substr(0, kTextLimit);
    const char* start = limited.c_str();
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start || !std::isfinite(value)) return std::nullopt;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return std::nullopt;
    return value;
}

std::string notANumberMessage(const std::string& label, const std::string& text) {
    return "\"" + label + "\" needs a number; \"" + text + "\" is not one.";
}

int wholePart(double value) {
    if (!std::isfinite(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace mesh_solve
