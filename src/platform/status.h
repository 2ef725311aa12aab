#pragma once
// 32-bit status codes exchanged with the host: negative means failure.
#include <cstdint>

namespace platform {

using Status = std::int32_t;

inline constexpr Status kOk = 0;
inline constexpr Status kFalse = 1;
inline constexpr Status kFail = static_cast<Status>(0x80004005u);
inline constexpr Status kInvalidPointer = static_cast<Status>(0x80004003u);
inline constexpr Status kOutOfMemory = static_cast<Status>(0x8007000Eu);
inline constexpr Status kNotImplemented = static_cast<Status>(0x80004001u);
inline constexpr Status kNoInterface = static_cast<Status>(0x80004002u);

inline constexpr bool failed(Status s) {
    return s < 0;
}
inline constexpr bool succeeded(Status s) {
    return s >= 0;
}

}  // namespace platform
