#include "model/loads_command.h"

#include "model/loads_dialog.h"

void CLoadsCommand::Start() {
    auto dialog = std::make_unique<CLoads>(this);
    CLoads* window = dialog.get();
    setDialog(std::move(dialog));
    window->create();
}
