#include "model/table_text.h"

#include <cstdio>

namespace model {

std::string tableName(CTableEditDlg::Mode mode, int index) {
    char text[32];
    std::snprintf(text, sizeof text, mode == CTableEditDlg::Mode::Material ? "tabm%d" : "tabl%d", index);
    return text;
}

std::string tableCells(const widgets::EditableGrid& grid) {
    const int rows = grid.rowCount();
    std::string text = ", " + std::to_string(rows > 0 ? rows - 1 : 0);
    for (int column = 0; column < 2; ++column) {
        for (int row = 1; row < rows; ++row) text += ", " + grid.cellText(row, column);
    }
    return text;
}

std::string tableText(CTableEditDlg::Mode mode, int index, const widgets::EditableGrid& grid) {
    return tableName(mode, index) + tableCells(grid);
}

std::string newTableName(const std::string& positionName, const std::string& cells,
                         const std::vector<std::string>& storedTables) {
    const auto stored = [&](const std::string& name) -> const std::string* {
        for (const auto& text : storedTables)
            if (text.compare(0, text.find(','), name) == 0) return &text;
        return nullptr;
    };
    for (int suffix = 1;; ++suffix) {
        const std::string name = suffix == 1 ? positionName : positionName + "_" + std::to_string(suffix);
        const std::string* text = stored(name);
        if (!text || *text == name + cells) return name;
    }
}

}  // namespace model
