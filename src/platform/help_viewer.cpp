#include "platform/help_viewer.h"

#include <cstdlib>
#include <optional>

#include "platform/paths.h"
#include "platform/process.h"

namespace platform {

namespace {

struct ViewerLookup {
    bool done = false;
    std::optional<std::string> viewer;   // CHM viewer, full command name when found
    std::optional<std::string> browser;  // the desktop's opener for the HTML start page
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

std::optional<std::string> findBrowser() {
    if (programOnPath("xdg-open")) return std::string("xdg-open");
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

bool show(const std::string& program, const std::string& file) {
    return startDetached("\"" + resolve(program) + "\" \"" + file + "\"");
}

}  // namespace

std::string helpStartPage(const std::string& helpFile) {
    const std::string page = joinPath("help", "index.html");
    const auto slash = helpFile.rfind('/');
    if (slash == std::string::npos) return page;  // a help file named in the working folder
    return joinPath(helpFile.substr(0, slash), page);
}

void openHelpFile(const std::string& helpFile) {
    auto& state = lookup();
    if (!state.done) {
        state.viewer = findViewer();
        state.browser = findBrowser();
        state.done = true;
    }
    // A viewer that cannot be started, or a help file that is not installed, leaves the pages.
    if (state.viewer && pathExists(helpFile) && show(*state.viewer, helpFile)) return;
    const std::string page = helpStartPage(helpFile);
    if (state.browser && pathExists(page)) show(*state.browser, page);
}

void resetHelpViewerLookup() {
    lookup() = ViewerLookup{};
}

}  // namespace platform
