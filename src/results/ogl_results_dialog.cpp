#include "results/ogl_results_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "addon_base/library_state.h"
#include "loadcase/analysis_code.h"
#include "loadcase/header_file.h"
#include "render/print_canvas.h"
#include "render/render_device.h"
#include "results/display_state.h"
#include "ui/prompts.h"
#include "ui/screen_capture.h"

using namespace results;
using ui::ControlKind;

CoglMFCDialogDlg::CoglMFCDialogDlg(const loadcase::Document& document)
    : CResultsPanel(makeTemplate(), {kQuantityList, kPlot, kScale, kSliceView, kTimeGraph}),
      document_(document) {
    resetSharedResults();
    attachWidget(kPlaceholder, std::make_unique<COpenGLControl>(scene_));
    glControl().onContainerResize([this](int width, int height) { OnSize(width, height); });
    onClick(kPlot, [this] { OnPlot(); });
    onSelectionChange(kQuantityList, [this] { OnPlot(); });
    onClick(kZoomToFit, [this] { OnZoomToFit(); });
    onClick(kExit, [this] { endDialog(ui::kIdCancel); });
    onClick(kSliceView, [this] { OnSliceView(); });
    onClick(kProbe, [this] { OnProbe(); });
    onClick(kSmooth, [this] { OnSmooth(); });
    onClick(kAnimate, [this] { OnAnimate(); });
    onClick(kNumeric, [this] { OnNumeric(); });
    onClick(kNoMesh, [this] { OnNoMesh(); });
    onClick(kPrint, [this] { OnPrint(); });
}

ui::DialogTemplate CoglMFCDialogDlg::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "FEA Results";
    t.rect = {0, 0, 1000, 700};
    t.add(kQuantityList, ControlKind::ListBox, "", {8, 8, 200, 200}, ui::kStyleNotify)
        .add(kPlot, ControlKind::Button, "PLOT", {8, 206, 100, 228})
        .add(kZoomToFit, ControlKind::Button, "ZOOM TO FIT", {108, 206, 200, 228})
        .add(kExit, ControlKind::Button, "EXIT", {8, 232, 100, 254})
        .add(kPrint, ControlKind::Button, "PRINT", {108, 232, 200, 254})
        .add(kTimeGraph, ControlKind::Button, "Time Graph", {8, 258, 200, 280})
        .add(0, ControlKind::Static, kStepLabel, {8, 286, 120, 302})
        .add(kStep, ControlKind::Edit, "1", {124, 284, 200, 302})
        .add(0, ControlKind::Static, kScaleLabel, {8, 308, 120, 324})
        .add(kScale, ControlKind::Edit, "0", {124, 306, 200, 324})
        .add(kSliceView, ControlKind::CheckBox, "Slice view", {8, 330, 100, 346})
        .add(kProbe, ControlKind::CheckBox, "Probe", {108, 330, 200, 346})
        .add(kSmooth, ControlKind::CheckBox, "Smooth", {8, 350, 100, 366})
        .add(kAnimate, ControlKind::CheckBox, "Animate", {108, 350, 200, 366})
        .add(kNumeric, ControlKind::CheckBox, "Numeric", {8, 370, 100, 386})
        .add(kNoMesh, ControlKind::CheckBox, "No Mesh", {108, 370, 200, 386})
        .add(kSliderX, ControlKind::Slider, "", {8, 392, 200, 410}, ui::kStyleDisabled)
        .add(kSliderY, ControlKind::Slider, "", {8, 412, 200, 430}, ui::kStyleDisabled)
        .add(kSliderZ, ControlKind::Slider, "", {8, 432, 200, 450}, ui::kStyleDisabled)
        .add(kMax, ControlKind::Static, "", {8, 456, 200, 472})
        .addPicture(kColourBar, {8, 476, 28, 656}, static_cast<int>(render::BuiltInTexture::BandedBar));
    int y = 476;
    for (int id : kLimitEdits) {
        t.add(id, ControlKind::Edit, "", {32, y, 110, y + 18});
        y += 20;
    }
    t.add(kMin, ControlKind::Static, "", {8, 660, 200, 676})
        .add(kModeValue, ControlKind::Static, "", {8, 678, 200, 694})
        .add(kLinear, ControlKind::Button, "LINEAR", {120, 476, 200, 498})
        .add(kApply, ControlKind::Button, "APPLY", {120, 504, 200, 526})
        .add(kPlaceholder, ControlKind::Custom, "", {210, 8, 990, 690});
    return t;
}

bool CoglMFCDialogDlg::onInitDialog() {
    const auto header = loadcase::readHeaderFile(document_.jobBasePath(), {});
    // A Multiphysics loadcase not solved yet reads as Mechanical; its loadcase entry tells.
    const auto analysis = loadcase::withLoadcaseEntryType(header.analysis, document_.loadcaseEntryType());
    physics_ = analysis.type;
    solutionType_ = analysis.solveIndex;
    fillControls();
    glControl().moveWindow(control(kPlaceholder).tmpl.rect);
    readResultsMesh(header.fileRead ? header.meshPath : document_.meshPath(), true);
    scene_.useLibraryMesh();
    return true;
}

bool CoglMFCDialogDlg::naturalFrequencies() const {
    return hasNaturalFrequencies(physics_, solutionType_);
}

// Thermal and natural-frequency loadcases have one quantity each; position 0 is the mesh for all.
int CoglMFCDialogDlg::mappedPosition(int listPosition) const {
    if (listPosition == kPositionMesh) return kPositionMesh;
    return plotPosition(physics_, solutionType_, listPosition);
}

// A positive length in model units: the diagonal of the mesh's bounding box.
double CoglMFCDialogDlg::modelSize() const {
    const BoundingBox& box = displayState().box;
    const double size =
        std::hypot(box.high[0] - box.low[0], box.high[1] - box.low[1], box.high[2] - box.low[2]);
    return size > 0 ? size : 1.0;
}

double CoglMFCDialogDlg::factorFor(double scale) const {
    if (displayState().kind != kKindModeShape) return scale;
    return (scale == 0 ? 1.0 : scale) * 0.1 * modelSize();
}

// Mode shapes are always read as vectors, displacements when the scale asks for a deformed shape.
// A step or scale that is not a number is refused and the picture stays as it was.
void CoglMFCDialogDlg::OnPlot() {
    if (!numbersReadable()) return;
    const double scale = displacementScale();
    const int position = mappedPosition(selectedPosition());
    const int kind = quantityAt(position).kind;
    const int vectorKind = kind == kKindModeShape ? kKindModeShape : scale > 0 ? kKindDisplacement : -1;
    const Reading reading = plotQuantity(position, vectorKind, scene_.nodeResults());
    if (!reading.missing.empty()) {
        // The last picture stays, with its mode value.
        ui::prompts().messageBox(reading.missing, "Results", ui::MessageIcon::Warning,
                                 ui::MessageButtons::Ok);
        return;
    }
    if (reading.tooHigh)
        ui::prompts().messageBox(kTooHigh, "Results", ui::MessageIcon::Warning, ui::MessageButtons::Ok);
    factor_ = factorFor(scale);
    scene_.setPlottedFactor(factor_);

    if (kind == kKindModeShape) {
        char buffer[128];
        std::snprintf(buffer, sizeof buffer,
                      naturalFrequencies() ? "natural freq. = %g Hz" : "buckle load factor = %g",
                      scene_.nodeResults().modeValue);
        setText(kModeValue, buffer);
    } else {
        setText(kModeValue, "");
    }
    scene_.recomputePositions(factor_);
    scene_.recomputeRamp();
}

void CoglMFCDialogDlg::OnZoomToFit() {
    glControl().camera().zoomToFit();
}

void CoglMFCDialogDlg::OnSliceView() {
    DisplayState& state = displayState();
    state.sliceView = isChecked(kSliceView);
    for (int id : {kSliderX, kSliderY, kSliderZ}) enable(id, state.sliceView);
    scene_.recomputeSliceFlags(state.sliceView ? sliders() : std::array<int, 3>{100, 100, 100});
    scene_.rebuildTriangles();
}

void CoglMFCDialogDlg::slidersMoved() {
    scene_.recomputeSliceFlags(sliders());
    if (!displayState().animate) scene_.recomputePositions(factor_);
}

void CoglMFCDialogDlg::OnProbe() {
    scene_.switches().probe = isChecked(kProbe);
    if (scene_.switches().probe) scene_.clearProbes();
}

void CoglMFCDialogDlg::OnSmooth() {
    scene_.switches().smooth = isChecked(kSmooth);
}

void CoglMFCDialogDlg::OnAnimate() {
    displayState().animate = isChecked(kAnimate);
    if (displayState().animate && !numbersReadable()) {
        setCheck(kAnimate, false);
        displayState().animate = false;
        return;
    }
    factor_ = factorFor(displacementScale());
    scene_.setPlottedFactor(factor_);
    if (!displayState().animate) scene_.recomputePositions(factor_);
}

void CoglMFCDialogDlg::OnNumeric() {
    scene_.switches().numeric = isChecked(kNumeric);
    scene_.invalidateNumbers();
}

void CoglMFCDialogDlg::OnNoMesh() {
    scene_.switches().noMesh = isChecked(kNoMesh);
}

void CoglMFCDialogDlg::limitsChanged() {
    scene_.recomputeRamp();
}

// The picture a person sees: the main window as the screen shows it where the program can take
// it, else the window's own frame at the control's size.
std::optional<ui::ScreenPicture> CoglMFCDialogDlg::capturePicture() {
    if (ui::canCaptureMainWindow()) return ui::captureMainWindow();
    COpenGLControl& gl = glControl();
    gl.OnTimer();
    const std::vector<std::uint8_t> rgba = gl.pixels();
    const ui::Rect& r = gl.windowRect();
    const std::size_t count = static_cast<std::size_t>(std::max(r.width(), 0)) * std::max(r.height(), 0);
    if (count == 0 || rgba.size() != count * 4) return std::nullopt;
    ui::ScreenPicture picture{r.width(), r.height(), std::vector<std::uint8_t>(count * 3)};
    for (std::size_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) picture.rgb[i * 3 + c] = rgba[i * 4 + c];
    return picture;
}

// One page: the picture at its top left, at the largest power of two that fits the page.
void CoglMFCDialogDlg::OnPrint() {
    const auto target = ui::prompts().choosePrinter();
    if (!target) return;
    const auto picture = capturePicture();
    if (!picture) {
        ui::showMessage(kCaptureFailed);
        return;
    }
    auto page = render::openPrintCanvas(target->path, "FEA Results");
    if (!page) {
        ui::prompts().messageBox(kPrintNotStarted, ui::kMessageCaption, ui::MessageIcon::Error,
                                 ui::MessageButtons::Ok);
        return;
    }
    const double scale =
        render::powerOfTwoFit(picture->width, picture->height, page->pageWidth(), page->pageHeight());
    page->picture(0, 0, picture->width * scale, picture->height * scale, picture->width, picture->height,
                  picture->rgb);
    if (!page->finish()) ui::showMessage(kPrintTransferFailed);
}

void CoglMFCDialogDlg::OnSize(int width, int height) {
    moveWindow({windowRect().left, windowRect().top, windowRect().left + width, windowRect().top + height});
    const ui::Rect& placed = glControl().windowRect();
    glControl().moveWindow({placed.left, placed.top, std::max(placed.left + 1, width - kMargin),
                            std::max(placed.top + 1, height - kMargin)});
}
