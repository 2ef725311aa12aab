#pragma once
// A widgets::EditableGrid on a wxGrid. A single fixed row or column shows as the grid's column or
// row labels; any other count of fixed rows or columns shows as read-only grey cells, so that the
// grid shows every model cell where the model has it. A person's click on a cell and typing into
// it become userClickCell / userEditCell; sync() shows texts, focus, widths and modes.
#include "ui_wx/widget_view.h"
#include "widgets/editable_grid.h"

class wxGrid;
class wxGridEvent;

namespace ui_wx {

class EditableGridView : public WidgetView {
  public:
    EditableGridView(wxWindow* parent, widgets::EditableGrid& model);
    wxWindow* window() override;
    void sync() override;
    wxGrid* grid() const { return grid_; }
    // The grid row and column showing model cell (row, column); -1 for a label.
    int gridRow(int row) const { return row - labelRows(); }
    int gridColumn(int column) const { return column - labelColumns(); }

  private:
    int labelRows() const { return model_.fixedRowCount() == 1 ? 1 : 0; }
    int labelColumns() const { return model_.fixedColumnCount() == 1 ? 1 : 0; }
    void onSelectCell(wxGridEvent& event);
    void onCellChanged(wxGridEvent& event);

    widgets::EditableGrid& model_;
    wxGrid* grid_;
    bool syncing_ = false;
};

}  // namespace ui_wx
