#pragma once
// The table editor (11057, "Table"): the user chooses the property or load component a table is
// for and fills a two-column table of (temperature or time, value) rows. Modal; the opener fills
// the grid, runs the editor and, after APPLY, reads the chosen list position and the cells.
#include <vector>

#include "loadcase/analysis_code.h"
#include "ui/dialog.h"
#include "widgets/editable_grid.h"

class CTableEditDlg : public ui::Dialog {
  public:
    // Material tables (temperature against a material property) or load tables (time against a
    // load component).
    enum class Mode { Material, Load };

    enum ControlId {
        kList = 1001,
        kPromptList = 11062,
        kPromptTable = 11063,
        kGrid = 11083,
        kInsert = 11045,
        kDelete = 11046,
        kApply = ui::kIdOk,
        kExit = ui::kIdCancel,
    };
    static constexpr int kDialogId = 11057;
    static constexpr const char* kNoChoiceMessage = "Select an item from the list";

    // `cls` is the analysis class of the current loadcase; it chooses the list's texts.
    CTableEditDlg(ui::Window* parent, Mode mode, loadcase::AnalysisClass cls);

    // The texts the list offers in `mode` for a loadcase of class `cls`.
    static const std::vector<const char*>& listTexts(Mode mode, loadcase::AnalysisClass cls);

    Mode mode() const { return mode_; }
    widgets::EditableGrid& grid() const { return widgetAs<widgets::EditableGrid>(kGrid); }
    // The default table: 2 columns, a header row and one data row of "0", column 0 widened by half.
    void fillDefaultGrid();

    // Runs the editor modally: kIdOk after APPLY, kIdCancel after EXIT or closing.
    int DoModal() { return runModal(); }
    // The list position chosen when APPLY closed the editor (from 0); -1 otherwise.
    int chosenItem() const { return chosen_; }

    void OnApply();
    void OnInsert();
    void OnDelete();

  protected:
    bool onInitDialog() override;

  private:
    static ui::DialogTemplate makeTemplate();

    Mode mode_;
    loadcase::AnalysisClass class_;
    int chosen_ = -1;
};
