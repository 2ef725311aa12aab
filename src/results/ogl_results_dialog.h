#pragma once
// "FEA Results" (102): the results in a window of the add-on's own, drawn through the OpenGL
// control beside the shared results panel, with the window's own switches (zoom, probe, no mesh),
// the mode value text and PRINT.
#include <memory>
#include <optional>
#include <string>

#include "loadcase/loadcase_document.h"
#include "results/opengl_control.h"
#include "results/results_panel.h"
#include "results/results_scene.h"
#include "ui/screen_capture.h"

class CoglMFCDialogDlg : public CResultsPanel {
  public:
    enum ControlId {
        kPlaceholder = 1000,
        kQuantityList = 1001,
        kPlot = 1003,
        kZoomToFit = 11099,
        kExit = 2,
        kPrint = 11100,
        kTimeGraph = 11107,
        kScale = 1004,
        kSliceView = 11098,
        kProbe = 11106,
        kSmooth = 11097,
        kNoMesh = 1008,
        kColourBar = 11101,
        kModeValue = 11036,
    };
    static constexpr int kDialogId = 102;
    // The OpenGL control ends this far inside the dialog's right and bottom edges.
    static constexpr int kMargin = 10;

    static constexpr const char* kTooHigh = "mode or step number too high";
    static constexpr const char* kPrintNotStarted = "Could not start print job.";
    static constexpr const char* kCaptureFailed = "Could not capture the results picture.";
    static constexpr const char* kPrintTransferFailed = "Could not send the picture to the printer.";

    // Resets the mesh and results the two displays share.
    // The results of `document`'s current loadcase.
    explicit CoglMFCDialogDlg(const loadcase::Document& document);

    int DoModal() { return runModal(); }

    void OnPlot();
    void OnZoomToFit();
    void OnSliceView();
    void OnProbe();
    void OnSmooth();
    void OnAnimate();
    void OnNumeric();
    void OnNoMesh();
    void OnPrint();
    // Sizing the dialog: the OpenGL control keeps its left and top and ends kMargin inside.
    void OnSize(int width, int height);

    COpenGLControl& glControl() { return widgetAs<COpenGLControl>(kPlaceholder); }
    results::ResultsScene& scene() { return scene_; }
    int physics() const override { return physics_; }
    int solutionType() const override { return solutionType_; }
    std::string jobBasePath() const override { return document_.jobBasePath(); }
    double displacementFactor() const { return factor_; }

  protected:
    bool onInitDialog() override;
    void limitsChanged() override;
    void slidersMoved() override;

  private:
    const loadcase::Document& document_;
    static ui::DialogTemplate makeTemplate();
    int mappedPosition(int listPosition) const;
    bool naturalFrequencies() const;
    double modelSize() const;
    // The displacement factor of a scale: for mode shapes a tenth of the model size times the scale
    // (times 1 when it is 0), else the scale itself.
    double factorFor(double scale) const;
    std::optional<ui::ScreenPicture> capturePicture();

    results::ResultsScene scene_;
    int physics_ = 0;
    int solutionType_ = 0;
    double factor_ = 0;
};
