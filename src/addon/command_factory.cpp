#include "addon/command_factory.h"

#include "addon/menu.h"

namespace addon {

platform::RefPtr<CAddOnCommand> createCommand(std::int32_t id, CShowUICommand* explorer) {
    switch (id) {
        default: return {};
    }
}

bool openResultsWindow() { return false; }

}  // namespace addon
