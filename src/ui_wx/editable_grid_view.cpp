#include "ui_wx/editable_grid_view.h"

#include <wx/grid.h>
#include <wx/settings.h>

#include <algorithm>

#include "ui_wx/wx_text.h"

namespace ui_wx {

EditableGridView::EditableGridView(wxWindow* parent, widgets::EditableGrid& model)
    : model_(model), grid_(new wxGrid(parent, wxID_ANY)) {
    grid_->CreateGrid(0, 0);
    // The labels in the dialog's own face, not the grid's large bold default.
    grid_->SetLabelFont(parent->GetFont().Bold());
    grid_->SetDefaultCellFont(parent->GetFont());
    grid_->DisableDragRowSize();
    grid_->Bind(wxEVT_GRID_SELECT_CELL, &EditableGridView::onSelectCell, this);
    grid_->Bind(wxEVT_GRID_CELL_CHANGED, &EditableGridView::onCellChanged, this);
    sync();
}

wxWindow* EditableGridView::window() {
    return grid_;
}

void EditableGridView::sync() {
    syncing_ = true;
    const int lr = labelRows(), lc = labelColumns();
    const int rows = std::max(model_.rowCount() - lr, 0), cols = std::max(model_.columnCount() - lc, 0);
    grid_->BeginBatch();
    if (grid_->GetNumberRows() > rows) grid_->DeleteRows(rows, grid_->GetNumberRows() - rows);
    if (grid_->GetNumberRows() < rows) grid_->AppendRows(rows - grid_->GetNumberRows());
    if (grid_->GetNumberCols() > cols) grid_->DeleteCols(cols, grid_->GetNumberCols() - cols);
    if (grid_->GetNumberCols() < cols) grid_->AppendCols(cols - grid_->GetNumberCols());

    grid_->SetColLabelSize(lr ? grid_->GetDefaultRowSize() : 0);
    grid_->SetRowLabelSize(lc ? model_.columnWidth(0) : 0);
    for (int c = 0; c < cols; ++c) {
        grid_->SetColLabelValue(c, lr ? toWx(model_.cellText(0, c + lc)) : wxString());
        grid_->SetColSize(c, model_.columnWidth(c + lc));
    }
    const wxColour grey = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    for (int r = 0; r < rows; ++r) {
        grid_->SetRowLabelValue(r, lc ? toWx(model_.cellText(r + lr, 0)) : wxString());
        for (int c = 0; c < cols; ++c) {
            const bool fixed = model_.isFixed(r + lr, c + lc);
            grid_->SetCellValue(r, c, toWx(model_.cellText(r + lr, c + lc)));
            grid_->SetReadOnly(r, c, fixed);
            grid_->SetCellBackgroundColour(r, c, fixed ? grey : grid_->GetDefaultCellBackgroundColour());
        }
    }
    grid_->SetSelectionMode(model_.listMode() ? wxGrid::wxGridSelectRows : wxGrid::wxGridSelectCells);
    // A list selects whole rows and may still be typed into (the table editor's rows).
    grid_->EnableEditing(model_.isEditable());
    // The cursor frame shows only while the model has a focus cell.
    grid_->SetCellHighlightPenWidth(model_.focusCell() ? 2 : 0);
    if (const auto focus = model_.focusCell()) {
        const int r = gridRow(focus->row), c = gridColumn(focus->column);
        if (r >= 0 && c >= 0 && r < rows && c < cols) {
            if (grid_->GetGridCursorRow() != r || grid_->GetGridCursorCol() != c) grid_->SetGridCursor(r, c);
            if (model_.listMode()) grid_->SelectRow(r);
        }
    } else {
        grid_->ClearSelection();
    }
    grid_->EndBatch();
    syncing_ = false;
}

void EditableGridView::onSelectCell(wxGridEvent& event) {
    event.Skip();
    if (syncing_) return;
    model_.userClickCell(event.GetRow() + labelRows(), event.GetCol() + labelColumns());
}

void EditableGridView::onCellChanged(wxGridEvent& event) {
    if (syncing_) return;
    const int r = event.GetRow(), c = event.GetCol();
    if (!model_.userEditCell(r + labelRows(), c + labelColumns(), fromWx(grid_->GetCellValue(r, c))))
        event.Veto();  // the model refused: the cell keeps the model's text
}

}  // namespace ui_wx
