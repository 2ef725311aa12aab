// Damaged loadcase files: refused with a message naming the file, never a partial list, never a crash.
#include <gtest/gtest.h>

#include "entry_record/archive_error.h"
#include "entry_record/archive_writer.h"
#include "loadcase/loadcase_file.h"
#include "support/file_fuzz.h"
#include "support/scratch_folder.h"

using loadcase::EntryList;
using loadcase::LoadcaseFile;
using loadcase::LoadResult;
using Bytes = std::vector<std::uint8_t>;

namespace {

EntryList sampleList() {
    EntryList list;
    list.add({}, {}, "Bracket:0", model::kKindLoadcase);
    list.add({1, 2, 3, 4}, {5, 6, 7, 8, 9}, "Steel: 210000,0.3,7.85e-9", model::kKindMaterial);
    list.add({1, 2, 3, 4}, {10, 11}, std::string(300, 'p'), model::kKindAction);
    list.add({}, {}, "tabl1, 2, 0, 1, 0, 5", model::kKindTable);
    return list;
}

// Decodes `bytes` the way loading does: an accepted list must survive writing and reading again
// unchanged, a refusal must point inside the input. Answers what went wrong, or "".
std::string decodeFault(const std::string& text, bool& accepted) {
    const Bytes bytes(text.begin(), text.end());
    try {
        const EntryList list = LoadcaseFile::decode(bytes);
        accepted = true;
        return LoadcaseFile::decode(LoadcaseFile::encode(list)) == list ? "" : "changed by a round trip";
    } catch (const loadcase::ArchiveError& e) {
        accepted = false;
        return e.offset() <= bytes.size() ? "" : "refusal points beyond the input";
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

// Every truncation is refused, through the file too; random damage (byte flips, extreme counts,
// cuts, repeats) either refuses or gives a list that survives a round trip, never a partial one.
TEST_F(DamagedFile, TruncationsAreRefusedAndRandomDamageNeverGivesAPartialList) {
    const std::string whole = asText(LoadcaseFile::encode(sampleList()));
    int accepted = 0, tried = 0;
    const auto check = [&](const std::string& bytes) {
        bool ok = false;
        const std::string fault = decodeFault(bytes, ok);
        accepted += ok ? 1 : 0;
        ++tried;
        return fault;
    };
    fuzz::Plan truncations;
    truncations.rounds = 0;
    EXPECT_EQ(fuzz::firstFault(whole, truncations, check), "");
    EXPECT_EQ(accepted, 0) << "no truncation decodes";
    for (std::size_t length = 1; length < whole.size(); length += 16) {
        const LoadResult result = loadBytes(Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
        ASSERT_EQ(result.outcome, LoadResult::Outcome::Damaged) << "length " << length;
        ASSERT_TRUE(result.entries.empty());
    }
    fuzz::Plan plan;
    plan.rounds = 20000;
    plan.headerBytes = 24;
    plan.countsAt = {0, 2};
    EXPECT_EQ(fuzz::firstFault(whole, plan, check), "");
    // A change that keeps the layout valid (a key byte, a text byte, a kind) is accepted.
    EXPECT_GT(accepted, 100);
    EXPECT_LT(accepted, tried - 1000);
}

// Absurd counts are refused before any entry is read; wrong classes, tags and key lengths are named.
TEST_F(DamagedFile, AbsurdCountsWrongClassesAndTagsAreNamed) {
    expectDamaged({0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}, "claims 4294967294 entries");
    expectDamaged({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
                  "claims");
    expectDamaged({0x10, 0x00, 0x00, 0x00}, "claims 16 entries");
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
    bytes = LoadcaseFile::encode(sampleList());
    bytes[2 + 2 + 2 + 2 + 8 + 3] = 0x80;  // the body key's length, after the count and the class tag
    expectDamaged(bytes, "negative length");
}

// The first setting aside, to ".damaged", and the fresh file after it are checked where the
// explorer meets a damaged file; here a missing file and the next free name.
TEST_F(DamagedFile, SetAsideMovesTheFileToAFreeName) {
    const auto missing = LoadcaseFile::setAsideDamaged(path);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error.find(path), std::string::npos);
    writeFile(path + ".damaged", "broken one");
    writeFile(path, "broken two");
    const auto second = LoadcaseFile::setAsideDamaged(path);
    ASSERT_TRUE(second.ok()) << second.error;
    EXPECT_EQ(second.newPath, path + ".damaged.2");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(readFile(path + ".damaged"), "broken one");
    EXPECT_EQ(readFile(second.newPath), "broken two");
}

}  // namespace
