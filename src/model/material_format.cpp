#include "model/material_format.h"

#include <cstdio>
#include <vector>

namespace model {

std::string formatNumber(const char* format, double value) {
    // "%f" of a large value runs to hundreds of digits: measure first.
    const int length = std::snprintf(nullptr, 0, format, value);
    if (length <= 0) return {};
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), format, value);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

std::string materialValueText(loadcase::AnalysisClass cls, int slot, double value) {
    // A fluid's values are small in mm documents (water: 1e-9 N-s/mm2): "%f" would show them as 0.
    using C = loadcase::AnalysisClass;
    const bool fixed = cls == C::Thermal ? slot <= 2 : cls == C::Mechanical && slot == 0;
    return formatNumber(fixed ? "%f" : "%g", value);
}

}  // namespace model
