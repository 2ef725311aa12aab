#include "model/table_text.h"

#include <cstdio>

namespace model {

namespace {

std::string formatNameAndCount(CTableEditDlg::Mode mode, int index, int count, bool withCount) {
    const bool material = mode == CTableEditDlg::Mode::Material;
    char text[64];
    if (withCount) {
        std::snprintf(text, sizeof text, material ? "tabm%d, %d" : "tabl%d, %d", index, count);
    } else {
        std::snprintf(text, sizeof text, material ? "tabm%d" : "tabl%d", index);
    }
    return text;
}

}  // namespace

std::string tableName(CTableEditDlg::Mode mode, int index) {
    return formatNameAndCount(mode, index, 0, false);
}

std::string tableText(CTableEditDlg::Mode mode, int index, const widgets::EditableGrid& grid) {
    const int rows = grid.rowCount();
    std::string text = formatNameAndCount(mode, index, rows > 0 ? rows - 1 : 0, true);
    for (int column = 0; column < 2; ++column) {
        for (int row = 1; row < rows; ++row) text += ", " + grid.cellText(row, column);
    }
    return text;
}

}  // namespace model
