// The loadcase entry record cut short. Its byte layout and round trip for every kind, with and
// without keys, and its creation by class name (unknown names and schemas refused) are checked
// through whole files in loadcase_file_test.cpp and damaged_file_test.cpp.
#include <gtest/gtest.h>

#include "entry_record/actions.h"
#include "entry_record/archive.h"
#include "entry_record/archive_error.h"

using model::CActions;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes stored(CActions& entry) {
    loadcase::ArchiveWriter writer;
    loadcase::Archive archive(writer);
    entry.Serialize(archive);
    return writer.bytes();
}

TEST(EntryRecord, TruncatedRecordThrowsAndLeavesTheEntryAsItWas) {
    CActions source({1}, {2}, "vertex;force=1, 2, 3", model::kKindAction);
    Bytes bytes = stored(source);
    bytes.resize(bytes.size() - 2);
    CActions target({}, {}, "before", model::kKindMaterial);
    loadcase::ArchiveReader reader(bytes);
    loadcase::Archive archive(reader);
    EXPECT_THROW(target.Serialize(archive), loadcase::ArchiveError);
    EXPECT_EQ(target.text(), "before");
    EXPECT_EQ(target.kind(), model::kKindMaterial);
}

}  // namespace
