#include "addon/command_factory.h"

#include "addon/menu.h"
#include "loadcase/loadcase_command.h"

namespace addon {

platform::RefPtr<CAddOnCommand> createCommand(std::int32_t id, CShowUICommand* explorer) {
    switch (id) {
        case kMenuLoadcase: return platform::makeRef<CLoadcaseCommand>(explorer);
        default: return {};
    }
}

void openToolbox(CShowUICommand*, ui::Window*) {}

void refreshToolbox(CShowUICommand*) {}

bool openResultsWindow() { return false; }

}  // namespace addon
