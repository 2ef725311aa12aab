#pragma once
// The bytes a loadcase file holds for a list of entries, written out by hand so that tests compare
// the saved file byte for byte (little-endian object archive of CActions records).
#include <cstdint>
#include <string>
#include <vector>

#include "host/geometry.h"

struct ExpectedEntry {
    host::KeyBytes bodyKey;
    host::KeyBytes entityKey;
    std::string text;
    std::uint32_t kind = 0;
};

inline void putLe(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string expectedFileBytes(const std::vector<ExpectedEntry>& entries) {
    std::string out;
    putLe(out, entries.size(), 2);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i == 0) {
            putLe(out, 0xFFFF, 2);
            putLe(out, 1, 2);
            putLe(out, 8, 2);
            out += "CActions";
        } else {
            putLe(out, 0x8001, 2);
        }
        const auto& e = entries[i];
        putLe(out, e.bodyKey.size(), 4);
        out.append(e.bodyKey.begin(), e.bodyKey.end());
        putLe(out, e.entityKey.size(), 4);
        out.append(e.entityKey.begin(), e.entityKey.end());
        if (e.text.size() < 255) {
            putLe(out, e.text.size(), 1);
        } else {
            putLe(out, 0xFF, 1);
            putLe(out, e.text.size(), 2);
        }
        out += e.text;
        putLe(out, e.kind, 4);
    }
    return out;
}
