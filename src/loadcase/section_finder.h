#pragma once
// Finds a keyword line in a text file (header, mesh and result files) and answers the number after it.
#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace loadcase {

enum class SearchFrom { Start, Here };

// Reads lines of `in` (from the start, or from where the last search stopped) up to the first one
// whose first non-blank characters equal the first `length` characters of `keyword` (the whole keyword
// when `length` is larger). Answers 0 when there is none; otherwise the integer in the blank-separated
// field after the keyword's word on that line, or 1 when that is missing or 0. After a match `in` stands
// at the line after it.
int findSection(std::istream& in, std::string_view keyword, std::size_t length,
                SearchFrom from = SearchFrom::Start);

// The same on the file at `path` from its start; 0 when the file cannot be opened.
int findSectionInFile(const std::string& path, std::string_view keyword, std::size_t length);

}  // namespace loadcase
