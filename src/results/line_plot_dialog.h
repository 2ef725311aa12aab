#pragma once
// "Time History Graph" (2102): graphs one quantity at nodes the user types, one series per node,
// and lists, saves, recolours, restyles, removes and prints series.
#include <ctime>
#include <functional>
#include <string>

#include "results/line_plot.h"
#include "ui/dialog.h"

class CLinePlotTestDlg : public ui::Dialog {
  public:
    enum ControlId {
        kPlot = 2025,
        kList = 21001,
        kSetColour = 21002,
        kNewFile = 21003,
        kRemove = 21004,
        kStyle = 21006,
        kClear = 21007,
        kFetch = 21008,
        kPrint = 21009,
        kSave = 21010,
        kShowList = 21011,
    };
    static constexpr int kDialogId = 2102;

    // The quantity (kind, item) and the job base path whose ".out" file is read.
    CLinePlotTestDlg(int kind, int item, std::string jobBasePath);

    int DoModal() { return runModal(); }

    CLinePlot& plot() { return plot_; }

    void OnFetchNodalData();
    void OnSetCurrentColour();
    void OnRemoveCurrent();
    void OnPrint();
    void OnSaveToFile();
    void OnShowList();
    void OnStyleChosen();

    // The clock that seeds each series' colour (tests fix it).
    static void setClock(std::function<std::time_t()> clock);
    // The colour a series gets when the generator is seeded with `seed`.
    static std::uint32_t seriesColour(std::time_t seed);

  protected:
    bool onInitDialog() override;

  private:
    static ui::DialogTemplate makeTemplate();
    // The selected series with points, or null after telling the user why not.
    const CPlotData* selectedWithData();
    void onPlotNotify(int code);
    // Tells the plot's window that the picture changed.
    void repaintPlot();

    int kind_;
    int item_;
    std::string jobBasePath_;
    CLinePlot plot_;
};
