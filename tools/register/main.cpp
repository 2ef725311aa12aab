// kolvane-register: creates the add-on's settings key as an installer would, with the install
// folder, (optionally) the projects root, and the default solver choice. The add-on itself only reads these values.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/settings_store.h"

namespace {
constexpr const char* kAddOnKey = "Software\\Tarvenic";
constexpr const char* kValuesKey = "Software\\Tarvenic\\Tarvenic";

int usage() {
    std::fprintf(stderr, "usage: kolvane-register --install DIR [--projects DIR]\n");
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    std::string install;
    std::string projects;
    bool haveProjects = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--install") == 0 && i + 1 < argc) {
            install = argv[++i];
        } else if (std::strcmp(argv[i], "--projects") == 0 && i + 1 < argc) {
            projects = argv[++i];
            haveProjects = true;
        } else {
            return usage();
        }
    }
    if (install.empty()) return usage();
    auto& store = platform::settingsStore();
    store.createKey(platform::Hive::CurrentUser, kAddOnKey);
    bool ok = store.writeValue(platform::Hive::CurrentUser, kValuesKey, "InstallPath", install);
    if (haveProjects) ok = store.writeValue(platform::Hive::CurrentUser, kValuesKey, "Projects", projects) && ok;
    // The solve dialog reads the solver choice when it opens; an installation starts with the
    // iterative solver rather than with a missing value (which the dialog reports as an error).
    if (!store.readValue(platform::Hive::CurrentUser, kValuesKey, "CurrentSolver"))
        ok = store.writeValue(platform::Hive::CurrentUser, kValuesKey, "CurrentSolver", "PCG") && ok;
    if (!ok) {
        std::fprintf(stderr, "kolvane-register: cannot write the settings\n");
        return 1;
    }
    return 0;
}
