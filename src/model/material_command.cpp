#include "model/material_command.h"

#include "model/material_dialog.h"

void CMaterialCommand::Start() {
    auto dialog = std::make_unique<CMaterial>(this);
    CMaterial* window = dialog.get();
    setDialog(std::move(dialog));
    window->create();
}
