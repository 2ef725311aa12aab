#pragma once
// Replaces a file's contents all at once: a crash or a full disk leaves either the old file or the new
// one, never a torn mixture.
#include <string>
#include <string_view>

#include "loadcase/write_result.h"

namespace loadcase {

// Writes `contents` to a new temporary file in the folder of `path`, flushes it to disk and renames it
// over `path`. A read-only `path` is not replaced. On failure the old file is untouched and the
// temporary file removed.
WriteResult replaceFile(const std::string& path, std::string_view contents);

// Reads the whole file at `path` into `contents`; answers an error text (empty on success).
std::string readWholeFile(const std::string& path, std::string& contents);

}  // namespace loadcase
