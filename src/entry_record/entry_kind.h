#pragma once
// Kinds of loadcase entries; the numbers are also the image indices of the explorer's section lines.
#include <cstdint>

namespace model {

using EntryKind = std::uint32_t;

inline constexpr EntryKind kKindLoadcase = 0;
inline constexpr EntryKind kKindMaterial = 1;
inline constexpr EntryKind kKindMeshSize = 2;
inline constexpr EntryKind kKindAction = 3;
inline constexpr EntryKind kKindReaction = 4;
inline constexpr EntryKind kKindInteraction = 5;
inline constexpr EntryKind kKindTable = 6;
inline constexpr EntryKind kKindSolveParameters = 7;
inline constexpr EntryKind kKindMesherParameters = 8;

}  // namespace model
