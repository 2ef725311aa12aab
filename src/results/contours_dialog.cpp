#include "results/contours_dialog.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "addon_base/guarded_call.h"
#include "addon_base/library_state.h"
#include "mesh_solve/mesh_store.h"
#include "results/animation_pacer.h"
#include "results/contours_command.h"
#include "results/display_state.h"
#include "ui/prompts.h"

using ui::ControlKind;
using namespace results;

CContours::CContours(CContoursCommand* command)
    : CResultsPanel(makeTemplate(), {kQuantityList, kPlot, kScale, kSliceView, kTimeGraph}),
      command_(command) {
    onClick(kPlot, [this] { OnApply2(); });
    onClick(kExit, [this] { OnExit(); });
    onSelectionChange(kQuantityList, [this] {
        enable(kQuantityList, false);
        OnApply2();
        enable(kQuantityList, true);
    });
    onClick(kSliceView, [this] { OnSliceView(); });
    onClick(kAnimate, [this] { OnAnimate(); });
    for (int id : {int{kSmooth}, int{kLighting}, int{kWireframe}, int{kNumeric}})
        onClick(id, [this] { command_->redraw(); });
    // The arrows need the step's velocities: switching them reads the plot again.
    onClick(kArrows, [this] { OnApply2(); });
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
        .add(kArrows, ControlKind::CheckBox, "Velocity arrows", {170, 228, 320, 244})
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
    fillControls();
    setCheck(kLighting, true);
    show(kArrows, physics() == kPhysicsFluid);
    return true;
}

bool CContours::showsArrows() const {
    return physics() == kPhysicsFluid && isChecked(kArrows);
}

int CContours::physics() const {
    return command_->physics();
}

int CContours::solutionType() const {
    return command_->solutionType();
}

std::string CContours::jobBasePath() const {
    return command_->document().jobBasePath();
}

void CContours::OnExit() {
    // While the animation runs inside PLOT, EXIT stops it at once; the command ends when PLOT has
    // returned from it, not under its feet.
    if (animating_) {
        exitAfterAnimation_ = true;
        return;
    }
    addon::guardedCall("CContours", "OnExit", [this] { command_->ExitCommand(); });
}

void CContours::OnApply2() {
    try {
        plot();
    } catch (...) {
        animating_ = false;
        enable(kPlot, true);
        enable(kExit, true);
        ui::showMessage("problem in CContours::OnApply2");
    }
    if (std::exchange(exitAfterAnimation_, false)) OnExit();
}

// Mode shapes are always read as vectors; displacements only to draw a deformed shape of a
// mechanical or thermal stress loadcase (natural frequencies write none), a flow's velocities only
// for its arrows.
void CContours::plot() {
    const int position = plotPosition(physics(), solutionType(), selectedPosition());
    const int kind = quantityAt(position).kind;
    int vectorKind = -1;
    if (kind == kKindModeShape)
        vectorKind = kKindModeShape;
    else if (displacementScale() > 0 &&
             (physics() == kPhysicsMechanical ||
              (physics() == kPhysicsMultiphysics && !hasNaturalFrequencies(physics(), solutionType()))))
        vectorKind = kKindDisplacement;
    else if (showsArrows())
        vectorKind = kKindVelocity;
    const Reading reading = plotQuantity(position, vectorKind, command_->nodeResults());
    if (reading.tooHigh) setCaption("modenumber too high");
    if (!reading.missing.empty()) {
        ui::showMessage(reading.missing);  // the picture stays as it was
        return;
    }

    // EXIT stays usable: it is how a person stops a long animation.
    enable(kPlot, false);
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
    animating_ = true;
    for (long frame = 0; frame < frames; ++frame) {
        phase += increment;
        if (!pacer.dispatchMessages() || exitAfterAnimation_) break;
        pacer.waitForFrame();
        phase = std::clamp(phase, 0.0f, 1.0f);
        command_->setPhase(phase);
        command_->redraw();
        if (phase > 0.999f || phase < 0.001f) increment = -increment;
    }
    animating_ = false;
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

void CContours::limitsChanged() {
    command_->redraw();
}

void CContours::slidersMoved() {
    command_->recomputeSliceFlags(sliders());
    command_->redraw();
}
