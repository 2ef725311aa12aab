#pragma once
// The window rectangle a probe click or drag selects: a 6 x 6 pixel square centred on the press
// point when the pointer moved less than 6 pixels in both directions, else the rectangle between
// press and release. A point is picked when it lies strictly inside.
namespace results {

inline constexpr double kProbeSquare = 6.0;

struct ProbeRectangle {
    double left = 0, top = 0, right = 0, bottom = 0;

    static ProbeRectangle between(double pressX, double pressY, double releaseX, double releaseY);
    bool contains(double x, double y) const { return x > left && x < right && y > top && y < bottom; }
};

}  // namespace results
