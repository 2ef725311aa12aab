#pragma once
// The text of a table entry and the table's name, as material fields and action values refer to it.
#include <string>

#include "model/table_edit_dlg.h"
#include "widgets/editable_grid.h"

namespace model {

// "tabm2" (material tables) or "tabl2" (load tables) for list position 2.
std::string tableName(CTableEditDlg::Mode mode, int index);

// The table's entry text: the name and the number of data rows ("tabm2, 3"), then ", " and each
// data row's first cell, then ", " and each data row's second cell. Cells are copied as typed.
// The grid's first row is its header.
std::string tableText(CTableEditDlg::Mode mode, int index, const widgets::EditableGrid& grid);

}  // namespace model
