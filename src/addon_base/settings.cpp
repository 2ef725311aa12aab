#include "addon_base/settings.h"

#include "platform/known_folders.h"
#include "platform/paths.h"
#include "platform/settings_store.h"
#include "ui/prompts.h"

namespace addon {

using platform::Hive;
using platform::settingsStore;

namespace {
bool addOnKeyOpens() {
    return settingsStore().keyExists(Hive::CurrentUser, kAddOnKey);
}

std::optional<std::string> readAddOnValue(const std::string& name) {
    return settingsStore().readValue(Hive::CurrentUser, kValuesKey, name);
}
}  // namespace

std::string readInstallFolder() {
    if (addOnKeyOpens()) {
        auto value = readAddOnValue("InstallPath");
        if (value && platform::pathExists(*value)) return *value;
    }
    return platform::joinPath(platform::joinPath(platform::programFilesFolder(), "Tarvenic"), "tarvdir");
}

std::string readProjectsRoot() {
    if (!addOnKeyOpens()) return "notfound";
    auto value = readAddOnValue("Projects");
    if (!value) {
        ui::showMessage(std::string() + kReadErrorMessage);
        return {};
    }
    return *value;
}

std::string readValue(const std::string& name) {
    if (!addOnKeyOpens()) return "C:\\";
    auto value = readAddOnValue(name);
    if (!value) {
        ui::showMessage(std::string() + kWriteErrorMessage);
        return {};
    }
    return *value;
}

int writeValue(const std::string& text, const std::string& name) {
    if (!addOnKeyOpens()) return 1;
    if (settingsStore().writeValue(Hive::CurrentUser, kValuesKey, name, text)) return 1;
    ui::showMessage(text + kWriteErrorMessage);
    return 0;
}

platform::Status readHostHomeFolder(std::string& folder) {
    constexpr std::size_t kMaxBytes = 260;
    auto value = settingsStore().readValue(Hive::LocalMachine, kHostKey, "HomeDirectory");
    if (!value || value->size() + 1 > kMaxBytes) return platform::kFail;
    folder = *value;
    return platform::kOk;
}

}  // namespace addon
