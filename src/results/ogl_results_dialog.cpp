#include "results/ogl_results_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "addon/library_state.h"
#include "loadcase/analysis_code.h"
#include "loadcase/header_file.h"
#include "formats/mesh.h"
#include "mesh_solve/mesh_store.h"
#include "results/display_state.h"
#include "results/line_plot_dialog.h"
#include "results/quantity_list.h"
#include "ui/prompts.h"

using namespace results;
using ui::ControlKind;

namespace {

std::string formatG(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

}  // namespace

CoglMFCDialogDlg::CoglMFCDialogDlg() : ui::Dialog(makeTemplate()) {
    resetSharedResults();
    attachWidget(kPlaceholder, std::make_unique<COpenGLControl>(scene_));
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
    onClick(kLinear, [this] { OnLinear(); });
    onClick(kApply, [this] { OnApply(); });
    onClick(kPrint, [this] { OnPrint(); });
    onClick(kTimeGraph, [this] { OnTimeGraph(); });
    for (int id : {kSliderX, kSliderY, kSliderZ}) onScroll(id, [this](int code, int) { onSlider(code); });
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
        .add(0, ControlKind::Static, "Step/Mode No.", {8, 286, 120, 302})
        .add(kStep, ControlKind::Edit, "1", {124, 284, 200, 302})
        .add(0, ControlKind::Static, "Displacement Scale", {8, 308, 120, 324})
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
        .add(kColourBar, ControlKind::Static, "", {8, 476, 28, 656});
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
    const auto& lib = addon::library();
    const auto header = loadcase::readHeaderFile(lib.jobBasePath, {});
    physics_ = header.analysis.type;
    solutionType_ = header.analysis.solveIndex;
    clearItems(kQuantityList);
    for (const auto& q : offeredQuantities(physics_, solutionType_)) {
        const int index = addItem(kQuantityList, q.text);
        setItemData(kQuantityList, index, q.position);
    }
    for (int id : {kSliderX, kSliderY, kSliderZ}) {
        setRange(id, 0, 100);
        setPosition(id, 100);
    }
    glControl().moveWindow(control(kPlaceholder).tmpl.rect);
    scene_.loadMesh(header.fileRead ? header.meshPath : lib.meshFile);
    return true;
}

int CoglMFCDialogDlg::stepNumber() const {
    return std::max(1, std::atoi(text(kStep).c_str()));
}

int CoglMFCDialogDlg::selectedPosition() const {
    const int index = selection(kQuantityList);
    return index < 0 ? kPositionMesh : static_cast<int>(itemData(kQuantityList, index));
}

bool CoglMFCDialogDlg::naturalFrequencies() const {
    return physics_ == kPhysicsMechanical && solutionType_ == kSolutionNaturalFrequencies;
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

std::array<int, 3> CoglMFCDialogDlg::sliders() const {
    return {position(kSliderX), position(kSliderY), position(kSliderZ)};
}

void CoglMFCDialogDlg::OnPlot() {
    DisplayState& state = displayState();
    const int step = stepNumber();
    const double scale = std::atof(text(kScale).c_str());
    const int position = mappedPosition(selectedPosition());
    const Quantity& quantity = quantityAt(position);
    const std::string path = addon::library().jobBasePath + ".out";
    const ResultMesh mesh = ResultMesh::of(mesh_solve::libraryMesh());
    NodeResults& out = scene_.nodeResults();
    out.reset(static_cast<std::size_t>(std::max(mesh.nodeCount, 0)));
    state.kind = quantity.kind;
    state.item = quantity.item;
    state.position = position;

    bool tooHigh = false;
    const int vectorKind = quantity.kind == kKindModeShape ? kKindModeShape
                           : scale > 0                     ? kKindDisplacement
                                                           : -1;
    if (vectorKind >= 0) {
        const ReadStatus read = readResult(path, mesh, {vectorKind, kItemVector, step, solutionType_}, out);
        tooHigh = read == ReadStatus::TooHigh;
        if (read != ReadStatus::Read) std::fill(out.vectors.begin(), out.vectors.end(), 0.0);
    }
    if (quantity.kind >= kKindTemperature) {
        const ReadStatus read =
            readResult(path, mesh, {quantity.kind, quantity.item, step, solutionType_}, out);
        tooHigh = tooHigh || read == ReadStatus::TooHigh;
        if (read != ReadStatus::Read) out.zeroValues();
    }
    if (tooHigh)
        ui::prompts().messageBox(kTooHigh, "Results", ui::MessageIcon::Warning, ui::MessageButtons::Ok);
    factor_ = factorFor(scale);
    scene_.setPlottedFactor(factor_);

    state.limits = evenLimits(out.smallest, out.largest);
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "Max. %g %s", state.limits[10],
                  unitText(quantity.unit, addon::library().unitText).c_str());
    setText(kMax, buffer);
    std::snprintf(buffer, sizeof buffer, "Min. %g", state.limits[0]);
    setText(kMin, buffer);
    writeLimits();
    if (quantity.kind == kKindModeShape) {
        std::snprintf(buffer, sizeof buffer,
                      naturalFrequencies() ? "natural freq. = %g Hz" : "buckle load factor = %g",
                      out.modeValue);
        setText(kModeValue, buffer);
    } else {
        setText(kModeValue, "");
    }
    scene_.recomputePositions(factor_);
    scene_.recomputeRamp();
}

void CoglMFCDialogDlg::writeLimits() {
    const BandLimits& limits = displayState().limits;
    for (int k = 1; k <= 9; ++k) setText(kLimitEdits[9 - k], formatG(limits[k]));
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

void CoglMFCDialogDlg::onSlider(int code) {
    if (code != ui::kScrollPageUp && code != ui::kScrollPageDown && code != ui::kScrollThumbTrack) return;
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
    factor_ = factorFor(std::atof(text(kScale).c_str()));
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

void CoglMFCDialogDlg::OnLinear() {
    BandLimits& limits = displayState().limits;
    limits[1] = std::atof(text(kLimitEdits[8]).c_str());
    limits[9] = std::atof(text(kLimitEdits[0]).c_str());
    spaceInnerLimits(limits);
    writeLimits();
    scene_.recomputeRamp();
}

void CoglMFCDialogDlg::OnApply() {
    BandLimits& limits = displayState().limits;
    for (int k = 1; k <= 9; ++k) limits[k] = std::atof(text(kLimitEdits[9 - k]).c_str());
    scene_.recomputeRamp();
}

// Headless runs print to the PNG file the print prompt names: the picture at the control's size.
void CoglMFCDialogDlg::OnPrint() {
    const auto target = ui::prompts().choosePrinter();
    if (!target) return;
    if (target->path.empty()) {
        ui::prompts().messageBox(kPrintNotStarted, ui::kMessageCaption, ui::MessageIcon::Error,
                                 ui::MessageButtons::Ok);
        return;
    }
    COpenGLControl& gl = glControl();
    gl.OnTimer();
    if (gl.pixels().empty()) {
        ui::showMessage(kCaptureFailed);
        return;
    }
    const ui::Rect& r = gl.windowRect();
    if (!gl.snapshot(target->path, r.width(), r.height())) ui::showMessage(kPrintTransferFailed);
}

void CoglMFCDialogDlg::OnTimeGraph() {
    const int position = plotPosition(physics_, solutionType_, selectedPosition());
    const bool thermal = physics_ == kPhysicsThermal;
    const bool mechanical = physics_ == kPhysicsMechanical;
    const bool graphable = (position >= 1 && position <= 19) || (position >= 21 && position <= 23);
    if (!thermal && !(mechanical && graphable)) {
        ui::showMessage("No graph of this type");
        return;
    }
    const Quantity& quantity = quantityAt(position);
    CLinePlotTestDlg graph(thermal ? kKindTemperature : quantity.kind, thermal ? 0 : quantity.item,
                           addon::library().jobBasePath);
    graph.DoModal();
}

void CoglMFCDialogDlg::OnSize(int width, int height) {
    moveWindow({windowRect().left, windowRect().top, windowRect().left + width, windowRect().top + height});
    const ui::Rect& placed = glControl().windowRect();
    glControl().moveWindow({placed.left, placed.top, std::max(placed.left + 1, width - kMargin),
                            std::max(placed.top + 1, height - kMargin)});
}
