#include "io/stale_vtk_files.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include <dirent.h>
#include <unistd.h>

namespace tarvsolv {

namespace {

// The number k that follows `prefix` in `name`, written as std::to_string writes it, and what
// follows its digits; nothing when `name` does not go on so.
struct Numbered {
    int number = 0;
    std::string rest;
};
std::optional<Numbered> numberedAfter(const std::string& name, const std::string& prefix) {
    if (!name.starts_with(prefix)) return std::nullopt;
    const char* first = name.data() + prefix.size();
    Numbered out;
    const auto [next, error] = std::from_chars(first, name.data() + name.size(), out.number);
    // Signs and leading zeros are not the writer's.
    if (error != std::errc() || out.number < 0 || std::string(first, next) != std::to_string(out.number))
        return std::nullopt;
    out.rest.assign(next, name.data() + name.size());
    return out;
}

// The folder of `path` ("./" when it names none) and the file's name in it. Split by hand:
// std::filesystem::path::filename() let an allocation that failed pass unreported.
std::pair<std::string, std::string> folderAndName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {"./", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

}  // namespace

// Removes a file an earlier run left; one it cannot remove stays, and the log says which and why,
// since a reader of the folder would take it for this run's.
void removeStaleFile(const std::string& path, RunLog& log) {
    if (std::remove(path.c_str()) == 0 || errno == ENOENT) return;
    const int error = errno;
    log.warning("the VTK file " + path + " of an earlier run could not be removed: " + std::strerror(error));
}

namespace {

// For a name of the folder: empty when it is not a file this writer wrote that this run leaves
// stale; otherwise the names (without extension) of the jobs whose result file beside it would
// make it their own grid or piece, so that it stays.
using StaleRule = std::function<std::vector<std::string>(const std::string& name)>;

// Removes the files of `base`'s folder that `rule` finds stale and no other job's result file (the
// extension of `resultPath`) claims. The folder is listed by readdir: std::filesystem's listing
// ends the program when it runs out of memory, where this throws.
void removeStale(const std::string& base, const StaleRule& rule, const std::string& resultPath, RunLog& log) {
    const std::string resultExtension = std::filesystem::path(resultPath).extension().string();
    const std::string folder = folderAndName(base).first;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), closedir);
    if (!listing) return;  // the grid was just written there: nothing to find
    std::vector<std::string> stale;
    while (const dirent* entry = readdir(listing.get())) {
        const std::vector<std::string> owners = rule(entry->d_name);
        const auto anotherJobs = [&](const std::string& owner) {
            return access((folder + owner + resultExtension).c_str(), F_OK) == 0;
        };
        if (!owners.empty() && std::none_of(owners.begin(), owners.end(), anotherJobs))
            stale.push_back(folder + entry->d_name);
    }
    for (const std::string& path : stale) removeStaleFile(path, log);
}

// The name without its extension.
std::string withoutExtension(const std::string& name) {
    return name.substr(0, name.find_last_of('.'));
}

}  // namespace

// Removes the pieces "<base>_p<k>.vtu", k >= `count`, that a run on more processes left beside the
// grid just written (all of them, `count` 0, beside a grid in one file): a reader opening the folder
// would take them for this run's. A file of that name that is another job's own grid, a result file
// "<base>_p<k>" beside it, stays.
void removeStalePieces(const std::string& base, int count, const std::string& resultPath, RunLog& log) {
    const std::string prefix = folderAndName(base).second + "_p";
    const auto rule = [&](const std::string& name) -> std::vector<std::string> {
        const std::optional<Numbered> piece = numberedAfter(name, prefix);
        if (!piece || piece->number < count || piece->rest != ".vtu") return {};
        return {withoutExtension(name)};
    };
    removeStale(base, rule, resultPath, log);
}

// Removes the step files "<stem>_<n>.vtu", "<stem>_<n>.pvtu" and their pieces "<stem>_<n>_p<k>.vtu"
// of every step or mode n that this run did not write, which an earlier run of more steps (or of
// other printed steps) left beside the collection just written. A file that is another job's, a
// result file "<stem>_<n>" (or, of a piece, "<stem>_<n>_p<k>") beside it, stays.
void removeStaleSteps(const std::string& stem, const std::vector<int>& written, const std::string& resultPath,
                      RunLog& log) {
    const std::string prefix = folderAndName(stem).second + "_";
    const auto rule = [&](const std::string& name) -> std::vector<std::string> {
        const std::optional<Numbered> step = numberedAfter(name, prefix);
        if (!step || std::binary_search(written.begin(), written.end(), step->number)) return {};
        const std::string grid = prefix + std::to_string(step->number);
        if (step->rest == ".vtu" || step->rest == ".pvtu") return {grid};
        const std::optional<Numbered> piece = numberedAfter(step->rest, "_p");
        if (piece && piece->rest == ".vtu") return {grid, withoutExtension(name)};
        return {};
    };
    removeStale(stem, rule, resultPath, log);
}

}  // namespace tarvsolv
