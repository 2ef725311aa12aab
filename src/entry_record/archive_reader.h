#pragma once
// Reads the object-archive encoding from a byte buffer. Every read checks the bytes left first, so
// no length or count read from the input can make it allocate more than the input holds; any fault
// throws ArchiveError.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace loadcase {

// The class of an object whose tag was just read.
struct ClassRef {
    std::string name;
    std::uint16_t schema = 0;
};

class ArchiveReader {
  public:
    // Reads from `data`, which must outlive the reader.
    explicit ArchiveReader(std::span<const std::uint8_t> data) : data_(data) {}

    // Plain little-endian integers.
    std::uint8_t readU8();
    std::uint16_t readU16();
    std::uint32_t readU32();
    std::int32_t readI32();
    std::uint64_t readU64();

    // An element count in its 16-bit or escaped 32-bit form.
    std::uint64_t readCount();

    // A byte array: 32-bit signed byte count, then the bytes.
    std::vector<std::uint8_t> readByteArray();

    // A string in its narrow form, or in its wide (UTF-16) form converted to UTF-8.
    std::string readString();

    // The tag that introduces an object; answers the object's class. Only new-class and class-index
    // tags are accepted: null objects and references to earlier objects are errors.
    ClassRef readClassTag();

    // Bytes read so far.
    std::size_t offset() const { return offset_; }

    // Bytes not yet read.
    std::size_t remaining() const { return data_.size() - offset_; }

    // Throws the "ends too early" error unless `count` items of `itemSize` bytes are left.
    void require(std::uint64_t count, std::uint64_t itemSize, const char* what) const;

    // Throws ArchiveError with `reason` at byte `at`.
    [[noreturn]] void fail(const std::string& reason, std::size_t at) const;

  private:
    std::uint64_t readStringLength(bool& wide);
    std::span<const std::uint8_t> take(std::size_t count, const char* what);

    std::span<const std::uint8_t> data_;
    std::size_t offset_ = 0;
    // Index 0 is "no object"; every other index is a class (its slot in classes_) or an object (-1).
    std::vector<std::int32_t> indexMap_{-1};
    std::vector<ClassRef> classes_;
};

}  // namespace loadcase
