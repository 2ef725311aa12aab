#include "entry_record/archive_reader.h"

#include <cstdio>

#include "entry_record/archive_error.h"
#include "entry_record/archive_tags.h"

namespace loadcase {
namespace {

constexpr std::int32_t kObjectSlot = -1;

std::string hex16(std::uint16_t v) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(v));
    return text;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16LE code units to UTF-8; a lone surrogate becomes U+FFFD rather than failing the whole file.
std::string utf16ToUtf8(std::span<const std::uint8_t> units) {
    std::string out;
    out.reserve(units.size() / 2);
    const std::size_t n = units.size() / 2;
    auto unitAt = [&](std::size_t i) {
        return static_cast<char32_t>(units[2 * i] | (units[2 * i + 1] << 8));
    };
    for (std::size_t i = 0; i < n; ++i) {
        char32_t c = unitAt(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

}  // namespace

void ArchiveReader::fail(const std::string& reason, std::size_t at) const {
    throw ArchiveError(reason, at);
}

void ArchiveReader::require(std::uint64_t count, std::uint64_t itemSize, const char* what) const {
    // Divide rather than multiply: count * itemSize may overflow for absurd counts.
    if (itemSize != 0 && count > remaining() / itemSize) {
        fail(std::string("the file ends in the middle of ") + what, offset_);
    }
}

std::span<const std::uint8_t> ArchiveReader::take(std::size_t count, const char* what) {
    require(count, 1, what);
    auto bytes = data_.subspan(offset_, count);
    offset_ += count;
    return bytes;
}

std::uint8_t ArchiveReader::readU8() {
    return take(1, "a number")[0];
}

std::uint16_t ArchiveReader::readU16() {
    auto b = take(2, "a number");
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t ArchiveReader::readU32() {
    auto b = take(4, "a number");
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::int32_t ArchiveReader::readI32() {
    return static_cast<std::int32_t>(readU32());
}

std::uint64_t ArchiveReader::readU64() {
    const std::uint64_t low = readU32();
    return low | (static_cast<std::uint64_t>(readU32()) << 32);
}

std::uint64_t ArchiveReader::readCount() {
    const std::uint16_t small = readU16();
    if (small != tags::kCountEscape) return small;
    const std::uint32_t count = readU32();
    if (count != tags::kLengthEscape32) return count;
    return readU64();
}

std::vector<std::uint8_t> ArchiveReader::readByteArray() {
    const std::size_t at = offset_;
    const std::int32_t count = readI32();
    if (count < 0) fail("a key has the negative length " + std::to_string(count), at);
    auto bytes = take(static_cast<std::size_t>(count), "a key");
    return {bytes.begin(), bytes.end()};
}

std::uint64_t ArchiveReader::readStringLength(bool& wide) {
    wide = false;
    std::uint8_t length8 = readU8();
    if (length8 < tags::kLengthEscape8) return length8;
    std::uint16_t length16 = readU16();
    if (length16 == tags::kWideMarker) {
        // The wide form starts the length over at one byte.
        wide = true;
        length8 = readU8();
        if (length8 < tags::kLengthEscape8) return length8;
        length16 = readU16();
    }
    if (length16 < tags::kLengthEscape16) return length16;
    const std::uint32_t length32 = readU32();
    if (length32 < tags::kLengthEscape32) return length32;
    return readU64();
}

std::string ArchiveReader::readString() {
    bool wide = false;
    const std::uint64_t length = readStringLength(wide);
    const std::uint64_t unitSize = wide ? 2 : 1;
    require(length, unitSize, "a text");
    auto bytes = take(static_cast<std::size_t>(length * unitSize), "a text");
    if (wide) return utf16ToUtf8(bytes);
    return {bytes.begin(), bytes.end()};
}

ClassRef ArchiveReader::readClassTag() {
    const std::size_t at = offset_;
    const std::uint16_t tag = readU16();
    std::uint32_t index = 0;
    if (tag == tags::kNewClass) {
        const std::uint16_t schema = readU16();
        const std::uint16_t nameLength = readU16();
        if (nameLength >= tags::kMaxClassNameLength) {
            fail("a class name is " + std::to_string(nameLength) + " characters long", at);
        }
        auto name = take(nameLength, "a class name");
        classes_.push_back(ClassRef{std::string(name.begin(), name.end()), schema});
        indexMap_.push_back(static_cast<std::int32_t>(classes_.size() - 1));
        indexMap_.push_back(kObjectSlot);
        return classes_.back();
    }
    if (tag == tags::kBigIndex) {
        const std::uint32_t big = readU32();
        if ((big & tags::kBigClassFlag) == 0) fail("an entry refers back to an earlier entry", at);
        index = big & ~tags::kBigClassFlag;
    } else if (tag & tags::kClassFlag) {
        index = tag & ~tags::kClassFlag;
    } else if (tag == tags::kNull) {
        fail("an entry is missing (null object tag)", at);
    } else {
        fail("an entry refers back to an earlier entry (tag " + hex16(tag) + ")", at);
    }
    if (index >= indexMap_.size() || indexMap_[index] == kObjectSlot) {
        fail("the tag " + hex16(tag) + " names no class read before", at);
    }
    indexMap_.push_back(kObjectSlot);
    return classes_[static_cast<std::size_t>(indexMap_[index])];
}

}  // namespace loadcase
