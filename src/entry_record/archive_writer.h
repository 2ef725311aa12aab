#pragma once
// Writes the object-archive encoding into a byte buffer (little-endian).
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace loadcase {

class ArchiveWriter {
  public:
    // Plain little-endian integers.
    void writeU8(std::uint8_t v);
    void writeU16(std::uint16_t v);
    void writeU32(std::uint32_t v);
    void writeI32(std::int32_t v);
    void writeU64(std::uint64_t v);

    // Bytes as they stand, without any prefix.
    void writeRaw(std::span<const std::uint8_t> bytes);

    // An element count: 16-bit below 0xFFFF, else 0xFFFF and the 32-bit count.
    void writeCount(std::uint64_t count);

    // A byte array: 32-bit signed byte count, then the bytes.
    void writeByteArray(std::span<const std::uint8_t> bytes);

    // The length prefix of a narrow string (one, three or seven bytes).
    void writeStringLength(std::uint64_t length);

    // A narrow string: length prefix, then the characters without terminator.
    void writeString(std::string_view text);

    // A wide string: the marker 0xFF 0xFFFE, the length prefix in characters, then UTF-16LE units.
    void writeWideString(std::u16string_view text);

    // The tag that introduces a new object of `className`: the new-class tag with schema and name the
    // first time the class is met, the class-index tag afterwards.
    void writeClassTag(std::string_view className, std::uint16_t schema);

    // Everything written so far.
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
    // Each class and each object written takes the next index; 0 stands for "no object".
    std::map<std::string, std::uint32_t, std::less<>> classIndex_;
    std::uint32_t nextIndex_ = 1;
};

}  // namespace loadcase
