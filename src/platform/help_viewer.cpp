#include "platform/help_viewer.h"

#include <cstdlib>
#include <optional>

#include "platform/paths.h"
#include "platform/process.h"

namespace platform {

namespace {

struct ViewerLookup {
    bool done = false;
    std::optional<std::string> viewer;  // full command name when found
};

ViewerLookup& lookup() {
    static ViewerLookup state;
    return state;
}

std::optional<std::string> findViewer() {
    // The chosen viewer may be given by path or, like the others, by a name found on PATH.
    if (const char* v = std::getenv("KOLVANE_HELP_VIEWER"); v != nullptr && *v != '\0') {
        const std::string viewer = v;
        const bool byPath = viewer.find('/') != std::string::npos;
        if (byPath ? pathExists(viewer) : programOnPath(viewer)) return viewer;
    }
    for (const char* name : {"kchmviewer", "xchm"}) {
        if (programOnPath(name)) return std::string(name);
    }
    return std::nullopt;
}

// Resolves a program name against PATH, since the detached start runs it by full path.
std::string resolve(const std::string& program) {
    if (program.find('/') != std::string::npos) return program;
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const auto end = folders.find(':', start);
        const std::string folder = folders.substr(start, end - start);
        const std::string candidate = joinPath(folder, program);
        if (!folder.empty() && pathExists(candidate)) return candidate;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return program;
}

}  // namespace

void openHelpFile(const std::string& helpFile) {
    auto& state = lookup();
    if (!state.done) {
        state.viewer = findViewer();
        state.done = true;
    }
    if (!state.viewer) return;
    startDetached("\"" + resolve(*state.viewer) + "\" \"" + helpFile + "\"");
}

void resetHelpViewerLookup() {
    lookup() = ViewerLookup{};
}

}  // namespace platform
