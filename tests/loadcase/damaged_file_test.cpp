// Damaged loadcase files: refused with a message naming the file, never a partial list, never a crash.
#include <gtest/gtest.h>

#include <random>

#include "entry_record/archive_error.h"
#include "entry_record/archive_writer.h"
#include "loadcase/loadcase_file.h"
#include "support/scratch_folder.h"

using loadcase::EntryList;
using loadcase::LoadcaseFile;
using loadcase::LoadResult;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::string asText(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

EntryList sampleList() {
    EntryList list;
    list.add({}, {}, "Bracket:0", model::kKindLoadcase);
    list.add({1, 2, 3, 4}, {5, 6, 7, 8, 9}, "Steel: 210000,0.3,7.85e-9", model::kKindMaterial);
    list.add({1, 2, 3, 4}, {10, 11}, std::string(300, 'p'), model::kKindAction);
    list.add({}, {}, "tabl1, 2, 0, 1, 0, 5", model::kKindTable);
    return list;
}

// Decodes `bytes` the way loading does. An accepted list must survive writing and reading again
// unchanged; a refusal must point inside the input. Answers whether the bytes were accepted.
bool decodeChecked(const Bytes& bytes) {
    try {
        const EntryList list = LoadcaseFile::decode(bytes);
        EXPECT_EQ(LoadcaseFile::decode(LoadcaseFile::encode(list)), list);
        return true;
    } catch (const loadcase::ArchiveError& e) {
        EXPECT_LE(e.offset(), bytes.size());
        return false;
    }
}

class DamagedFile : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string path = folder.file("Bracket.api_fem");

    LoadResult loadBytes(const Bytes& bytes) {
        writeFile(path, asText(bytes));
        return LoadcaseFile::load(path);
    }

    void expectDamaged(const Bytes& bytes, const std::string& reasonPart) {
        const LoadResult result = loadBytes(bytes);
        EXPECT_EQ(result.outcome, LoadResult::Outcome::Damaged);
        EXPECT_TRUE(result.entries.empty());
        EXPECT_NE(result.error.find(path), std::string::npos) << result.error;
        EXPECT_NE(result.error.find(reasonPart), std::string::npos) << result.error;
    }
};

TEST_F(DamagedFile, EveryTruncationIsRefusedWithNoEntries) {
    const Bytes whole = LoadcaseFile::encode(sampleList());
    for (std::size_t length = 1; length < whole.size(); ++length) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(length));
        ASSERT_FALSE(decodeChecked(cut)) << "length " << length;
        if (length % 16 != 1) continue;  // through the file too, for a sample of the lengths
        const LoadResult result = loadBytes(cut);
        ASSERT_EQ(result.outcome, LoadResult::Outcome::Damaged) << "length " << length;
        ASSERT_TRUE(result.entries.empty());
    }
}

TEST_F(DamagedFile, AbsurdCountsAreRefusedBeforeAnyEntryIsRead) {
    expectDamaged({0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}, "claims 4294967294 entries");
    expectDamaged({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
                  "claims");
    expectDamaged({0x10, 0x00, 0x00, 0x00}, "claims 16 entries");
}

TEST_F(DamagedFile, WrongClassesAndTagsAreNamed) {
    auto listOf = [](std::string_view className, std::uint16_t schema) {
        loadcase::ArchiveWriter out;
        out.writeCount(1);
        out.writeClassTag(className, schema);
        for (int i = 0; i < 4; ++i) out.writeU32(0);
        out.writeU8(0);
        return out.bytes();
    };
    expectDamaged(listOf("CThing", 1), "unknown class name \"CThing\"");
    expectDamaged(listOf("CActions", 2), "schema 2");
    expectDamaged(listOf("CPersistentKey", 1), "is a CPersistentKey instead of a CActions");

    Bytes bytes{0x01, 0x00, 0x00, 0x00};  // one entry whose tag is the null object
    bytes.resize(40, 0);
    expectDamaged(bytes, "null object");
}

TEST_F(DamagedFile, NegativeKeyLengthIsRefused) {
    Bytes bytes = LoadcaseFile::encode(sampleList());
    const std::size_t bodyKey = 2 + 2 + 2 + 2 + 8;  // count, new-class tag, schema, name length, name
    bytes[bodyKey + 3] = 0x80;
    expectDamaged(bytes, "negative length");
}

TEST_F(DamagedFile, RandomCorruptionNeverCrashesAndNeverGivesAPartialList) {
    const Bytes whole = LoadcaseFile::encode(sampleList());
    std::mt19937 random(20240611);
    int refused = 0;
    for (int round = 0; round < 20000; ++round) {
        Bytes bytes = whole;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < changes; ++c)
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        if (random() % 3 == 0) bytes.resize(random() % bytes.size());
        // A change that keeps the layout valid (a key byte, a text byte, a kind) is accepted.
        if (!decodeChecked(bytes)) ++refused;
    }
    EXPECT_GT(refused, 1000);
    EXPECT_LT(refused, 20000);
}

TEST_F(DamagedFile, RandomBytesNeverCrash) {
    std::mt19937 random(7);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        Bytes bytes(random() % 64);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        if (bytes.size() >= 2 && random() % 2 == 0) bytes[1] = 0;  // small counts reach the entries
        if (decodeChecked(bytes)) ++accepted;
    }
    EXPECT_GT(accepted, 0);  // the empty list, at least
}

TEST_F(DamagedFile, SetAsideMovesTheFileToAFreeName) {
    const auto missing = LoadcaseFile::setAsideDamaged(path);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error.find(path), std::string::npos);

    writeFile(path, "broken one");
    auto first = LoadcaseFile::setAsideDamaged(path);
    ASSERT_TRUE(first.ok()) << first.error;
    EXPECT_EQ(first.newPath, path + ".damaged");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(readFile(first.newPath), "broken one");

    writeFile(path, "broken two");
    auto second = LoadcaseFile::setAsideDamaged(path);
    ASSERT_TRUE(second.ok()) << second.error;
    EXPECT_EQ(second.newPath, path + ".damaged.2");
    EXPECT_EQ(readFile(first.newPath), "broken one");
    EXPECT_EQ(readFile(second.newPath), "broken two");

    // After setting aside, the next save starts a fresh file.
    ASSERT_TRUE(LoadcaseFile::save(path, sampleList()).ok());
    EXPECT_EQ(LoadcaseFile::load(path).entries, sampleList());
}

}  // namespace
