#pragma once
// Writes a file under a temporary name beside its final path and renames it into place only when
// every byte has been written, so a reader never sees a half-written file.
#include <cstdio>
#include <functional>
#include <string>

namespace velgrin {

// Calls `write` with the open temporary file; throws VelgrinError (WriteFailed) when the file cannot
// be created, written, closed or renamed, and then removes the temporary file.
void writeAtomically(const std::string& path, const std::function<void(std::FILE*)>& write);

}  // namespace velgrin
