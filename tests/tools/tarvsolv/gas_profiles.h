#pragma once
// Profiles of a flow sampled along a straight line and what the gas checks read from them: where
// a captured jump (a shock, a contact) stands, the mean error against a closed form, and the
// straight line through a few points (a shock's trace).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

namespace tarvsolv::testing {

// Values at increasing positions along a line.
struct Profile {
    std::vector<double> at, value;
};

// Where the steepest step of `p` in the direction `sign` (+1 rising, -1 falling along the line)
// stands, among the samples with positions in [from, to]. A captured jump is spread over a few
// cells, so it is placed where the profile crosses the mean of the levels `span` samples before
// and after that step (kept within [from, to]): the middle of the spread, where the exact jump
// stands. Nothing when no step in the window has that sign.
inline std::optional<double> jumpPosition(const Profile& p, int sign, std::size_t span, double from,
                                          double to) {
    std::size_t first = p.at.size(), last = 0;
    for (std::size_t i = 0; i < p.at.size(); ++i)
        if (p.at[i] >= from && p.at[i] <= to) first = std::min(first, i), last = std::max(last, i);
    if (first >= last) return std::nullopt;
    std::size_t step = last;
    double steepest = 0;
    for (std::size_t i = first; i < last; ++i)
        if (const double rise = sign * (p.value[i + 1] - p.value[i]); rise > steepest)
            steepest = rise, step = i;
    if (step == last) return std::nullopt;
    const std::size_t lo = step > first + span ? step - span : first, hi = std::min(last, step + 1 + span);
    const double level = 0.5 * (p.value[lo] + p.value[hi]);
    // The crossing of that level nearest the step (a noisy plateau may cross it again further off).
    std::optional<double> nearest;
    double nearestDistance = HUGE_VAL;
    for (std::size_t i = lo; i < hi; ++i) {
        const double a = p.value[i] - level, b = p.value[i + 1] - level;
        if (a * b > 0 || a == b) continue;
        const double distance = std::abs(static_cast<double>(i) - static_cast<double>(step));
        if (distance < nearestDistance)
            nearestDistance = distance, nearest = p.at[i] + a / (a - b) * (p.at[i + 1] - p.at[i]);
    }
    return nearest;
}

// The mean of |value - exact(at)| over the samples: the L1 error per length of evenly spaced ones.
template <class Exact>
double meanError(const Profile& p, Exact exact) {
    double sum = 0;
    for (std::size_t i = 0; i < p.at.size(); ++i) sum += std::abs(p.value[i] - exact(p.at[i]));
    return p.at.empty() ? 0 : sum / static_cast<double>(p.at.size());
}

// The least-squares line y = intercept + slope x through the points.
struct FittedLine {
    double slope = 0, intercept = 0;
};

inline FittedLine fittedLine(const std::vector<double>& x, const std::vector<double>& y) {
    const double n = static_cast<double>(x.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) sx += x[i], sy += y[i], sxx += x[i] * x[i], sxy += x[i] * y[i];
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    return {slope, (sy - slope * sx) / n};
}

}  // namespace tarvsolv::testing
