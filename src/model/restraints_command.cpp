#include "model/restraints_command.h"

#include "model/restraints_dialog.h"

void CRestraintsCommand::Start() {
    auto dialog = std::make_unique<CRestraints>(this);
    CRestraints* window = dialog.get();
    setDialog(std::move(dialog));
    window->create();
}
