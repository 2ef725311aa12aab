#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

namespace platform {

std::string joinPath(std::string_view base, std::string_view name) {
    std::string out;
    out.reserve(base.size() + 1 + name.size());
    out.append(base);
    out.push_back(kPathSeparator);
    out.append(name);
    return out;
}

bool pathExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

void createFolder(const std::string& path) {
    ::mkdir(path.c_str(), 0777);
}

std::vector<std::string> filesWithExtension(const std::string& folder, std::string_view extension) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name.size() <= extension.size() || name.substr(name.size() - extension.size()) != extension)
            continue;
        const std::string full = joinPath(folder, name);
        struct stat st {};
        if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool removeFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

std::string fileStem(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}

}  // namespace platform
