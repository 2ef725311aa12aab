#pragma once
// The binary loadcase file (".api_fem"): the entry list as an archived object array.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "loadcase/entry_list.h"
#include "loadcase/write_result.h"

namespace loadcase {

// Outcome of reading a loadcase file.
struct LoadResult {
    enum class Outcome {
        Loaded,      // `entries` holds the file's list (a zero-byte file reads as an empty list)
        Missing,     // there is no such file; not an error
        Unreadable,  // the file exists but cannot be opened or read
        Damaged,     // the file is not a valid loadcase file; see setAsideDamaged
    };

    Outcome outcome = Outcome::Missing;
    EntryList entries;  // empty unless Loaded
    std::string error;  // for Unreadable and Damaged: a message naming the file, for the user

    bool ok() const { return outcome == Outcome::Loaded; }
};

// Outcome of moving a damaged file aside.
struct SetAsideResult {
    std::string newPath;  // where the file now is
    std::string error;    // empty on success

    bool ok() const { return error.empty(); }
};

struct LoadcaseFile {
    // The file's bytes for `entries`: count, then per entry its class tag and record.
    static std::vector<std::uint8_t> encode(const EntryList& entries);

    // The list held in `bytes`; throws ArchiveError when they are not a valid loadcase file. Bytes after
    // the last entry are ignored.
    static EntryList decode(std::span<const std::uint8_t> bytes);

    // Writes `entries` to `path`, replacing the old file only once the new one is complete on disk.
    static WriteResult save(const std::string& path, const EntryList& entries);

    // Reads the list from `path`. A damaged file yields no entries at all, never a partial list.
    static LoadResult load(const std::string& path);

    // Writes an empty list to `path` unless a file is already there.
    static WriteResult createIfMissing(const std::string& path);

    // Renames a damaged file to `path` + ".damaged" (or ".damaged.2", ".damaged.3", ... when that
    // name is taken) so that the next save does not overwrite what may still be recovered.
    static SetAsideResult setAsideDamaged(const std::string& path);
};

}  // namespace loadcase
