#pragma once
// MAKE TABLE, shared by the material and actions dialogs: runs the table editor on the default
// table, stores an accepted table as a Tables entry of the explorer and answers which list item
// it was made for and its name, which the opener writes into that item's field.
#include <optional>
#include <string>

#include "model/table_edit_dlg.h"

namespace loadcase {
class DocumentOwner;
}

namespace model {

struct MadeTable {
    int index = -1;    // the list position chosen in the editor (from 0)
    std::string name;  // "tabm2", "tabl0"
};

// Nothing when the user leaves the editor with EXIT; then nothing is stored.
std::optional<MadeTable> makeTable(loadcase::DocumentOwner& explorer, ui::Window* parent,
                                   CTableEditDlg::Mode mode, loadcase::AnalysisClass cls);

}  // namespace model
