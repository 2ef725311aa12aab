// The loadcase file: exact bytes, round trips through files, and saving that never tears the old file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>

#include "entry_record/archive_writer.h"
#include "loadcase/loadcase_file.h"
#include "support/scratch_folder.h"

using loadcase::EntryList;
using loadcase::LoadcaseFile;
using loadcase::LoadResult;
using Bytes = std::vector<std::uint8_t>;

namespace {

EntryList twoEntries() {
    EntryList list;
    list.add({0x01, 0x02}, {0xAA}, "face;fix,6=XYZ", model::kKindReaction);
    list.add({}, {}, "tabl1, 1, 0, 5", model::kKindTable);
    return list;
}

TEST(LoadcaseFileBytes, SmallListMatchesTheLayoutByteForByte) {
    // clang-format off
    const Bytes expected{
        0x02, 0x00,                                            // entry count
        0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00,                    // new class, schema 1, name length 8
        'C', 'A', 'c', 't', 'i', 'o', 'n', 's',
        0x02, 0x00, 0x00, 0x00, 0x01, 0x02,                    // body key
        0x01, 0x00, 0x00, 0x00, 0xAA,                          // entity key
        14, 'f', 'a', 'c', 'e', ';', 'f', 'i', 'x', ',', '6', '=', 'X', 'Y', 'Z',
        0x04, 0x00, 0x00, 0x00,                                // kind 4
        0x01, 0x80,                                            // class index 1
        0x00, 0x00, 0x00, 0x00,                                // empty body key
        0x00, 0x00, 0x00, 0x00,                                // empty entity key
        14, 't', 'a', 'b', 'l', '1', ',', ' ', '1', ',', ' ', '0', ',', ' ', '5',
        0x06, 0x00, 0x00, 0x00,                                // kind 6
    };
    // clang-format on
    EXPECT_EQ(LoadcaseFile::encode(twoEntries()), expected);
    EXPECT_EQ(LoadcaseFile::decode(expected), twoEntries());
}

TEST(LoadcaseFileBytes, LongListUsesThe32BitCountAndOneClassDefinition) {
    EntryList list;
    for (int i = 0; i < 70000; ++i) list.append(model::CActions({}, {}, "e" + std::to_string(i), i % 9));
    const Bytes bytes = LoadcaseFile::encode(list);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8),
              (Bytes{0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00, 0xFF, 0xFF}));
    const std::string text = asText(bytes);
    EXPECT_EQ(text.find("CActions"), 12u);
    EXPECT_EQ(text.find("CActions", 13), std::string::npos);
    EXPECT_EQ(LoadcaseFile::decode(bytes), list);
}

class LoadcaseFileOnDisk : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string path = folder.file("Bracket.api_fem");
};

TEST_F(LoadcaseFileOnDisk, WideCharacterTextsReadAsNarrowText) {
    loadcase::ArchiveWriter out;
    out.writeCount(2);
    for (const char16_t* text : {u"face;pressure=5", u"Steel: 210000,0.3"}) {
        out.writeClassTag("CActions", 1);
        out.writeByteArray(Bytes{7});
        out.writeByteArray(Bytes{8, 9});
        out.writeWideString(text);
        out.writeU32(3);
    }
    writeFile(path, asText(out.bytes()));
    const LoadResult back = LoadcaseFile::load(path);
    ASSERT_TRUE(back.ok()) << back.error;
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.entries[0].text(), "face;pressure=5");
    EXPECT_EQ(back.entries[1].text(), "Steel: 210000,0.3");
    EXPECT_EQ(back.entries[1].entityKey().bytes(), (Bytes{8, 9}));
}

TEST_F(LoadcaseFileOnDisk, MissingAndZeroByteFilesAreEmptyListsAFolderIsUnreadable) {
    const LoadResult missing = LoadcaseFile::load(path);
    EXPECT_EQ(missing.outcome, LoadResult::Outcome::Missing);
    EXPECT_TRUE(missing.error.empty());
    EXPECT_TRUE(missing.entries.empty());
    writeFile(path, "");
    const LoadResult empty = LoadcaseFile::load(path);
    EXPECT_TRUE(empty.ok()) << empty.error;
    EXPECT_TRUE(empty.entries.empty());
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    const LoadResult folderInstead = LoadcaseFile::load(path);
    EXPECT_EQ(folderInstead.outcome, LoadResult::Outcome::Unreadable);
    EXPECT_NE(folderInstead.error.find(path), std::string::npos) << folderInstead.error;
}

// createIfMissing writes an empty list only once; a save replaces the file and leaves no temporary.
TEST_F(LoadcaseFileOnDisk, CreateIfMissingWritesAnEmptyListOnlyOnceAndSaveReplacesTheFile) {
    ASSERT_TRUE(LoadcaseFile::createIfMissing(path).ok());
    EXPECT_EQ(readFile(path), std::string(2, '\0'));
    ASSERT_TRUE(LoadcaseFile::save(path, twoEntries()).ok());
    ASSERT_TRUE(LoadcaseFile::createIfMissing(path).ok());
    EXPECT_EQ(LoadcaseFile::load(path).entries, twoEntries());
    ASSERT_TRUE(LoadcaseFile::save(path, EntryList{}).ok());
    EXPECT_EQ(readFile(path), std::string(2, '\0'));
    EXPECT_EQ(folder.count(), 1u);
}

TEST_F(LoadcaseFileOnDisk, SaveKeepsPermissionsAndSymbolicLinks) {
    ASSERT_TRUE(LoadcaseFile::save(path, EntryList{}).ok());
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const std::string link = folder.file("link.api_fem");
    std::filesystem::create_symlink(path, link);
    ASSERT_TRUE(LoadcaseFile::save(link, twoEntries()).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(LoadcaseFile::load(path).entries, twoEntries());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(LoadcaseFileOnDisk, FailedSaveNamesTheFileAndChangesNothing) {
    const std::string nowhere = folder.file("no-such-folder/Bracket.api_fem");
    const auto result = LoadcaseFile::save(nowhere, twoEntries());
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find(nowhere), std::string::npos) << result.error;
    EXPECT_EQ(folder.count(), 0u);

    std::filesystem::create_directory(path);
    EXPECT_FALSE(LoadcaseFile::save(path, twoEntries()).ok());
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(folder.count(), 1u);

    // A read-only file is not replaced.
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    std::filesystem::remove(path);
    ASSERT_TRUE(LoadcaseFile::save(path, twoEntries()).ok());
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(LoadcaseFile::save(path, EntryList{}).ok());
    EXPECT_EQ(LoadcaseFile::load(path).entries, twoEntries());
    EXPECT_EQ(folder.count(), 1u);
}

// A file-size limit makes writing fail part-way, as a full disk does.
TEST_F(LoadcaseFileOnDisk, WriteFailingPartWayKeepsTheOldFile) {
    ASSERT_TRUE(LoadcaseFile::save(path, twoEntries()).ok());
    EntryList big;
    big.append(model::CActions({}, {}, std::string(100000, 'x'), model::kKindTable));

    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto result = LoadcaseFile::save(path, big);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find(path), std::string::npos) << result.error;
    EXPECT_EQ(LoadcaseFile::load(path).entries, twoEntries());
    EXPECT_EQ(folder.count(), 1u);
}

}  // namespace
