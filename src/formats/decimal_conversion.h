#pragma once
// The double of a decimal number given as an integer mantissa and a power of ten, when one rounding
// gives it: a mantissa of at most 2^53 and a power within 10^-22..10^22 are both exact doubles, so
// one multiplication or division rounds correctly, to the value std::from_chars gives for the text.
#include <cstdint>

namespace results {

inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// False (value untouched) when the number needs more than one rounding.
inline bool exactDecimal(std::uint64_t mantissa, int scale, bool negative, double& value) {
    constexpr int kLargestPower = 22;
    if (mantissa == 0) {
        value = negative ? -0.0 : 0.0;
        return true;
    }
    if (mantissa > (std::uint64_t{1} << 53) || scale < -kLargestPower || scale > kLargestPower) return false;
    const auto m = static_cast<double>(mantissa);
    value = scale >= 0 ? m * kExactPowersOfTen[scale] : m / kExactPowersOfTen[-scale];
    if (negative) value = -value;
    return true;
}

}  // namespace results
