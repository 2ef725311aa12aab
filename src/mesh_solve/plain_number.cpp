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

int wholePart(double value) {
    if (!std::isfinite(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace mesh_solve
