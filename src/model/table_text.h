#pragma once
// The text of a table entry and the table's name, as material fields and action values refer to it.
#include <string>
#include <vector>

#include "model/table_edit_dlg.h"
#include "widgets/editable_grid.h"

namespace model {

// "tabm2" (material tables) or "tabl2" (load tables) for list position 2.
std::string tableName(CTableEditDlg::Mode mode, int index);

// The name a newly made table is stored under, given the texts of the stored tables: the list
// position's own name ("tabl3") when no stored table has it or the one that has it holds the same
// cells; else the stored table of that position with the same cells, or the first free "tabl3_2",
// "tabl3_3", ... so that each table the user makes reaches the solver as its own.
std::string newTableName(const std::string& positionName, const std::string& cells,
                         const std::vector<std::string>& storedTables);

// A table text without its name: ", " and the number of data rows, then each data row's first
// cell, then each data row's second cell.
std::string tableCells(const widgets::EditableGrid& grid);

// The table's entry text: the name and the number of data rows ("tabm2, 3"), then ", " and each
// data row's first cell, then ", " and each data row's second cell. Cells are copied as typed.
// The grid's first row is its header.
std::string tableText(CTableEditDlg::Mode mode, int index, const widgets::EditableGrid& grid);

}  // namespace model
