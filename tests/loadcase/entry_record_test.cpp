// The loadcase entry record: its layout, its round trip through the archive, creation by class name.
#include <gtest/gtest.h>

#include "loadcase/archive.h"
#include "loadcase/archive_error.h"
#include "model/actions.h"
#include "model/class_registry.h"

using model::CActions;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes stored(CActions& entry) {
    loadcase::ArchiveWriter writer;
    loadcase::Archive archive(writer);
    entry.Serialize(archive);
    return writer.bytes();
}

CActions loaded(const Bytes& bytes) {
    loadcase::ArchiveReader reader(bytes);
    loadcase::Archive archive(reader);
    CActions entry;
    entry.Serialize(archive);
    EXPECT_EQ(reader.remaining(), 0u);
    return entry;
}

TEST(EntryRecord, TableEntryIsTwoEmptyKeysTextAndKind) {
    CActions table({}, {}, "tabl1, 1, 0, 5", model::kKindTable);
    const Bytes expected{0,   0,   0,   0,   0,   0,   0,   0,   14,  't', 'a', 'b', 'l', '1',
                         ',', ' ', '1', ',', ' ', '0', ',', ' ', '5', 6,   0,   0,   0};
    EXPECT_EQ(stored(table), expected);
}

TEST(EntryRecord, KeysAreWrittenWithTheirByteCounts) {
    CActions reaction({0x10, 0x20}, {0xAB, 0xCD, 0xEF}, "face;fix,6=XYZ", model::kKindReaction);
    const Bytes bytes = stored(reaction);
    const Bytes keys{2, 0, 0, 0, 0x10, 0x20, 3, 0, 0, 0, 0xAB, 0xCD, 0xEF};
    ASSERT_GE(bytes.size(), keys.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(keys.size())), keys);
}

TEST(EntryRecord, TextOf300CharactersHasTheThreeBytePrefix) {
    CActions entry({}, {}, std::string(300, 'm'), model::kKindMaterial);
    const Bytes bytes = stored(entry);
    ASSERT_EQ(bytes.size(), 8u + 3u + 300u + 4u);
    EXPECT_EQ(bytes[8], 0xFF);
    EXPECT_EQ(bytes[9], 0x2C);
    EXPECT_EQ(bytes[10], 0x01);
}

TEST(EntryRecord, EveryKindRoundTripsWithAndWithoutKeys) {
    const Bytes someKey{1, 2, 3, 0, 255};
    for (model::EntryKind kind = 0; kind <= 8; ++kind) {
        for (bool withKeys : {false, true}) {
            CActions entry(withKeys ? someKey : Bytes{}, withKeys ? Bytes{9, 9} : Bytes{},
                           "text of kind " + std::to_string(kind), kind);
            const CActions back = loaded(stored(entry));
            EXPECT_EQ(back, entry) << "kind " << kind;
            EXPECT_EQ(back.bodyKey().bytes(), entry.bodyKey().bytes());
            EXPECT_EQ(back.entityKey().bytes(), entry.entityKey().bytes());
            EXPECT_EQ(back.kind(), kind);
        }
    }
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

TEST(EntryRecord, SetTextChangesOnlyTheText) {
    CActions entry({4}, {5}, "face;pressure=1", model::kKindAction);
    entry.setText("face;pressure=2");
    EXPECT_EQ(entry.text(), "face;pressure=2");
    EXPECT_EQ(entry.entityKey().bytes(), Bytes{5});
    EXPECT_EQ(entry.kind(), model::kKindAction);
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
