#include "results/results_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "addon_base/library_state.h"
#include "mesh_solve/mesh_store.h"
#include "mesh_solve/program_runs.h"
#include "results/display_state.h"
#include "results/line_plot_dialog.h"
#include "ui/prompts.h"

using namespace results;

namespace {

std::string formatG(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

}  // namespace

CResultsPanel::CResultsPanel(ui::DialogTemplate tmpl, OwnIds ids) : ui::Dialog(std::move(tmpl)), ids_(ids) {
    onClick(kLinear, [this] { OnLinear(); });
    onClick(kApply, [this] { OnApply(); });
    onClick(ids_.timeGraph, [this] { OnTimeGraph(); });
    for (int id : {kSliderX, kSliderY, kSliderZ})
        onScroll(id, [this](int code, int) {
            if (code == ui::kScrollPageUp || code == ui::kScrollPageDown || code == ui::kScrollThumbTrack)
                slidersMoved();
        });
}

namespace {

// Runs of older solvers wrote no heat flux: their result file does not offer it. Without a result
// file the next run will write it.
bool offersHeatFlux(const std::string& resultPath) {
    std::error_code error;
    return !std::filesystem::exists(resultPath, error) || holdsBlock(resultPath, kKindHeatFlux);
}

}  // namespace

void CResultsPanel::fillControls() {
    clearItems(ids_.quantityList);
    const bool heatFlux = carriesHeat(physics(), solutionType()) && offersHeatFlux(jobBasePath() + ".out");
    // Only the analyses with stresses or temperatures write an estimate, and older runs wrote none.
    const bool errorEstimate = holdsBlock(jobBasePath() + ".out", kKindErrorEstimate);
    for (const auto& q : offeredQuantities(physics(), solutionType(), heatFlux, errorEstimate)) {
        const int index = addItem(ids_.quantityList, q.text);
        setItemData(ids_.quantityList, index, q.position);
    }
    for (int id : {kSliderX, kSliderY, kSliderZ}) setRange(id, 0, 100);
    resetSliders(false);
}

void CResultsPanel::resetSliders(bool enabled) {
    for (int id : {kSliderX, kSliderY, kSliderZ}) {
        setPosition(id, 100);
        enable(id, enabled);
    }
}

double CResultsPanel::displacementScale() const {
    return std::atof(text(ids_.scale).c_str());
}

int CResultsPanel::stepNumber() const {
    return std::max(1, std::atoi(text(kStep).c_str()));
}

namespace {

// The text holds one number (blanks around it allowed), or nothing at all.
// "step 2" or "steps 2, 4, 6": the numbers of the blocks a run wrote, the first and last few of a
// long list.
std::string writtenSteps(const std::vector<int>& numbers) {
    constexpr std::size_t kShown = 4;
    std::string text = numbers.size() == 1 ? "step " : "steps ";
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (numbers.size() > 2 * kShown && i == kShown) {
            text += ", ...";
            i = numbers.size() - kShown;
        }
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    }
    return text;
}

bool blankOrNumber(const std::string& text, bool whole) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return true;
    const char* begin = text.c_str() + start;
    char* end = nullptr;
    const double value = whole ? static_cast<double>(std::strtol(begin, &end, 10)) : std::strtod(begin, &end);
    if (end == begin || !std::isfinite(value)) return false;
    while (*end == ' ' || *end == '\t') ++end;
    return *end == '\0';
}

}  // namespace

bool CResultsPanel::numbersReadable() const {
    const std::pair<int, const char*> boxes[] = {{kStep, kStepLabel}, {ids_.scale, kScaleLabel}};
    for (const auto& [id, label] : boxes) {
        if (blankOrNumber(text(id), id == kStep)) continue;
        ui::showMessage(std::string(label) + ": \"" + text(id) + "\" is not a number.");
        return false;
    }
    return true;
}

std::array<int, 3> CResultsPanel::sliders() const {
    return {position(kSliderX), position(kSliderY), position(kSliderZ)};
}

int CResultsPanel::selectedPosition() const {
    const int index = selection(ids_.quantityList);
    return index < 0 ? kPositionMesh : static_cast<int>(itemData(ids_.quantityList, index));
}

CResultsPanel::Reading CResultsPanel::plotQuantity(int position, int vectorKind, NodeResults& out) {
    DisplayState& state = displayState();
    const Quantity& quantity = quantityAt(position);
    const int step = stepNumber();
    const std::string path = jobBasePath() + ".out";
    const ResultMesh mesh = ResultMesh::of(mesh_solve::libraryMesh());
    NodeResults fresh;
    fresh.reset(static_cast<std::size_t>(std::max(mesh.nodeCount, 0)));

    Reading reading;
    ReadStatus vectorRead = ReadStatus::Failed;
    if (vectorKind >= 0) {
        vectorRead = readResult(path, mesh, {vectorKind, kItemVector, step, solutionType()}, fresh);
        reading.tooHigh = vectorRead == ReadStatus::TooHigh;
        if (vectorRead != ReadStatus::Read) std::fill(fresh.vectors.begin(), fresh.vectors.end(), 0.0);
    }
    ReadStatus read = ReadStatus::Failed;
    if (quantity.kind >= kKindTemperature) {
        read = readResult(path, mesh, {quantity.kind, quantity.item, step, solutionType()}, fresh);
        reading.tooHigh = reading.tooHigh || read == ReadStatus::TooHigh;
        // Zeros drawn as a result would look like one: the last picture stays and the person is told.
        if (read != ReadStatus::Read || (vectorKind == kKindModeShape && vectorRead != ReadStatus::Read)) {
            reading.missing = missingResultsText(path, quantity, step);
            return reading;
        }
    }
    out = std::move(fresh);
    state.kind = quantity.kind;
    state.item = quantity.item;
    state.position = position;
    reading.noValues = read == ReadStatus::Read && out.smallest > out.largest;
    if (read != ReadStatus::Read || reading.noValues) out.zeroValues();
    state.noValues = reading.noValues;

    state.limits = evenLimits(out.smallest, out.largest);
    if (reading.noValues) {
        setText(kMax, noValuesText(quantity.legendLabel));
        setText(kMin, "");
    } else {
        char buffer[128];
        std::snprintf(buffer, sizeof buffer, "Max. %g %s", state.limits[10],
                      unitText(unitClassAt(position, physics()), addon::library().unitText).c_str());
        setText(kMax, buffer);
        std::snprintf(buffer, sizeof buffer, "Min. %g", state.limits[0]);
        setText(kMin, buffer);
    }
    writeLimits();
    return reading;
}

std::string CResultsPanel::missingResultsText(const std::string& path, const Quantity& quantity,
                                              int step) const {
    const BlockCount count = countBlocks(path, quantity.kind);
    const bool modes = quantity.kind == kKindModeShape;
    if (count.blocks > 0 && step > count.highest) {
        if (modes)
            return "mode or step number too high: the run has " + std::to_string(count.blocks) + " modes";
        return "mode or step number too high: the last step of the run is " + std::to_string(count.highest);
    }
    // A gap in the numbering: a run that printed every n-th step has no step 1, for one; the steps
    // it wrote tell what to type.
    if (count.blocks > 0) return std::string(kTooHighText) + ": the run wrote " + writtenSteps(count.numbers);
    // The solver's own reason, when the add-on saw the last solve of this loadcase fail.
    const std::string failure = mesh_solve::programRuns().lastSolveFailure(jobBasePath());
    if (!failure.empty()) return "no results: " + failure;
    if (!count.fileRead) return "no results: " + path + " does not exist; solve the loadcase first";
    return "no results: " + path + " holds no " + std::string(quantity.legendLabel) +
           " results; solve the loadcase first";
}

void CResultsPanel::writeLimits() {
    const BandLimits& limits = displayState().limits;
    for (int k = 1; k <= 9; ++k) setText(kLimitEdits[9 - k], formatG(limits[k]));
}

void CResultsPanel::OnLinear() {
    BandLimits& limits = displayState().limits;
    limits[1] = std::atof(text(kLimitEdits[8]).c_str());
    limits[9] = std::atof(text(kLimitEdits[0]).c_str());
    spaceInnerLimits(limits);
    writeLimits();
    limitsChanged();
}

void CResultsPanel::OnApply() {
    BandLimits& limits = displayState().limits;
    for (int k = 1; k <= 9; ++k) limits[k] = std::atof(text(kLimitEdits[9 - k]).c_str());
    limitsChanged();
}

mesh_solve::MeshFileUse results::readResultsMesh(const std::string& path, bool reread) {
    mesh_solve::MeshFileUse use = mesh_solve::useMeshFile(path, reread);
    if (use.read && use.result.status == mesh_solve::MeshReadStatus::Refused)
        ui::showMessage(use.result.message);
    return use;
}

void CResultsPanel::OnTimeGraph() {
    const int position = plotPosition(physics(), solutionType(), selectedPosition());
    if (!hasTimeHistory(position, physics())) {
        ui::showMessage("No graph of this type");
        return;
    }
    const Quantity& quantity = quantityAt(position);
    CLinePlotTestDlg graph(quantity.kind, quantity.item, jobBasePath());
    graph.DoModal();
}
