// kolvane-register: creates the add-on's settings key as an installer would, with the install
// folder, the projects root (the one given, else the one registered before, else the documents
// folder's "FEMprojects"), and the default solver choice; and stores how many
// processes the solver runs on (optionally across the machines of an MPI host file). The add-on
// and the solver only read these values.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "installation.h"

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: kolvane-register [--install DIR] [--projects DIR] [--solver-processes N [--host-file "
        "FILE]]\n");
    return 2;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "kolvane-register: %s\n", message.c_str());
    return 1;
}

// A whole number from 1 to 4096, or 0.
int processCount(const char* text) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && n >= 1 && n <= 4096 ? static_cast<int>(n) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string install, projects, hostFile;
    bool haveProjects = false, haveHostFile = false;
    int processes = 0;
    for (int i = 1; i < argc; ++i) {
        const bool value = i + 1 < argc;
        if (std::strcmp(argv[i], "--install") == 0 && value) {
            install = argv[++i];
        } else if (std::strcmp(argv[i], "--projects") == 0 && value) {
            projects = argv[++i];
            haveProjects = true;
        } else if (std::strcmp(argv[i], "--solver-processes") == 0 && value) {
            processes = processCount(argv[++i]);
            if (processes == 0)
                return fail(std::string("the process count must be a whole number from 1 to 4096, not '") +
                            argv[i] + "'");
        } else if (std::strcmp(argv[i], "--host-file") == 0 && value) {
            hostFile = argv[++i];
            haveHostFile = true;
        } else {
            return usage();
        }
    }
    if (install.empty() && !haveProjects && processes == 0) return usage();
    if (haveHostFile && processes == 0) return fail("--host-file goes with --solver-processes");
    if (haveHostFile) {
        // The solver is started from the project folder, so a relative name would not be found.
        std::error_code error;
        const auto absolute = std::filesystem::absolute(hostFile, error);
        if (error || !std::filesystem::is_regular_file(absolute, error))
            return fail("the host file " + hostFile + " does not exist");
        hostFile = absolute.string();
    }
    // Without a projects root the add-on's FEM Explorer greets the person with a settings error.
    if (!install.empty() && !haveProjects && !installation::hasProjectsRoot()) {
        projects = installation::defaultProjectsRoot();
        haveProjects = true;
    }
    if (haveProjects && projects.empty()) return fail("the projects folder must not be empty");
    if (haveProjects) {
        // The add-on makes a project's folders one level at a time: the root is made here, as an
        // installer would.
        std::error_code error;
        projects = std::filesystem::absolute(projects, error).string();
        std::filesystem::create_directories(projects, error);
        if (error || !std::filesystem::is_directory(projects, error))
            return fail("cannot make the projects folder " + projects);
    }
    bool ok = true;
    if (!install.empty()) ok = installation::registerInstallFolder(install) && ok;
    if (haveProjects) ok = installation::registerProjectsRoot(projects) && ok;
    if (processes > 0) ok = installation::registerSolverProcesses(processes, hostFile) && ok;
    return ok ? 0 : fail("cannot write the settings");
}
