#include "results/contours_dialog.h"

#include <cstdio>
#include <cstdlib>

#include "addon/guarded_call.h"
#include "addon/library_state.h"
#include "mesh_solve/mesh_store.h"
#include "results/animation_pacer.h"
#include "results/contours_command.h"
#include "results/display_state.h"
#include "results/line_plot_dialog.h"
#include "results/quantity_list.h"
#include "formats/result_reader.h"
#include "ui/prompts.h"

using ui::ControlKind;
using namespace results;

namespace {

std::string formatG(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

}  // namespace

CContours::CContours(CContoursCommand* command) : ui::Dialog(makeTemplate()), command_(command) {
    onClick(kPlot, [this] { OnApply2(); });
    onClick(kExit, [this] { OnExit(); });
    onSelectionChange(kQuantityList, [this] {
        enable(kQuantityList, false);
        OnApply2();
        enable(kQuantityList, true);
    });
    onClick(kSliceView, [this] { OnSliceView(); });
    onClick(kAnimate, [this] { OnAnimate(); });
    onClick(kLinear, [this] { OnLinear(); });
    onClick(kApply, [this] { OnApply(); });
    onClick(kTimeGraph, [this] { OnTimeGraph(); });
    for (int id : {kSmooth, kLighting, kWireframe, kNumeric}) onClick(id, [this] { command_->redraw(); });
    for (int id : {kSliderX, kSliderY, kSliderZ}) onScroll(id, [this](int code, int) { onSlider(code); });
}

ui::DialogTemplate CContours::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Results";
    t.rect = {0, 0, 330, 520};
    t.add(kQuantityList, ControlKind::ListBox, "", {8, 8, 160, 200}, ui::kStyleNotify)
        .add(kPlot, ControlKind::Button, "PLOT", {170, 8, 240, 30})
        .add(kExit, ControlKind::Button, "EXIT", {250, 8, 320, 30})
        .add(0, ControlKind::Static, "Displacement scale", {170, 40, 260, 56})
        .add(kScale, ControlKind::Edit, "0", {262, 38, 320, 56})
        .add(0, ControlKind::Static, "Animation cycles", {170, 62, 260, 78})
        .add(kCycles, ControlKind::Edit, "0", {262, 60, 320, 78})
        .add(0, ControlKind::Static, "Step/Mode number", {170, 84, 260, 100})
        .add(kStep, ControlKind::Edit, "1", {262, 82, 320, 100})
        .add(kSliceView, ControlKind::CheckBox, "Slice view", {170, 108, 320, 124})
        .add(kSmooth, ControlKind::CheckBox, "Smooth", {170, 128, 320, 144})
        .add(kAnimate, ControlKind::CheckBox, "Animate", {170, 148, 320, 164})
        .add(kWireframe, ControlKind::CheckBox, "Wireframe", {170, 168, 320, 184})
        .add(kLighting, ControlKind::CheckBox, "Lighting", {170, 188, 320, 204})
        .add(kNumeric, ControlKind::CheckBox, "Numeric", {170, 208, 320, 224})
        .add(kSliderX, ControlKind::Slider, "", {8, 210, 160, 230}, ui::kStyleDisabled)
        .add(kSliderY, ControlKind::Slider, "", {8, 234, 160, 254}, ui::kStyleDisabled)
        .add(kSliderZ, ControlKind::Slider, "", {8, 258, 160, 278}, ui::kStyleDisabled)
        .add(kMax, ControlKind::Static, "Max", {8, 288, 320, 304})
        .add(kMin, ControlKind::Static, "Min", {8, 490, 320, 506});
    int y = 308;
    for (int id : kLimitEdits) {
        t.add(id, ControlKind::Edit, "", {8, y, 100, y + 18});
        y += 20;
    }
    t.add(kLinear, ControlKind::Button, "LINEAR", {120, 308, 200, 330})
        .add(kApply, ControlKind::Button, "APPLY", {120, 336, 200, 358})
        .add(kTimeGraph, ControlKind::Button, "Time Graph", {120, 364, 200, 386});
    return t;
}

bool CContours::onInitDialog() {
    clearItems(kQuantityList);
    for (const auto& q : offeredQuantities(command_->physics(), command_->solutionType())) {
        const int index = addItem(kQuantityList, q.text);
        setItemData(kQuantityList, index, q.position);
    }
    for (int id : {kSliderX, kSliderY, kSliderZ}) setRange(id, 0, 100);
    resetSliders(false);
    setCheck(kLighting, true);
    return true;
}

double CContours::displacementScale() const { return std::atof(text(kScale).c_str()); }

int CContours::stepNumber() const { return std::max(1, std::atoi(text(kStep).c_str())); }

std::array<int, 3> CContours::sliders() const { return {position(kSliderX), position(kSliderY), position(kSliderZ)}; }

int CContours::selectedPosition() const {
    const int index = selection(kQuantityList);
    return index < 0 ? kPositionMesh : static_cast<int>(itemData(kQuantityList, index));
}

void CContours::OnExit() {
    addon::guardedCall("CContours", "OnExit", [this] { command_->ExitCommand(); });
}

void CContours::OnApply2() {
    try {
        plot();
    } catch (...) {
        enable(kPlot, true);
        enable(kExit, true);
        ui::showMessage("problem in CContours::OnApply2");
    }
}

void CContours::plot() {
    DisplayState& state = displayState();
    const int step = stepNumber();
    const double scale = displacementScale();
    const int position = plotPosition(command_->physics(), command_->solutionType(), selectedPosition());
    const Quantity& quantity = quantityAt(position);
    const std::string path = addon::library().jobBasePath + ".out";
    const ResultMesh mesh = ResultMesh::of(mesh_solve::libraryMesh());
    NodeResults& out = command_->nodeResults();
    out.reset(static_cast<std::size_t>(std::max(mesh.nodeCount, 0)));

    bool tooHigh = false;
    if (scale > 0 || quantity.kind == kKindModeShape) {
        const int vectorKind = quantity.kind == kKindModeShape ? kKindModeShape
                               : command_->physics() == kPhysicsMechanical ? kKindDisplacement
                                                                           : -1;
        ReadStatus read = ReadStatus::Failed;
        if (vectorKind >= 0)
            read = readResult(path, mesh, {vectorKind, kItemVector, step, command_->solutionType()}, out);
        tooHigh = read == ReadStatus::TooHigh;
        if (read != ReadStatus::Read) std::fill(out.vectors.begin(), out.vectors.end(), 0.0);
    }
    const ReadStatus read = readResult(path, mesh, {quantity.kind, quantity.item, step, command_->solutionType()}, out);
    tooHigh = tooHigh || read == ReadStatus::TooHigh;
    if (read != ReadStatus::Read) out.zeroValues();
    if (tooHigh) setCaption("modenumber too high");

    state.kind = quantity.kind;
    state.item = quantity.item;
    state.limits = evenLimits(out.smallest, out.largest);
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "Max. %g %s", state.limits[10],
                  unitText(quantity.unit, addon::library().unitText).c_str());
    setText(kMax, buffer);
    std::snprintf(buffer, sizeof buffer, "Min. %g", state.limits[0]);
    setText(kMin, buffer);
    writeLimits();

    state.position = position;
    enable(kPlot, false);
    enable(kExit, false);
    const int cycles = std::atoi(text(kCycles).c_str());
    if (isChecked(kAnimate) && cycles > 0)
        animate(cycles);
    else
        command_->setPhase(1.0f);
    command_->redraw();
    enable(kPlot, true);
    enable(kExit, true);
}

// The phase runs 1 -> 0 -> 1 in 40 frames per cycle and ends at 1, the full deformation.
void CContours::animate(int cycles) {
    AnimationPacer& pacer = animationPacer();
    const long frames = static_cast<long>(cycles) * 40 + 1;
    float phase = 0.95f, increment = 0.05f;
    for (long frame = 0; frame < frames; ++frame) {
        phase += increment;
        if (!pacer.dispatchMessages()) break;
        pacer.waitForFrame();
        phase = std::clamp(phase, 0.0f, 1.0f);
        command_->setPhase(phase);
        command_->redraw();
        if (phase > 0.999f || phase < 0.001f) increment = -increment;
    }
}

void CContours::writeLimits() {
    const BandLimits& limits = displayState().limits;
    for (int k = 1; k <= 9; ++k) setText(kLimitEdits[9 - k], formatG(limits[k]));
}

void CContours::OnLinear() {
    BandLimits& limits = displayState().limits;
    limits[1] = std::atof(text(kLimitEdits[8]).c_str());
    limits[9] = std::atof(text(kLimitEdits[0]).c_str());
    spaceInnerLimits(limits);
    writeLimits();
    command_->redraw();
}

void CContours::OnApply() {
    BandLimits& limits = displayState().limits;
    for (int k = 1; k <= 9; ++k) limits[k] = std::atof(text(kLimitEdits[9 - k]).c_str());
    command_->redraw();
}

void CContours::resetSliders(bool enabled) {
    for (int id : {kSliderX, kSliderY, kSliderZ}) {
        setPosition(id, 100);
        enable(id, enabled);
    }
}

void CContours::OnSliceView() {
    DisplayState& state = displayState();
    state.sliceView = isChecked(kSliceView);
    resetSliders(state.sliceView);
    setCheck(kAnimate, false);
    state.animate = false;
    command_->releaseBuffers();
    command_->rebuildTriangles();
    command_->recomputeSliceFlags(sliders());
    command_->redraw();
}

void CContours::OnAnimate() {
    DisplayState& state = displayState();
    state.animate = isChecked(kAnimate);
    if (state.sliceView) {
        setCheck(kSliceView, false);
        state.sliceView = false;
        resetSliders(false);
        command_->recomputeSliceFlags(sliders());
    }
    command_->releaseBuffers();
    command_->rebuildTriangles();
    command_->redraw();
}

void CContours::onSlider(int code) {
    if (code != ui::kScrollPageUp && code != ui::kScrollPageDown && code != ui::kScrollThumbTrack) return;
    command_->recomputeSliceFlags(sliders());
    command_->redraw();
}

void CContours::OnTimeGraph() {
    const int position = plotPosition(command_->physics(), command_->solutionType(), selectedPosition());
    const bool thermal = command_->physics() == kPhysicsThermal;
    const bool mechanical = command_->physics() == kPhysicsMechanical;
    const bool graphable = (position >= 1 && position <= 19) || (position >= 21 && position <= 23);
    if (!thermal && !(mechanical && graphable)) {
        ui::showMessage("No graph of this type");
        return;
    }
    const Quantity& quantity = quantityAt(position);
    const int kind = thermal ? kKindTemperature : quantity.kind;
    const int item = thermal ? 0 : quantity.item;
    CLinePlotTestDlg graph(kind, item, addon::library().jobBasePath);
    graph.DoModal();
}
