#include "installation.h"

#include "platform/known_folders.h"
#include "platform/paths.h"
#include "platform/settings_store.h"

namespace installation {
namespace {

constexpr const char* kAddOnKey = "Software\\Tarvenic";
constexpr const char* kValuesKey = "Software\\Tarvenic\\Tarvenic";
// The iterative solver: what the Solve dialog offers first.
constexpr const char* kDefaultSolver = "PCG";

bool write(const char* name, const std::string& value) {
    auto& store = platform::settingsStore();
    store.createKey(platform::Hive::CurrentUser, kAddOnKey);
    return store.writeValue(platform::Hive::CurrentUser, kValuesKey, name, value);
}

}  // namespace

bool registerInstallFolder(const std::string& folder) {
    bool ok = write("InstallPath", folder);
    if (!platform::settingsStore().readValue(platform::Hive::CurrentUser, kValuesKey, "CurrentSolver"))
        ok = write("CurrentSolver", kDefaultSolver) && ok;
    return ok;
}

bool registerProjectsRoot(const std::string& folder) {
    return write("Projects", folder);
}

bool hasProjectsRoot() {
    return platform::settingsStore()
        .readValue(platform::Hive::CurrentUser, kValuesKey, "Projects")
        .has_value();
}

std::string defaultProjectsRoot() {
    return platform::joinPath(platform::documentsFolder(), "FEMprojects");
}

bool registerSolverProcesses(int processes, const std::string& hostFile) {
    const bool ok = write("SolverProcesses", std::to_string(processes));
    return write("SolverHostFile", hostFile) && ok;
}

}  // namespace installation
