#include "widgets/editable_grid.h"

namespace widgets {

// ---- shape ----

void EditableGrid::setRowCount(int rows) {
    cells_.resize(static_cast<std::size_t>(std::max(rows, 0)), std::vector<std::string>(columns_));
    if (focus_ && focus_->row >= rowCount()) focus_.reset();
    changed();
}

void EditableGrid::setColumnCount(int columns) {
    columns_ = std::max(columns, 0);
    for (auto& row : cells_) row.resize(columns_);
    widths_.resize(columns_, kDefaultColumnWidth);
    if (focus_ && focus_->column >= columns_) focus_.reset();
    changed();
}

// ---- cells ----

void EditableGrid::setCellText(int row, int column, const std::string& text) {
    if (!inRange(row, column)) return;
    cells_[row][column] = text;
    changed();
}

std::string EditableGrid::cellText(int row, int column) const {
    return inRange(row, column) ? cells_[row][column] : std::string();
}

// ---- focus ----

void EditableGrid::setFocusCell(int row, int column) {
    if (inRange(row, column) && !isFixed(row, column)) {
        focus_ = GridCell{row, column};
    } else {
        focus_.reset();
    }
    changed();
}

// ---- rows ----

int EditableGrid::insertRow(const std::string& heading, int before) {
    const int at = (before < 0 || before > rowCount()) ? rowCount() : before;
    std::vector<std::string> row(columns_);
    if (columns_ > 0) row[0] = heading;
    cells_.insert(cells_.begin() + at, std::move(row));
    if (focus_ && focus_->row >= at) ++focus_->row;
    changed();
    return at;
}

bool EditableGrid::deleteRow(int row) {
    if (row < 0 || row >= rowCount()) return false;
    cells_.erase(cells_.begin() + row);
    if (focus_ && focus_->row == row) {
        focus_.reset();
    } else if (focus_ && focus_->row > row) {
        --focus_->row;
    }
    changed();
    return true;
}

// ---- column widths ----

int EditableGrid::columnWidth(int column) const {
    return column >= 0 && column < columns_ ? widths_[column] : 0;
}

void EditableGrid::setColumnWidth(int column, int width) {
    if (column < 0 || column >= columns_) return;
    widths_[column] = std::max(width, 0);
    changed();
}

void EditableGrid::autoSizeColumn(int column) {
    if (column < 0 || column >= columns_) return;
    std::size_t longest = 0;
    for (const auto& row : cells_) longest = std::max(longest, row[column].size());
    widths_[column] = static_cast<int>(longest) * kCharWidth + 2 * kCellMargin;
    changed();
}

void EditableGrid::autoSizeColumns() {
    for (int c = 0; c < columns_; ++c) autoSizeColumn(c);
}

// ---- a person's actions ----

bool EditableGrid::userClickCell(int row, int column) {
    if (!acceptsInput() || !inRange(row, column) || isFixed(row, column)) return false;
    setFocusCell(row, column);
    return true;
}

bool EditableGrid::userEditCell(int row, int column, const std::string& text) {
    if (!editable_ || !userClickCell(row, column)) return false;
    setCellText(row, column, text);
    return true;
}

std::string EditableGrid::dump() const {
    std::string out;
    for (const auto& row : cells_) {
        for (int c = 0; c < columns_; ++c) out += (c > 0 ? " | " : "") + row[c];
        out += "\n";
    }
    return out;
}

}  // namespace widgets
