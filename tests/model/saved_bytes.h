#pragma once
// The bytes a loadcase file holds for a list of entries, so that tests compare the saved file byte
// for byte. The layout itself is pinned by LoadcaseFileBytes.SmallListMatchesTheLayoutByteForByte.
#include <cstdint>
#include <string>
#include <vector>

#include "host/geometry.h"
#include "loadcase/loadcase_file.h"

struct ExpectedEntry {
    host::KeyBytes bodyKey;
    host::KeyBytes entityKey;
    std::string text;
    std::uint32_t kind = 0;
};

inline std::string expectedFileBytes(const std::vector<ExpectedEntry>& entries) {
    loadcase::EntryList list;
    for (const auto& e : entries) list.append(model::CActions(e.bodyKey, e.entityKey, e.text, e.kind));
    const auto bytes = loadcase::LoadcaseFile::encode(list);
    return {bytes.begin(), bytes.end()};
}
