#include "model/constraints_command.h"

#include "model/constraints_dialog.h"

void CConstraintsCommand::Start() {
    auto dialog = std::make_unique<CConstraints>(this);
    CConstraints* window = dialog.get();
    setDialog(std::move(dialog));
    window->create();
}
