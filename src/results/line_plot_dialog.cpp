#include "results/line_plot_dialog.h"

#include <cstdio>
#include <random>

#include "render/print_canvas.h"
#include "results/line_plot_widget.h"
#include "results/time_history.h"
#include "ui/prompts.h"
#include "widgets/text_entry_dlg.h"

using ui::ControlKind;

namespace {

std::function<std::time_t()>& seedClock() {
    static std::function<std::time_t()> c = [] { return std::time(nullptr); };
    return c;
}

constexpr const char* kNoSelection = "There is no plot selected.";

}  // namespace

CLinePlotTestDlg::CLinePlotTestDlg(int kind, int item, std::string jobBasePath)
    : ui::Dialog(makeTemplate()), kind_(kind), item_(item), jobBasePath_(std::move(jobBasePath)) {
    onClick(kFetch, [this] { OnFetchNodalData(); });
    onClick(kSetColour, [this] { OnSetCurrentColour(); });
    onClick(kRemove, [this] { OnRemoveCurrent(); });
    onClick(kPrint, [this] { OnPrint(); });
    onClick(kSave, [this] { OnSaveToFile(); });
    onClick(kShowList, [this] { OnShowList(); });
    onClick(kClear, [this] { clearItems(kList); });
    onClick(kNewFile, [] {});
    onSelectionChange(kStyle, [this] { OnStyleChosen(); });
    plot_.setParentNotify([this](int code) { onPlotNotify(code); });
    // A window shows the plot through this widget; the handlers that change the plot repaint it.
    attachWidget(kPlot, std::make_unique<LinePlotWidget>(plot_));
}

void CLinePlotTestDlg::repaintPlot() {
    if (auto* w = widget(kPlot)) static_cast<LinePlotWidget*>(w)->repaint();
}

ui::DialogTemplate CLinePlotTestDlg::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Time History Graph";
    t.rect = {0, 0, 900, 300};
    t.add(kFetch, ControlKind::Button, "Fetch nodal data", {8, 8, 190, 30})
        .add(kSetColour, ControlKind::Button, "Set Current Color", {8, 34, 190, 56})
        .add(kRemove, ControlKind::Button, "Remove Current", {8, 60, 190, 82})
        .add(kPrint, ControlKind::Button, "Print", {8, 86, 95, 108})
        .add(kSave, ControlKind::Button, "Save to File", {100, 86, 190, 108})
        .add(kShowList, ControlKind::Button, "Show List", {8, 112, 95, 134})
        .add(kNewFile, ControlKind::Button, "New File", {100, 112, 190, 134})
        .add(0, ControlKind::Static, "Current Plot Style:", {8, 140, 190, 156})
        .add(kStyle, ControlKind::ComboBox, "", {8, 158, 190, 180})
        .add(0, ControlKind::Static, "List", {8, 184, 100, 198})
        .add(kList, ControlKind::ListBox, "", {8, 200, 190, 270})
        .add(kClear, ControlKind::Button, "Clear", {8, 272, 95, 292})
        .add(kPlot, ControlKind::Custom, "", {200, 0, 900, 300});
    return t;
}

bool CLinePlotTestDlg::onInitDialog() {
    clearItems(kStyle);
    addItem(kStyle, "Line Style");
    addItem(kStyle, "Bar Style");
    moveWindow({windowRect().left, windowRect().top, windowRect().left + 900, windowRect().top + 300});
    return true;
}

void CLinePlotTestDlg::setClock(std::function<std::time_t()> c) {
    seedClock() = c ? std::move(c) : [] { return std::time(nullptr); };
}

// Seeded afresh for every series, as the graph always did: two series made in the same second share
// their colour.
std::uint32_t CLinePlotTestDlg::seriesColour(std::time_t seed) {
    std::minstd_rand random(static_cast<std::uint32_t>(seed));
    std::uint32_t colour = 0;
    for (int shift : {0, 8, 16}) {
        const std::uint32_t r = random() % 32768;
        colour |= (((r / 127) % 256 + 1) % 256) << shift;
    }
    return colour;
}

void CLinePlotTestDlg::OnFetchNodalData() {
    CTextEntryDlg entry;
    if (entry.Run(this, " ", "Enter node number to graph", "") != ui::kIdOk) return;
    const std::string path = jobBasePath_ + ".out";
    for (int node : results::parseNodeNumbers(entry.text())) {
        auto points = results::fetchNodeHistory(path, kind_, item_, node, results::midSideCorners(node));
        if (!points) continue;
        char name[32];
        std::snprintf(name, sizeof name, "Node %d", node);
        plot_.addSeries(name, seriesColour(seedClock()()), CPlotData::kLine, std::move(*points));
    }
    repaintPlot();
}

void CLinePlotTestDlg::OnSetCurrentColour() {
    const CPlotData* s = plot_.series(plot_.selectedSeries());
    if (s == nullptr) {
        ui::showMessage(kNoSelection);
        return;
    }
    if (auto colour = ui::prompts().chooseColour(s->colour()))
        plot_.setColour(plot_.selectedSeries(), *colour);
    repaintPlot();
}

void CLinePlotTestDlg::OnRemoveCurrent() {
    if (plot_.selectedSeries() < 0) {
        ui::showMessage(kNoSelection);
        return;
    }
    if (!plot_.removeSeries(plot_.selectedSeries())) ui::showMessage("Could not remove current plot.");
    repaintPlot();
}

void CLinePlotTestDlg::OnStyleChosen() {
    const int choice = selection(kStyle);
    if (plot_.selectedSeries() < 0) {
        ui::showMessage(kNoSelection);
        return;
    }
    if (choice == CPlotData::kLine || choice == CPlotData::kBar)
        plot_.setStyle(plot_.selectedSeries(), choice);
    repaintPlot();
}

void CLinePlotTestDlg::onPlotNotify(int code) {
    if (code != CLinePlot::kNotifySelectionChanged || !isCreated()) return;
    if (const CPlotData* s = plot_.series(plot_.selectedSeries())) setSelection(kStyle, s->style());
}

const CPlotData* CLinePlotTestDlg::selectedWithData() {
    const CPlotData* s = plot_.series(plot_.selectedSeries());
    if (s == nullptr) {
        ui::showMessage("No plot selected - select one and try again.");
        return nullptr;
    }
    if (s->count() == 0) {
        ui::showMessage("Selected plot has no data - try another.");
        return nullptr;
    }
    return s;
}

void CLinePlotTestDlg::OnShowList() {
    const CPlotData* s = plot_.series(plot_.selectedSeries());
    if (s == nullptr) {
        ui::showMessage("No plot selected - select one and try again.");
        return;
    }
    addItem(kList, s->name());
    addItem(kList, " ");
    if (s->count() == 0) {
        ui::showMessage("Selected plot has no data - try another.");
        return;
    }
    char line[96];
    for (const auto& p : s->points()) {
        // The value as the graph shows it: small values keep their digits instead of reading 0.000000.
        std::snprintf(line, sizeof line, "%g\t %g", p.x, p.y);
        addItem(kList, line);
    }
}

void CLinePlotTestDlg::OnSaveToFile() {
    const CPlotData* s = selectedWithData();
    if (s == nullptr) return;
    ui::FileRequest request;
    request.save = true;
    request.title = "Save Plot Data To....";
    request.initialName = s->name() + ".txt";
    request.defaultExtension = "txt";
    request.filter = "Text File (*.txt)|*.txt||";
    const auto path = ui::prompts().chooseFile(request);
    if (!path) return;
    // A file that cannot be made or written is reported, so the user never takes a failed save for
    // a saved one.
    std::FILE* file = std::fopen(path->c_str(), "w");
    bool written = file != nullptr;
    if (file != nullptr) {
        for (const auto& p : s->points()) std::fprintf(file, "%f\t%f\n", p.x, p.y);
        written = std::ferror(file) == 0;
        written = std::fclose(file) == 0 && written;
    }
    if (!written) ui::showMessage("Could not save the plot data to " + *path + ".");
}

void CLinePlotTestDlg::OnPrint() {
    const auto target = ui::prompts().choosePrinter();
    if (!target) return;
    auto page = render::openPrintCanvas(target->path, plot_.title());
    if (!page) {
        ui::showMessage("Cannot Start Print Job.");
        return;
    }
    page->setTextHeight(page->pageHeight() / 80.0);
    plot_.draw(*page, page->pageWidth(), page->pageHeight());
    if (!page->finish()) ui::showMessage("Cannot Start Print Job.");
}
