#include "entry_record/archive_writer.h"

#include <limits>
#include <stdexcept>

#include "entry_record/archive_tags.h"

namespace loadcase {

void ArchiveWriter::writeU8(std::uint8_t v) {
    bytes_.push_back(v);
}

void ArchiveWriter::writeU16(std::uint16_t v) {
    writeU8(static_cast<std::uint8_t>(v));
    writeU8(static_cast<std::uint8_t>(v >> 8));
}

void ArchiveWriter::writeU32(std::uint32_t v) {
    writeU16(static_cast<std::uint16_t>(v));
    writeU16(static_cast<std::uint16_t>(v >> 16));
}

void ArchiveWriter::writeI32(std::int32_t v) {
    writeU32(static_cast<std::uint32_t>(v));
}

void ArchiveWriter::writeU64(std::uint64_t v) {
    writeU32(static_cast<std::uint32_t>(v));
    writeU32(static_cast<std::uint32_t>(v >> 32));
}

void ArchiveWriter::writeRaw(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void ArchiveWriter::writeCount(std::uint64_t count) {
    if (count < tags::kCountEscape) {
        writeU16(static_cast<std::uint16_t>(count));
        return;
    }
    writeU16(tags::kCountEscape);
    if (count < tags::kLengthEscape32) {
        writeU32(static_cast<std::uint32_t>(count));
    } else {
        writeU32(tags::kLengthEscape32);
        writeU64(count);
    }
}

void ArchiveWriter::writeByteArray(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw std::length_error("byte array too long for a 32-bit count");
    }
    writeI32(static_cast<std::int32_t>(bytes.size()));
    writeRaw(bytes);
}

void ArchiveWriter::writeStringLength(std::uint64_t length) {
    if (length < tags::kLengthEscape8) {
        writeU8(static_cast<std::uint8_t>(length));
        return;
    }
    writeU8(tags::kLengthEscape8);
    if (length < tags::kWideMarker) {
        writeU16(static_cast<std::uint16_t>(length));
        return;
    }
    writeU16(tags::kLengthEscape16);
    if (length < tags::kLengthEscape32) {
        writeU32(static_cast<std::uint32_t>(length));
        return;
    }
    writeU32(tags::kLengthEscape32);
    writeU64(length);
}

void ArchiveWriter::writeString(std::string_view text) {
    writeStringLength(text.size());
    bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void ArchiveWriter::writeWideString(std::u16string_view text) {
    writeU8(tags::kLengthEscape8);
    writeU16(tags::kWideMarker);
    writeStringLength(text.size());
    for (char16_t unit : text) writeU16(static_cast<std::uint16_t>(unit));
}

void ArchiveWriter::writeClassTag(std::string_view className, std::uint16_t schema) {
    auto known = classIndex_.find(className);
    if (known != classIndex_.end()) {
        const std::uint32_t index = known->second;
        if (index < tags::kBigIndex) {
            writeU16(static_cast<std::uint16_t>(tags::kClassFlag | index));
        } else {
            writeU16(tags::kBigIndex);
            writeU32(tags::kBigClassFlag | index);
        }
    } else {
        if (className.size() >= tags::kMaxClassNameLength) throw std::length_error("class name too long");
        writeU16(tags::kNewClass);
        writeU16(schema);
        writeU16(static_cast<std::uint16_t>(className.size()));
        bytes_.insert(bytes_.end(), className.begin(), className.end());
        classIndex_.emplace(std::string(className), nextIndex_++);
    }
    ++nextIndex_;  // the object that follows the tag takes an index too
}

}  // namespace loadcase
