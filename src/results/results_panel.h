#pragma once
// The controls and handlers the two results dialogs share: the quantity list, step and displacement
// scale, the slice sliders, the band limits with LINEAR / APPLY, the Max / Min texts and the time
// history graph. The contours in the host view (CContours) and the results window
// (CoglMFCDialogDlg) derive from it and add only what differs: where they draw and how they report.
#include <array>
#include <string>

#include "formats/result_reader.h"
#include "mesh_solve/mesh_store.h"
#include "results/quantity_list.h"
#include "ui/dialog.h"

class CResultsPanel : public ui::Dialog {
  public:
    // Controls with the same id in both dialogs.
    enum SharedControlId {
        kStep = 1006,
        kNumeric = 1007,
        kAnimate = 1009,
        kApply = 1010,
        kLinear = 1011,
        kMin = 11034,
        kMax = 11035,
        kSliderX = 11047,
        kSliderY = 11048,
        kSliderZ = 11049,
    };
    // The nine inner limit edits, L9 (top) down to L1 (bottom).
    static constexpr std::array<int, 9> kLimitEdits{11066, 11088, 11067, 11068, 11069,
                                                    11070, 11071, 11072, 11073};

    // Controls each dialog numbers its own way.
    struct OwnIds {
        int quantityList;
        int plot;
        int scale;
        int sliceView;
        int timeGraph;
    };

    const OwnIds& ids() const { return ids_; }
    // The loadcase the panel shows results of.
    virtual int physics() const = 0;
    virtual int solutionType() const = 0;
    // The loadcase's job base path: its result file is this + ".out".
    virtual std::string jobBasePath() const = 0;

    void OnLinear();
    void OnApply();
    void OnTimeGraph();

    double displacementScale() const;
    // The step or mode number typed; below 1 reads as 1.
    int stepNumber() const;
    // Whether the step or mode number and the displacement scale hold numbers (an empty box reads
    // as its default); when one does not, says so naming the box and answers false.
    bool numbersReadable() const;
    static constexpr const char* kStepLabel = "Step/Mode No.";
    static constexpr const char* kScaleLabel = "Displacement Scale";
    std::array<int, 3> sliders() const;
    // The list position of the selected line (0, "Mesh", when none is selected).
    int selectedPosition() const;

  protected:
    CResultsPanel(ui::DialogTemplate tmpl, OwnIds ids);

    // The list of the loadcase's quantities, and the sliders at 100 over 0 to 100, disabled.
    void fillControls();
    void resetSliders(bool enabled);

    // How a Plot's reading went.
    struct Reading {
        bool tooHigh = false;   // a block numbered above the step or mode came first
        bool noValues = false;  // the file was read but gave no value of the quantity
        // Why there is nothing to show ("no results: ..." or a step or mode beyond the run's);
        // empty when the quantity was read. The display then stays as it was.
        std::string missing;
    };
    // Reads the vectors of `vectorKind` (none when negative; zeros when not read) and, for kinds
    // above the mesh, the values of the quantity at `position` into `out`. When the quantity (or a
    // mode shape) cannot be read, nothing changes and the reading says why. A reading that stores no value
    // (an empty block, no nodes) leaves the reader's starting range: it is shown as no values, limits 0, and
    // the mesh drawn plain. Then shows the quantity: the shared display state, band limits, the Max / Min
    // texts and the limit edits.
    Reading plotQuantity(int position, int vectorKind, results::NodeResults& out);
    // What the person is told when the result file has no block for `quantity` at `step`.
    std::string missingResultsText(const std::string& path, const results::Quantity& quantity,
                                   int step) const;
    static constexpr const char* kTooHighText = "mode or step number too high";

    // The band limits changed through LINEAR or APPLY: each display shows them its own way.
    virtual void limitsChanged() = 0;
    // A slider moved by a page or by its thumb (line steps and the final position are ignored).
    virtual void slidersMoved() = 0;

  private:
    void writeLimits();

    OwnIds ids_;
};

namespace results {

// Makes the library mesh the mesh of `path` for a results display (mesh_solve::useMeshFile, with
// `reread` asking for a new reading); a file the reader refuses is reported to the user once, when
// it is read.
mesh_solve::MeshFileUse readResultsMesh(const std::string& path, bool reread);

}  // namespace results
