#pragma once
// One series of the time history graph: name, colour, style and its points with their extents.
#include <cstdint>
#include <string>
#include <vector>

#include "results/time_history.h"

class CPlotData {
  public:
    enum Style { kLine = 0, kBar = 1 };

    CPlotData(std::string name, std::uint32_t colour, int style, std::vector<results::PlotPoint> points);

    const std::string& name() const { return name_; }
    std::uint32_t colour() const { return colour_; }  // 0x00BBGGRR
    void setColour(std::uint32_t colour) { colour_ = colour; }
    int style() const { return style_; }
    void setStyle(int style) { style_ = style; }
    const std::vector<results::PlotPoint>& points() const { return points_; }
    std::size_t count() const { return points_.size(); }
    bool needsRecalculation() const { return recalculate_; }
    void markForRecalculation() { recalculate_ = true; }

    float xMin() const { return xMin_; }
    float xMax() const { return xMax_; }
    float yMin() const { return yMin_; }
    float yMax() const { return yMax_; }
    float mean() const { return mean_; }

    // Screen positions of the points for the plot area last drawn into.
    const std::vector<results::PlotPoint>& drawn() const { return drawn_; }
    void setDrawn(std::vector<results::PlotPoint> drawn) {
        drawn_ = std::move(drawn);
        recalculate_ = false;
    }

  private:
    std::string name_;
    std::uint32_t colour_;
    std::vector<results::PlotPoint> points_;
    std::vector<results::PlotPoint> drawn_;
    int style_;
    bool recalculate_ = true;
    float xMin_ = 0, xMax_ = 0, yMin_ = 0, yMax_ = 0, mean_ = 0;
};
