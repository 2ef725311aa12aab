#pragma once
// The golden files of the shared file formats (tests/data/formats): a linear and a quadratic mesh
// file, the quadratic mesh's result file as the solver writes it and a solver input with every
// section. Every reader's tests read them; every writer's tests must reproduce them byte for byte.
#include <cstdint>
#include <cstring>
#include <string>

#include "support/scratch_folder.h"

namespace golden {

inline std::string path(const std::string& name) {
    return std::string(KOLVANE_TEST_DATA) + "/formats/" + name;
}
inline std::string bytes(const std::string& name) {
    return readFile(path(name));
}

// `text` with the little-endian int32 at byte `offset` replaced by `value`.
inline std::string withInt32(std::string text, std::size_t offset, std::int32_t value) {
    std::memcpy(text.data() + offset, &value, sizeof value);
    return text;
}

// Byte offsets in a mesh file: the four counts of the header, then the blocks after it.
inline constexpr std::size_t kNodeCountAt = 0, kElementCountAt = 4, kFacetCountAt = 8,
                             kNodesPerElementAt = 12;
inline constexpr std::size_t kMeshHeaderBytes = 28;

}  // namespace golden
