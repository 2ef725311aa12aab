#pragma once
// Failure while reading an object archive: the input is damaged or not an archive of ours.
#include <cstddef>
#include <stdexcept>
#include <string>

namespace loadcase {

class ArchiveError : public std::runtime_error {
  public:
    // `reason` says what was wrong in words a user can follow; `offset` is the byte where it was found.
    ArchiveError(const std::string& reason, std::size_t offset)
        : std::runtime_error(reason), offset_(offset) {}

    // Byte offset in the archive at which the fault was detected.
    std::size_t offset() const { return offset_; }

  private:
    std::size_t offset_;
};

}  // namespace loadcase
