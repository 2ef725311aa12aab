#pragma once
// Paths as the add-on builds them: plain concatenation with the platform's separator.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr char kPathSeparator = '/';

// `base` + separator + `name`, with no normalisation (as the add-on has always built paths).
std::string joinPath(std::string_view base, std::string_view name);

// True when the platform reports attributes for `path` (a file or a folder).
bool pathExists(const std::string& path);

// Creates one folder level; failures (already there, no parent, no permission) are ignored.
void createFolder(const std::string& path);

// Names of the files in `folder` whose names end in `extension` (".meb"), sorted; the folder's
// own listing order is arbitrary, and users find their loadcases faster in order.
std::vector<std::string> filesWithExtension(const std::string& folder, std::string_view extension);

// Removes a file; false when it could not be removed.
bool removeFile(const std::string& path);

// The last component of `path` without its extension ("/a/b/Bracket.step" -> "Bracket").
std::string fileStem(std::string_view path);

}  // namespace platform
