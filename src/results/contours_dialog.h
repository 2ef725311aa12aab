#pragma once
// The "Results" dialog (10060): the shared results panel plus the animation cycles and the host
// view's display switches; it draws through its command into the host's 3-D view.
#include "results/results_panel.h"

class CContoursCommand;

class CContours : public CResultsPanel {
  public:
    enum ControlId {
        kQuantityList = 11025,
        kPlot = 11084,
        kExit = 11094,
        kScale = 11055,
        kCycles = 11056,
        kSliceView = 11050,
        kSmooth = 11057,
        kWireframe = 11052,
        kLighting = 11051,
        kTimeGraph = 11007,
        kArrows = 11058,  // a flow's velocity as arrows; shown for fluid flow loadcases only
    };
    static constexpr int kDialogId = 10060;

    explicit CContours(CContoursCommand* command);

    int physics() const override;
    int solutionType() const override;
    std::string jobBasePath() const override;
    // Whether the plot draws the velocity arrows of a flow.
    bool showsArrows() const;

    // Reads and draws the selected quantity; failures become "problem in CContours::OnApply2".
    void OnApply2();
    void OnExit();
    void OnSliceView();
    void OnAnimate();

  protected:
    bool onInitDialog() override;
    void onClose() override { OnExit(); }
    void onCancel() override { OnExit(); }
    void onOk() override {}
    void limitsChanged() override;
    void slidersMoved() override;

  private:
    static ui::DialogTemplate makeTemplate();
    void plot();
    void animate(int cycles);

    bool animating_ = false;
    bool exitAfterAnimation_ = false;  // EXIT was pressed while the animation ran

    CContoursCommand* command_;
};
