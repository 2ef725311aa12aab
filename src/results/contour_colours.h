#pragma once
// The ten colour bands of a contour plot: band limits L0 to L10 and the texture coordinate of a
// value on the colour bars (v = 0 is the top row: red, the largest values).
#include <array>
#include <cstdint>

namespace results {

using BandLimits = std::array<double, 11>;

// The legend colours of bands 0 (lowest) to 9 (highest), 0xAARRGGBB.
inline constexpr std::array<std::uint32_t, 10> kBandColours{0xFF0000FF, 0xFF00A0FF, 0xFF00FFFF, 0xFF2E8B57,
                                                            0xFF00FF64, 0xFFAAFF32, 0xFFD2D2D2, 0xFFFFFF00,
                                                            0xFFFFA500, 0xFFFF0000};

// L0 = smallest, then ten equal steps (L10 is recomputed as L0 + 10 steps).
BandLimits evenLimits(double smallest, double largest);

// Spaces L2 to L8 evenly between L1 and L9; L0 and L10 stay.
void spaceInnerLimits(BandLimits& limits);

// The band a value falls in: the first k from 1 to 9 with L(k-1) <= v <= Lk, else 10.
int bandOf(double value, const BandLimits& limits);

// The vertical texture coordinate of `value` on the colour bars, kept within 0.01 to 0.99.
float contourTexV(double value, const BandLimits& limits);

}  // namespace results
