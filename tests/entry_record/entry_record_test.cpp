// The loadcase entry record: a cut record, creation by class name. Its byte layout and round trip
// for every kind, with and without keys, are checked through whole files in loadcase_file_test.cpp.
#include <gtest/gtest.h>

#include "entry_record/actions.h"
#include "entry_record/archive.h"
#include "entry_record/archive_error.h"
#include "entry_record/class_registry.h"

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

TEST(ClassRegistry, CreatesTheRecordClassesByName) {
    const auto& registry = model::modelClasses();
    for (const char* name : {"CActions", "CActionsData", "CPersistentKey"}) {
        auto object = registry.create(name);
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object->className(), name);
        EXPECT_EQ(object->schema(), 1);
        EXPECT_EQ(registry.schemaOf(name), 1);
    }
    EXPECT_EQ(registry.create("CObject"), nullptr);
    EXPECT_FALSE(registry.knows("cactions"));
}

}  // namespace
