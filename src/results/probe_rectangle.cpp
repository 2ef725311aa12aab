#include "results/probe_rectangle.h"

#include <algorithm>
#include <cmath>

namespace results {

ProbeRectangle ProbeRectangle::between(double pressX, double pressY, double releaseX, double releaseY) {
    if (std::abs(releaseX - pressX) < kProbeSquare && std::abs(releaseY - pressY) < kProbeSquare) {
        const double half = kProbeSquare / 2;
        return {pressX - half, pressY - half, pressX + half, pressY + half};
    }
    return {std::min(pressX, releaseX), std::min(pressY, releaseY), std::max(pressX, releaseX),
            std::max(pressY, releaseY)};
}

}  // namespace results
