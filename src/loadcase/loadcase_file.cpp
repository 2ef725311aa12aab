#include "loadcase/loadcase_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>

#include "entry_record/archive_error.h"
#include "entry_record/archive_reader.h"
#include "entry_record/archive_writer.h"
#include "entry_record/object_io.h"
#include "loadcase/file_replace.h"

namespace loadcase {
namespace {

// The fewest bytes an entry can take: class-index tag, two empty keys, an empty text, the kind.
constexpr std::uint64_t kMinEntryBytes = 2 + 4 + 4 + 1 + 4;

std::string damagedMessage(const std::string& path, const std::string& reason, std::size_t offset) {
    return "The loadcase file \"" + path + "\" is damaged and was not loaded: " + reason + " (at byte " +
           std::to_string(offset) + ").";
}

LoadResult failed(LoadResult::Outcome outcome, std::string error) {
    LoadResult result;
    result.outcome = outcome;
    result.error = std::move(error);
    return result;
}

}  // namespace

std::vector<std::uint8_t> LoadcaseFile::encode(const EntryList& entries) {
    ArchiveWriter out;
    out.writeCount(entries.size());
    for (const auto& entry : entries) writeObject(out, entry);
    return out.bytes();
}

EntryList LoadcaseFile::decode(std::span<const std::uint8_t> bytes) {
    ArchiveReader in(bytes);
    const std::uint64_t count = in.readCount();
    if (count > in.remaining() / kMinEntryBytes) {
        in.fail("it claims " + std::to_string(count) + " entries, more than its " +
                    std::to_string(bytes.size()) + " bytes can hold",
                0);
    }
    EntryList entries;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::size_t at = in.offset();
        auto object = readObject(in, model::modelClasses());
        auto* entry = dynamic_cast<model::CActions*>(object.get());
        if (entry == nullptr) {
            in.fail("entry " + std::to_string(i + 1) + " is a " + std::string(object->className()) +
                        " instead of a " + std::string(model::CActions::kClassName),
                    at);
        }
        entries.append(std::move(*entry));
    }
    return entries;
}

WriteResult LoadcaseFile::save(const std::string& path, const EntryList& entries) {
    const auto bytes = encode(entries);
    return replaceFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

LoadResult LoadcaseFile::load(const std::string& path) {
    std::error_code ec;
    const bool present = std::filesystem::exists(path, ec);
    if (ec) {
        return failed(LoadResult::Outcome::Unreadable,
                      "The loadcase file \"" + path + "\" could not be loaded: " + ec.message());
    }
    if (!present) return failed(LoadResult::Outcome::Missing, {});

    std::string contents;
    if (auto error = readWholeFile(path, contents); !error.empty()) {
        return failed(LoadResult::Outcome::Unreadable, "The loadcase file could not be loaded. " + error);
    }
    LoadResult result;
    result.outcome = LoadResult::Outcome::Loaded;
    if (contents.empty()) return result;  // a file created empty and never saved holds no entries

    try {
        result.entries =
            decode(std::span(reinterpret_cast<const std::uint8_t*>(contents.data()), contents.size()));
    } catch (const ArchiveError& e) {
        return failed(LoadResult::Outcome::Damaged, damagedMessage(path, e.what(), e.offset()));
    } catch (const std::bad_alloc&) {
        return failed(LoadResult::Outcome::Damaged,
                      damagedMessage(path, "it needs more memory than there is", 0));
    }
    return result;
}

WriteResult LoadcaseFile::createIfMissing(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return {};
    return save(path, EntryList{});
}

SetAsideResult LoadcaseFile::setAsideDamaged(const std::string& path) {
    std::error_code ec;
    std::string target = path + ".damaged";
    for (int n = 2; std::filesystem::exists(target, ec); ++n) {
        if (n > 1000) return {{}, "Cannot find a free name to set aside \"" + path + "\"."};
        target = path + ".damaged." + std::to_string(n);
    }
    if (std::rename(path.c_str(), target.c_str()) != 0) {
        return {{}, "Cannot rename \"" + path + "\" to \"" + target + "\": " + std::strerror(errno)};
    }
    return {target, {}};
}

}  // namespace loadcase
