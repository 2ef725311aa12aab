// kolvane-register: creates the add-on's settings key as an installer would, with the install
// folder, (optionally) the projects root, and the default solver choice. The add-on itself only
// reads these values.
#include <cstdio>
#include <cstring>
#include <string>

#include "installation.h"

namespace {
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
    bool ok = installation::registerInstallFolder(install);
    if (haveProjects) ok = installation::registerProjectsRoot(projects) && ok;
    if (!ok) {
        std::fprintf(stderr, "kolvane-register: cannot write the settings\n");
        return 1;
    }
    return 0;
}
