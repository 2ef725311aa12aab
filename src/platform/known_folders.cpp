#include "platform/known_folders.h"

#include <cstdlib>
#include <fstream>
#include <string_view>

namespace platform {

namespace {

std::string envOr(const char* name, std::string fallback) {
    const char* v = std::getenv(name);
    return (v != nullptr && *v != '\0') ? std::string(v) : std::move(fallback);
}

std::string homeFolder() {
    return envOr("HOME", "/tmp");
}

// Reads XDG_DOCUMENTS_DIR="$HOME/..." from the user-dirs file; empty when absent.
std::string xdgDocumentsFolder() {
    const std::string config = envOr("XDG_CONFIG_HOME", homeFolder() + "/.config");
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    constexpr std::string_view key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = homeFolder() + value.substr(5);
        return value;
    }
    return {};
}

}  // namespace

std::string documentsFolder() {
    if (const char* v = std::getenv("KOLVANE_DOCUMENTS_DIR"); v != nullptr && *v != '\0') return v;
    std::string xdg = xdgDocumentsFolder();
    return xdg.empty() ? homeFolder() + "/Documents" : xdg;
}

std::string programFilesFolder() {
    return envOr("KOLVANE_PROGRAM_FILES_DIR", "/opt");
}

std::string configFolder() {
    if (const char* v = std::getenv("KOLVANE_CONFIG_DIR"); v != nullptr && *v != '\0') return v;
    return envOr("XDG_CONFIG_HOME", homeFolder() + "/.config") + "/kolvane";
}

}  // namespace platform
