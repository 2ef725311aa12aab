#pragma once
// The host's length units by their short names ("mm", "cm", "m", "in", "ft"), as scripts name them
// and the status bar shows them.
#include <cstdint>
#include <optional>
#include <string>

#include "host/geometry.h"

namespace hostapp {

inline constexpr struct {
    std::int32_t unit;
    const char* word;
} kLengthUnits[] = {{host::kUnitMm, "mm"},
                    {host::kUnitCm, "cm"},
                    {host::kUnitM, "m"},
                    {host::kUnitIn, "in"},
                    {host::kUnitFt, "ft"}};

inline const char* unitWord(std::int32_t unit) {
    for (const auto& u : kLengthUnits)
        if (u.unit == unit) return u.word;
    return "?";
}

inline std::optional<std::int32_t> unitOfWord(const std::string& word) {
    for (const auto& u : kLengthUnits)
        if (word == u.word) return u.unit;
    return std::nullopt;
}

}  // namespace hostapp
