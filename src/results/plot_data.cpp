#include "results/plot_data.h"

#include <algorithm>

CPlotData::CPlotData(std::string name, std::uint32_t colour, int style,
                     std::vector<results::PlotPoint> points)
    : name_(std::move(name)), colour_(colour), points_(std::move(points)), style_(style) {
    if (points_.empty()) return;
    xMin_ = xMax_ = points_.front().x;
    yMin_ = yMax_ = points_.front().y;
    double sum = 0;
    for (const auto& p : points_) {
        xMin_ = std::min(xMin_, p.x);
        xMax_ = std::max(xMax_, p.x);
        yMin_ = std::min(yMin_, p.y);
        yMax_ = std::max(yMax_, p.y);
        sum += p.y;
    }
    mean_ = static_cast<float>(sum / static_cast<double>(points_.size()));
}
