#pragma once
// The "Results" dialog (10060): quantity list, PLOT, step, displacement scale, display switches,
// slice sliders, band limits, LINEAR / APPLY and the time history graph.
#include <array>

#include "ui/dialog.h"

class CContoursCommand;

class CContours : public ui::Dialog {
public:
    enum ControlId {
        kQuantityList = 11025,
        kPlot = 11084,
        kExit = 11094,
        kScale = 11055,
        kCycles = 11056,
        kStep = 1006,
        kSliderX = 11047,
        kSliderY = 11048,
        kSliderZ = 11049,
        kSliceView = 11050,
        kSmooth = 11057,
        kAnimate = 1009,
        kWireframe = 11052,
        kLighting = 11051,
        kNumeric = 1007,
        kMax = 11035,
        kMin = 11034,
        kLinear = 1011,
        kApply = 1010,
        kTimeGraph = 11007,
    };
    // The nine inner limit edits, L9 (top) down to L1 (bottom).
    static constexpr std::array<int, 9> kLimitEdits{11066, 11088, 11067, 11068, 11069, 11070, 11071, 11072, 11073};
    static constexpr int kDialogId = 10060;

    explicit CContours(CContoursCommand* command);

    // Reads and draws the selected quantity; failures become "problem in CContours::OnApply2".
    void OnApply2();
    void OnExit();
    void OnSliceView();
    void OnAnimate();
    void OnLinear();
    void OnApply();
    void OnTimeGraph();

    double displacementScale() const;
    int stepNumber() const;
    std::array<int, 3> sliders() const;
    // The list position of the selected line (0, "Mesh", when none is selected).
    int selectedPosition() const;

protected:
    bool onInitDialog() override;
    void onClose() override { OnExit(); }
    void onCancel() override { OnExit(); }
    void onOk() override {}

private:
    static ui::DialogTemplate makeTemplate();
    void plot();
    void animate(int cycles);
    void writeLimits();
    void resetSliders(bool enabled);
    void onSlider(int code);

    CContoursCommand* command_;
};
