#pragma once
// Finds the header line of the next result block of a kind, walking forward through the file.
#include <optional>
#include <string_view>

#include "formats/line_reader.h"

namespace results {

// The block number of `line` when its first non-blank characters are the first four of `keyword`:
// the first white-space separated token after the keyword's word, read as an integer; a missing
// or zero number counts as 1. Nothing when the line is not such a header.
std::optional<int> headerNumber(std::string_view line, std::string_view keyword);

// Reads lines until a header of `keyword`; answers its block number, nothing at the end of the file.
std::optional<int> findBlock(LineReader& reader, std::string_view keyword);

}  // namespace results
