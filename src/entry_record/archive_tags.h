#pragma once
// Tag values of the object-archive encoding (all 16-bit little-endian unless noted).
#include <cstddef>
#include <cstdint>

namespace loadcase::tags {

// Object tags.
inline constexpr std::uint16_t kNull = 0x0000;               // no object
inline constexpr std::uint16_t kNewClass = 0xFFFF;           // followed by schema, name length, name
inline constexpr std::uint16_t kClassFlag = 0x8000;          // or-ed with the index of a class already read
inline constexpr std::uint16_t kBigIndex = 0x7FFF;           // followed by a 32-bit index
inline constexpr std::uint32_t kBigClassFlag = 0x80000000u;  // or-ed into a 32-bit class index

// Class names are stored without terminator and are shorter than this.
inline constexpr std::size_t kMaxClassNameLength = 64;

// Counts: 16-bit below this value, otherwise this value and a 32-bit count.
inline constexpr std::uint16_t kCountEscape = 0xFFFF;

// String lengths: one byte below 0xFF; then 16-bit below 0xFFFE; then 0xFFFF and 32-bit.
inline constexpr std::uint8_t kLengthEscape8 = 0xFF;
inline constexpr std::uint16_t kWideMarker = 0xFFFE;  // after the byte 0xFF: UTF-16 characters follow
inline constexpr std::uint16_t kLengthEscape16 = 0xFFFF;
inline constexpr std::uint32_t kLengthEscape32 = 0xFFFFFFFFu;

}  // namespace loadcase::tags
