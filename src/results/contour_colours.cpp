#include "results/contour_colours.h"

namespace results {

BandLimits evenLimits(double smallest, double largest) {
    BandLimits limits{};
    const double step = (largest - smallest) / 10.0;
    limits[0] = smallest;
    for (int k = 1; k <= 10; ++k) limits[k] = limits[k - 1] + step;
    return limits;
}

void spaceInnerLimits(BandLimits& limits) {
    const double d = (limits[1] - limits[9]) / 8.0;
    for (int k = 2; k <= 8; ++k) limits[k] = limits[k - 1] - d;
}

int bandOf(double value, const BandLimits& limits) {
    for (int k = 1; k <= 9; ++k)
        if (limits[k - 1] <= value && value <= limits[k]) return k;
    return 10;
}

float contourTexV(double value, const BandLimits& limits) {
    const int k = bandOf(value, limits);
    const double width = limits[k] - limits[k - 1];
    const double f = width == 0.0 ? 0.0 : (value - limits[k - 1]) / width;
    const double t = (k - 1) * 0.1 + f * 0.1;
    const double v = 1.0 - t;
    if (v >= 0.999) return 0.99f;
    if (v < 0.001) return 0.01f;
    return static_cast<float>(v);
}

}  // namespace results
