#include "results/line_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr render::Colour kGrid = 0xDCDCDC;
constexpr render::Colour kAxis = 0x000000;
constexpr double kMarkRadius = 4;

std::string axisNumber(double value, int decimals) {
    char fmt[16];
    char buffer[64];
    if (decimals == 0)
        std::snprintf(buffer, sizeof buffer, "%0.f", value);
    else {
        std::snprintf(fmt, sizeof fmt, "%%0.%uf", static_cast<unsigned>(decimals));
        std::snprintf(buffer, sizeof buffer, fmt, value);
    }
    return buffer;
}

// A label's clickable box: text drawn at (x, y), about a tenth of the width and a 25th of the
// height of the picture.
// Cuts the segment (x0, y0)-(x1, y1) to the rectangle (Liang-Barsky); false when none of it is
// inside. A zoomed plot draws only what falls in its area, not over the labels around it.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double left, double top, double right,
                 double bottom) {
    const double dx = x1 - x0, dy = y1 - y0;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 += t0 * dx;
    y0 += t0 * dy;
    return true;
}

bool inside(double x, double y, double left, double top, double right, double bottom) {
    return x >= left && x <= right && y >= top && y <= bottom;
}

}  // namespace

namespace {

// A range without a span (one point, or equal values) is opened around its value so that the
// point stands inside the plot instead of on its frame.
CLinePlot::Range withSpan(CLinePlot::Range r) {
    if (r.low < r.high) return r;
    const float pad = r.low != 0 ? std::fabs(r.low) * 0.1f : 1.0f;
    return {r.low - pad, r.high + pad};
}

}  // namespace

void CLinePlot::addSeries(const std::string& name, std::uint32_t colour, int style,
                          std::vector<results::PlotPoint> points) {
    series_.emplace_back(name, colour, style, std::move(points));
    const CPlotData& s = series_.back();
    if (series_.size() == 1) {
        if (!xLocked_) x_ = withSpan({s.xMin(), s.xMax()});
        if (!yLocked_) y_ = withSpan({s.yMin(), s.yMax()});
    } else {
        if (!xLocked_) x_ = withSpan({std::min(x_.low, s.xMin()), std::max(x_.high, s.xMax())});
        if (!yLocked_) y_ = withSpan({std::min(y_.low, s.yMin()), std::max(y_.high, s.yMax())});
        for (auto& other : series_) other.markForRecalculation();
    }
    updateDecimals();
    selected_ = static_cast<int>(series_.size()) - 1;
    selectedPoint_ = -1;
    notify(kNotifySelectionChanged);
}

// Small values need more decimals on the value axis to be told apart.
void CLinePlot::updateDecimals() {
    const float smallest = std::min(std::fabs(y_.high), std::fabs(y_.low));
    if (smallest < 0.0001f)
        yDecimals_ = 6;
    else if (smallest < 0.001f)
        yDecimals_ = 5;
    else if (smallest < 0.01f)
        yDecimals_ = 4;
    else if (smallest < 0.1f)
        yDecimals_ = 3;
}

bool CLinePlot::removeSeries(int index) {
    if (index < 0 || index >= seriesCount()) return false;
    series_.erase(series_.begin() + index);
    selected_ = -1;
    selectedPoint_ = -1;
    notify(kNotifySelectionChanged);
    return true;
}

bool CLinePlot::setColour(int index, std::uint32_t colour) {
    if (index < 0 || index >= seriesCount()) return false;
    series_[static_cast<std::size_t>(index)].setColour(colour);
    return true;
}

bool CLinePlot::setStyle(int index, int style) {
    if (index < 0 || index >= seriesCount()) return false;
    series_[static_cast<std::size_t>(index)].setStyle(style);
    return true;
}

const CPlotData* CLinePlot::series(int index) const {
    if (index < 0 || index >= seriesCount()) return nullptr;
    return &series_[static_cast<std::size_t>(index)];
}

void CLinePlot::select(int series, int point) {
    selected_ = series >= 0 && series < seriesCount() ? series : -1;
    selectedPoint_ =
        selected_ >= 0 && point >= 0 && point < static_cast<int>(series_[selected_].count()) ? point : -1;
    notify(kNotifySelectionChanged);
}

void CLinePlot::zoom(Range x, Range y) {
    auto within = [](Range r, Range old) {
        Range out{std::max(std::min(r.low, r.high), old.low), std::min(std::max(r.low, r.high), old.high)};
        return out.low < out.high ? out : old;
    };
    if (!xLocked_) x_ = within(x, x_);
    if (!yLocked_) y_ = within(y, y_);
    for (auto& s : series_) s.markForRecalculation();
}

void CLinePlot::resetZoom() {
    if (series_.empty()) return;
    Range x{series_[0].xMin(), series_[0].xMax()}, y{series_[0].yMin(), series_[0].yMax()};
    for (const auto& s : series_) {
        x = {std::min(x.low, s.xMin()), std::max(x.high, s.xMax())};
        y = {std::min(y.low, s.yMin()), std::max(y.high, s.yMax())};
    }
    if (!xLocked_) x_ = withSpan(x);
    if (!yLocked_) y_ = withSpan(y);
    for (auto& s : series_) s.markForRecalculation();
}

CLinePlot::Area CLinePlot::plotArea(double width, double height) const {
    return {width * 0.12, height * 0.08, width * 0.96, height * 0.82};
}

void CLinePlot::draw(render::Canvas& canvas, double width, double height) const {
    const Area a = plotArea(width, height);
    lastArea_ = a;
    const double xSpan = x_.high > x_.low ? x_.high - x_.low : 1.0;
    const double ySpan = y_.high > y_.low ? y_.high - y_.low : 1.0;
    auto px = [&](double x) { return a.left + (x - x_.low) / xSpan * (a.right - a.left); };
    auto py = [&](double y) { return a.bottom - (y - y_.low) / ySpan * (a.bottom - a.top); };

    canvas.setPen(kGrid, 1);
    for (int i = 0; i <= xDivisions_; ++i) {
        const double x = a.left + (a.right - a.left) * i / xDivisions_;
        canvas.line(x, a.top, x, a.bottom);
    }
    for (int i = 0; i <= yDivisions_; ++i) {
        const double y = a.top + (a.bottom - a.top) * i / yDivisions_;
        canvas.line(a.left, y, a.right, y);
    }
    canvas.setPen(kAxis, 1);
    canvas.rectangle(a.left, a.top, a.right, a.bottom);
    canvas.text(a.left, 2, title_);
    canvas.text((a.left + a.right) / 2, a.bottom + height * 0.08, xTitle_);
    const double labelWidth = width * 0.1, labelHeight = height * 0.04;
    auto label = [&](double x, double y, const std::string& text) {
        canvas.text(x, y, text);
        return Area{x, y, x + labelWidth, y + labelHeight};
    };
    limitLabels_ = {label(a.left, a.bottom + 4, axisNumber(x_.low, xDecimals_)),
                    label(a.right - width * 0.05, a.bottom + 4, axisNumber(x_.high, xDecimals_)),
                    label(2, a.bottom - height * 0.03, axisNumber(y_.low, yDecimals_)),
                    label(2, a.top, axisNumber(y_.high, yDecimals_))};
    const double markSize = std::min(labelWidth, labelHeight);
    canvas.text(a.right + 2, a.bottom + 4, xLocked_ ? "L" : "U");
    // The value axis's lock mark stands on the line of its title, before it: a line of its own
    // between the title and the top number overlaps both on a short graph.
    const double yTitleTop = a.top - height * 0.06;
    canvas.text(2, yTitleTop, yLocked_ ? "L" : "U");
    canvas.text(2 + markSize + 4, yTitleTop, yTitle_);
    lockMarks_ = {Area{a.right + 2, a.bottom + 4, a.right + 2 + markSize, a.bottom + 4 + markSize},
                  Area{2, yTitleTop, 2 + markSize, yTitleTop + markSize}};

    for (const CPlotData& s : series_) {
        canvas.setPen(s.colour(), s.style() == CPlotData::kBar ? 3 : 1);
        const auto& p = s.points();
        // A lone point has no line to lie on: it is drawn as a mark (a small cross in a square).
        if (p.size() == 1 && s.style() == CPlotData::kLine) {
            const double x = px(p[0].x), y = py(p[0].y), r = kMarkRadius;
            if (inside(x, y, a.left, a.top, a.right, a.bottom)) {
                canvas.rectangle(x - r, y - r, x + r, y + r);
                canvas.line(x - r, y, x + r, y);
                canvas.line(x, y - r, x, y + r);
            }
            continue;
        }
        for (std::size_t i = 0; i < p.size(); ++i) {
            double x0 = 0, y0 = 0, x1 = px(p[i].x), y1 = py(p[i].y);
            if (s.style() == CPlotData::kBar) {
                x0 = x1;
                y0 = py(std::clamp(0.0f, y_.low, y_.high));
            } else if (i > 0) {
                x0 = px(p[i - 1].x);
                y0 = py(p[i - 1].y);
            } else {
                continue;
            }
            if (clipSegment(x0, y0, x1, y1, a.left, a.top, a.right, a.bottom)) canvas.line(x0, y0, x1, y1);
        }
    }
    if (const CPlotData* s = series(selected_)) {
        char buffer[160];
        std::snprintf(buffer, sizeof buffer, "Mean=%g, Min=%g, Max=%g", s->mean(), s->yMin(), s->yMax());
        canvas.setPen(kAxis, 1);
        canvas.text(a.right - width * 0.35, a.bottom + height * 0.12, buffer);
        if (selectedPoint_ >= 0) {
            const auto& p = s->points()[static_cast<std::size_t>(selectedPoint_)];
            std::snprintf(buffer, sizeof buffer, "Position=%g, Value=%g", p.x, p.y);
            canvas.text(a.left, a.bottom + height * 0.12, buffer);
            if (px(p.x) >= a.left && px(p.x) <= a.right) canvas.line(px(p.x), a.top, px(p.x), a.bottom);
            if (py(p.y) >= a.top && py(p.y) <= a.bottom) canvas.line(a.left, py(p.y), a.right, py(p.y));
        }
    }
}

void CLinePlot::click(double x, double y) {
    for (int i = 0; i < 2; ++i) {
        const Area& m = lockMarks_[static_cast<std::size_t>(i)];
        if (!inside(x, y, m.left, m.top, m.right, m.bottom)) continue;
        (i == 0 ? xLocked_ : yLocked_) = !(i == 0 ? xLocked_ : yLocked_);
        return;
    }
    for (int i = kXLow; i <= kYHigh; ++i) {
        const Area& l = limitLabels_[static_cast<std::size_t>(i)];
        if (!inside(x, y, l.left, l.top, l.right, l.bottom)) continue;
        const bool xAxis = i == kXLow || i == kXHigh;
        if (xAxis ? xLocked_ : yLocked_) return;
        const Range r = xAxis ? x_ : y_;
        const float value = i == kXLow || i == kYLow ? r.low : r.high;
        limitEdit_ = LimitEdit{static_cast<Limit>(i), axisNumber(value, xAxis ? xDecimals_ : yDecimals_)};
        return;
    }
    const Area a = lastArea_;
    if (!inside(x, y, a.left, a.top, a.right, a.bottom)) return;
    const double xSpan = x_.high > x_.low ? x_.high - x_.low : 1.0;
    const double ySpan = y_.high > y_.low ? y_.high - y_.low : 1.0;
    double best = 1e300;
    int bestSeries = -1, bestPoint = -1;
    for (int s = 0; s < seriesCount(); ++s) {
        const auto& p = series_[static_cast<std::size_t>(s)].points();
        for (std::size_t i = 0; i < p.size(); ++i) {
            const double dx = a.left + (p[i].x - x_.low) / xSpan * (a.right - a.left) - x;
            const double dy = a.bottom - (p[i].y - y_.low) / ySpan * (a.bottom - a.top) - y;
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                bestSeries = s;
                bestPoint = static_cast<int>(i);
            }
        }
    }
    select(bestSeries, bestPoint);
}

bool CLinePlot::finishLimitEdit(const std::string& text) {
    if (!limitEdit_) return false;
    const Limit limit = limitEdit_->limit;
    limitEdit_.reset();
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    while (end != nullptr && (*end == ' ' || *end == '\t')) ++end;
    if (end == text.c_str() || end == nullptr || *end != '\0' || !std::isfinite(value)) return false;
    Range& r = limit == kXLow || limit == kXHigh ? x_ : y_;
    Range changed = r;
    (limit == kXLow || limit == kYLow ? changed.low : changed.high) = static_cast<float>(value);
    if (!(changed.low < changed.high)) return false;
    r = changed;
    rangesChanged();
    return true;
}

double CLinePlot::dataX(double x) const {
    const Area& a = lastArea_;
    return a.right > a.left ? x_.low + (x - a.left) / (a.right - a.left) * (x_.high - x_.low) : x_.low;
}

double CLinePlot::dataY(double y) const {
    const Area& a = lastArea_;
    return a.bottom > a.top ? y_.low + (a.bottom - y) / (a.bottom - a.top) * (y_.high - y_.low) : y_.low;
}

void CLinePlot::drag(double x0, double y0, double x1, double y1) {
    if (y1 > y0) {
        zoom({static_cast<float>(dataX(x0)), static_cast<float>(dataX(x1))},
             {static_cast<float>(dataY(y1)), static_cast<float>(dataY(y0))});
    } else {
        resetZoom();
    }
    notify(kNotifyRangeChanged);
}

void CLinePlot::rangesChanged() {
    for (auto& s : series_) s.markForRecalculation();
    notify(kNotifyRangeChanged);
}
