#pragma once
// The line plot control of the time history graph: series, axis ranges with their locks and
// decimals, selection of a series and a point, zooming, and drawing onto a canvas (screen or page).
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "render/canvas.h"
#include "results/plot_data.h"

class CLinePlot {
  public:
    static constexpr int kNotifySelectionChanged = 1124;
    static constexpr int kNotifyRangeChanged = 1125;
    static constexpr int kNotifyPointChanged = 1126;

    struct Range {
        float low = 0, high = 0;
    };

    // Appends a series and selects it; the first sets the ranges to its extents, later ones widen
    // the unlocked ranges.
    void addSeries(const std::string& name, std::uint32_t colour, int style,
                   std::vector<results::PlotPoint> points);
    bool removeSeries(int index);
    bool setColour(int index, std::uint32_t colour);
    bool setStyle(int index, int style);
    const CPlotData* series(int index) const;
    int seriesCount() const { return static_cast<int>(series_.size()); }

    int selectedSeries() const { return selected_; }
    int selectedPoint() const { return selectedPoint_; }
    void select(int series, int point = -1);

    Range xRange() const { return x_; }
    Range yRange() const { return y_; }
    int xDecimals() const { return xDecimals_; }
    int yDecimals() const { return yDecimals_; }
    void lockX(bool locked) { xLocked_ = locked; }
    void lockY(bool locked) { yLocked_ = locked; }
    bool xLocked() const { return xLocked_; }
    bool yLocked() const { return yLocked_; }
    // Zooms the unlocked axes to a data rectangle (kept within the old ranges); a drag upwards
    // resets the ranges to the full extent of the data.
    void zoom(Range x, Range y);
    void resetZoom();

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

    // Draws the plot into the rectangle (0, 0, width, height) with text of `textHeight` pixels.
    void draw(render::Canvas& canvas, double width, double height) const;
    // A left click at (x, y) in the last drawn picture: on an axis-limit label it opens the in-place
    // edit box of that limit (not for a locked axis), on a lock mark it toggles that axis's lock,
    // in the plot area it selects the series and point nearest the click.
    void click(double x, double y);
    // A drag with the left button from (x0, y0) to (x1, y1): downwards zooms the unlocked axes to
    // the rectangle, upwards resets the ranges to the full extent of the data.
    void drag(double x0, double y0, double x1, double y1);

    // The axis limits in the order of `LimitEdit::limit`.
    enum Limit { kXLow, kXHigh, kYLow, kYHigh };
    struct LimitEdit {
        Limit limit;
        std::string text;  // the limit with its axis's decimals
    };
    // The open in-place edit box, if any.
    const std::optional<LimitEdit>& limitEdit() const { return limitEdit_; }
    // Closes the edit box with the typed text as the new limit; false (range unchanged) when the
    // text is not a number or would leave the axis without a span.
    bool finishLimitEdit(const std::string& text);
    void cancelLimitEdit() { limitEdit_.reset(); }
    // Where the last drawing put the label of `limit` (pixels: left, top, right, bottom), so that
    // a window shows the edit box over it.
    std::array<double, 4> limitLabelBox(Limit limit) const {
        const Area& a = limitLabels_[static_cast<std::size_t>(limit)];
        return {a.left, a.top, a.right, a.bottom};
    }

    void setParentNotify(std::function<void(int)> notify) { notify_ = std::move(notify); }

  private:
    struct Area {
        double left, top, right, bottom;
    };
    Area plotArea(double width, double height) const;
    void updateDecimals();
    void rangesChanged();
    // Data coordinates of a picture position in the last drawn plot area.
    double dataX(double x) const;
    double dataY(double y) const;
    void notify(int code) const {
        if (notify_) notify_(code);
    }

    std::string title_ = "Time History Graph";
    std::string xTitle_ = "Time";
    std::string yTitle_ = "Value";
    int xDivisions_ = 21;
    int yDivisions_ = 10;
    int xDecimals_ = 1;
    int yDecimals_ = 1;
    Range x_{0, 100};
    Range y_{-10, 10};
    bool xLocked_ = false;
    bool yLocked_ = false;
    int selected_ = -1;
    int selectedPoint_ = -1;
    std::vector<CPlotData> series_;
    mutable Area lastArea_{0, 0, 0, 0};
    // Where the last drawing put the four limit labels and the two lock marks (x, then y).
    mutable std::array<Area, 4> limitLabels_{};
    mutable std::array<Area, 2> lockMarks_{};
    std::optional<LimitEdit> limitEdit_;
    std::function<void(int)> notify_;
};
