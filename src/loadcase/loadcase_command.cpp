#include "loadcase/loadcase_command.h"

#include "loadcase/loadcase_dialog.h"

void CLoadcaseCommand::Start() {
    auto dialog = std::make_unique<CLoadcase>(this);
    CLoadcase* window = dialog.get();
    setDialog(std::move(dialog));
    window->create();
}
