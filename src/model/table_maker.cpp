#include "model/table_maker.h"

#include "entry_record/entry_kind.h"
#include "loadcase/document_command.h"
#include "model/table_text.h"

namespace model {

std::optional<MadeTable> makeTable(loadcase::DocumentOwner& explorer, ui::Window* parent,
                                   CTableEditDlg::Mode mode, loadcase::AnalysisClass cls) {
    CTableEditDlg editor(parent, mode, cls);
    editor.fillDefaultGrid();
    if (editor.DoModal() != ui::kIdOk || editor.chosenItem() < 0) return std::nullopt;
    const int index = editor.chosenItem();
    std::vector<std::string> stored;
    for (const auto& entry : explorer.document().entries())
        if (entry.kind() == kKindTable) stored.push_back(entry.text());
    const std::string cells = tableCells(editor.grid());
    const std::string name = newTableName(tableName(mode, index), cells, stored);
    // A table has no entity: the explorer stores a text identical to a stored table only once.
    explorer.document().addEntry({}, {}, name + cells, kKindTable);
    return MadeTable{index, name};
}

}  // namespace model
