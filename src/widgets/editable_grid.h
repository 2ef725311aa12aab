#pragma once
// The editable grid's model: rows and columns of text cells, fixed (header) rows and columns at
// the top and left, the cell that has the focus, row insertion and deletion, and column widths in
// pixels. A window-system backend shows the model (a wxGrid: fixed rows and columns as labels) and
// turns a person's clicks and typing into the user* calls.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ui/custom_widget.h"

namespace widgets {

struct GridCell {
    int row = 0;
    int column = 0;
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

class EditableGrid : public ui::CustomWidget {
  public:
    // Width of one character and the margin around a cell's text when columns are sized to their
    // contents; a backend that measures real text replaces these by its font's sizes.
    static constexpr int kCharWidth = 7;
    static constexpr int kCellMargin = 8;
    static constexpr int kDefaultColumnWidth = 80;

    // ---- shape ----
    // Rows and columns added take empty cells and the default width; removed ones drop their cells.
    void setRowCount(int rows);
    void setColumnCount(int columns);
    int rowCount() const { return static_cast<int>(cells_.size()); }
    int columnCount() const { return columns_; }
    void setFixedRowCount(int rows) {
        fixedRows_ = std::max(rows, 0);
        changed();
    }
    void setFixedColumnCount(int columns) {
        fixedColumns_ = std::max(columns, 0);
        changed();
    }
    int fixedRowCount() const { return fixedRows_; }
    int fixedColumnCount() const { return fixedColumns_; }
    bool isFixed(int row, int column) const { return row < fixedRows_ || column < fixedColumns_; }

    // Whole-row selection (a list) and whether a person may type into the cells.
    void setListMode(bool list) {
        listMode_ = list;
        changed();
    }
    bool listMode() const { return listMode_; }
    void setEditable(bool editable) {
        editable_ = editable;
        changed();
    }
    bool isEditable() const { return editable_; }

    // ---- cells ----
    // Out-of-range cells read "" and ignore writes.
    void setCellText(int row, int column, const std::string& text);
    std::string cellText(int row, int column) const;

    // ---- focus ----
    std::optional<GridCell> focusCell() const { return focus_; }
    // The row of the focused cell, -1 when no cell has the focus.
    int focusRow() const { return focus_ ? focus_->row : -1; }
    // Gives the focus to a cell that is not fixed; anything else takes the focus away.
    void setFocusCell(int row, int column);
    void clearFocus() {
        focus_.reset();
        changed();
    }

    // ---- rows ----
    // Inserts a row before `before` (at the end when `before` is -1 or past the last row); its
    // first column reads `heading`. Answers the new row's index. A focused cell at or below it
    // moves down with its row.
    int insertRow(const std::string& heading, int before = -1);
    // Deletes row `row`; a focus in it is lost, a focus below it moves up with its row.
    bool deleteRow(int row);

    // ---- column widths (pixels) ----
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    // Sizes every column to its widest text.
    void autoSizeColumns();
    void autoSizeColumn(int column);

    // ---- what a person does; each answers false when it cannot be done ----
    // Clicks a cell: a cell that is not fixed takes the focus.
    bool userClickCell(int row, int column);
    // Types `text` into a cell that is not fixed (the cell takes the focus too).
    bool userEditCell(int row, int column, const std::string& text);

    // The cells as text, one row a line, cells separated by " | ", for tests and scripts.
    std::string dump() const;

  private:
    bool inRange(int row, int column) const {
        return row >= 0 && row < rowCount() && column >= 0 && column < columns_;
    }

    std::vector<std::vector<std::string>> cells_;
    std::vector<int> widths_;
    int columns_ = 0;
    int fixedRows_ = 0;
    int fixedColumns_ = 0;
    bool listMode_ = false;
    bool editable_ = true;
    std::optional<GridCell> focus_;
};

}  // namespace widgets
