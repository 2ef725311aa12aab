// The settings store that stands in for the registry: in memory and file backed.
#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "test_environment.h"

namespace {

using platform::FileSettingsStore;
using platform::Hive;
using platform::MemorySettingsStore;
using platform::SettingsStore;

const std::string kKey = "Software\\Tarvenic\\Tarvenic";

// What both stores must do alike.
class AnySettingsStore : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            store_ = std::make_unique<FileSettingsStore>(dir_.path());
        } else {
            store_ = std::make_unique<MemorySettingsStore>();
        }
    }
    SettingsStore& store() { return *store_; }

    ScratchFolder dir_;
    std::unique_ptr<SettingsStore> store_;
};

TEST_P(AnySettingsStore, WritesCreateTheKeyWithItsParentsAndKeyNamesIgnoreCase) {
    EXPECT_FALSE(store().keyExists(Hive::CurrentUser, "Software"));
    EXPECT_FALSE(store().readValue(Hive::CurrentUser, kKey, "CurrentFile"));

    ASSERT_TRUE(store().writeValue(Hive::CurrentUser, kKey, "CurrentFile", "/p/job.txt"));
    EXPECT_TRUE(store().keyExists(Hive::CurrentUser, "Software"));
    EXPECT_TRUE(store().keyExists(Hive::CurrentUser, "SOFTWARE\\tarvenic"));
    EXPECT_TRUE(store().keyExists(Hive::CurrentUser, kKey));
    EXPECT_FALSE(store().keyExists(Hive::CurrentUser, "Software\\Tarv"));
    EXPECT_EQ(store().readValue(Hive::CurrentUser, "software\\TARVENIC\\tarvenic", "CurrentFile"),
              "/p/job.txt");

    // Writing through another spelling of the key changes the same value.
    ASSERT_TRUE(
        store().writeValue(Hive::CurrentUser, "SOFTWARE\\TARVENIC\\TARVENIC", "CurrentFile", "/q.txt"));
    EXPECT_EQ(store().readValue(Hive::CurrentUser, kKey, "CurrentFile"), "/q.txt");

    // A key made without a value exists with its parents.
    store().createKey(Hive::CurrentUser, "Software\\Other\\Empty");
    EXPECT_TRUE(store().keyExists(Hive::CurrentUser, "software\\other"));
    EXPECT_TRUE(store().keyExists(Hive::CurrentUser, "Software\\Other\\Empty"));
}

TEST_P(AnySettingsStore, HivesAreSeparateAndValuesCanBeDeleted) {
    ASSERT_TRUE(store().writeValue(Hive::LocalMachine, "SOFTWARE\\Quarnel, Inc.\\Quarnel Design",
                                   "HomeDirectory", "/opt/quarnel/"));
    EXPECT_FALSE(store().keyExists(Hive::CurrentUser, "SOFTWARE"));
    EXPECT_EQ(
        store().readValue(Hive::LocalMachine, "software\\quarnel, inc.\\quarnel design", "HomeDirectory"),
        "/opt/quarnel/");

    store().deleteValue(Hive::LocalMachine, "SOFTWARE\\Quarnel, Inc.\\Quarnel Design", "HomeDirectory");
    EXPECT_FALSE(
        store().readValue(Hive::LocalMachine, "SOFTWARE\\Quarnel, Inc.\\Quarnel Design", "HomeDirectory"));
    EXPECT_TRUE(store().keyExists(Hive::LocalMachine, "SOFTWARE\\Quarnel, Inc.\\Quarnel Design"));
}

TEST_P(AnySettingsStore, AwkwardAndEmptyTextsSurvive) {
    const std::string value = "C:\\Program Files\\\"Tarvenic\"\\ = [x] \\n\nsecond line\\";
    const std::string name = "odd \"name\"=\\";
    ASSERT_TRUE(store().writeValue(Hive::CurrentUser, kKey, name, value));
    ASSERT_TRUE(store().writeValue(Hive::CurrentUser, kKey, "after", "still here"));
    ASSERT_TRUE(store().writeValue(Hive::CurrentUser, kKey, "Projects", ""));
    EXPECT_EQ(store().readValue(Hive::CurrentUser, kKey, name), value);
    EXPECT_EQ(store().readValue(Hive::CurrentUser, kKey, "Projects"), "");
    EXPECT_EQ(store().readValue(Hive::CurrentUser, kKey, "after"), "still here");
}

INSTANTIATE_TEST_SUITE_P(MemoryAndFile, AnySettingsStore, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "File" : "Memory"; });

// Every call reads the hive file afresh: what another instance or a person wrote is seen at once.
TEST(FileSettingsStore, ReadsWhatAnotherInstanceOrAPersonWrote) {
    ScratchFolder dir;
    const std::string folder = dir.file("fresh/.config/kolvane");
    FileSettingsStore writer(folder);
    FileSettingsStore reader(folder);
    ASSERT_TRUE(writer.writeValue(Hive::CurrentUser, kKey, "CurrentSolver", "PCG"));
    EXPECT_EQ(reader.readValue(Hive::CurrentUser, kKey, "CurrentSolver"), "PCG");
    ASSERT_TRUE(reader.writeValue(Hive::CurrentUser, kKey, "CurrentFile", "/p/a.txt"));
    EXPECT_EQ(writer.readValue(Hive::CurrentUser, kKey, "CurrentSolver"), "PCG");
    EXPECT_EQ(writer.readValue(Hive::CurrentUser, kKey, "CurrentFile"), "/p/a.txt");
    EXPECT_FALSE(std::filesystem::exists(writer.hivePath(Hive::LocalMachine)));

    writeFile(writer.hivePath(Hive::CurrentUser),
              "[Software\\Tarvenic\\Tarvenic]\r\n"
              "\"InstallPath\"=\"/opt/Tarvenic/tarvdir\"\r\n"
              "a line that means nothing\r\n"
              "\"Projects\"=\"unterminated\r\n"
              "\"Projects\"=\"/home/u/FEM\"\r\n");
    EXPECT_EQ(reader.readValue(Hive::CurrentUser, kKey, "InstallPath"), "/opt/Tarvenic/tarvdir");
    EXPECT_EQ(reader.readValue(Hive::CurrentUser, kKey, "Projects"), "/home/u/FEM");
    EXPECT_FALSE(reader.readValue(Hive::CurrentUser, kKey, "CurrentSolver"));
}

// A write that cannot be stored answers false, and an unreadable hive file is not replaced.
TEST(FileSettingsStore, FailedWritesAnswerFalseAndKeepTheFile) {
    ScratchFolder dir;
    writeFile(dir.file("not-a-folder"), "x");
    FileSettingsStore blocked(dir.file("not-a-folder"));
    EXPECT_FALSE(blocked.writeValue(Hive::CurrentUser, kKey, "CurrentFile", "/p/a.txt"));
    EXPECT_FALSE(blocked.keyExists(Hive::CurrentUser, kKey));

    if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the super-user";
    FileSettingsStore store(dir.path());
    ASSERT_TRUE(store.writeValue(Hive::CurrentUser, kKey, "Projects", "/home/u/FEM"));
    const std::string path = store.hivePath(Hive::CurrentUser);
    const std::string before = readFile(path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write);
    EXPECT_FALSE(store.writeValue(Hive::CurrentUser, kKey, "CurrentFile", "/p/a.txt"));
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(readFile(path), before);
}

TEST(ProgramSettingsStore, FollowsTheConfigFolderUntilReplaced) {
    ScratchFolder first, second;
    {
        testenv::ScopedEnv env("KOLVANE_CONFIG_DIR", first.path());
        ASSERT_TRUE(platform::settingsStore().writeValue(Hive::CurrentUser, kKey, "CurrentSolver", "PCG"));
        EXPECT_TRUE(std::filesystem::exists(first.file("current-user.reg")));
    }
    {
        testenv::ScopedEnv env("KOLVANE_CONFIG_DIR", second.path());
        EXPECT_FALSE(platform::settingsStore().readValue(Hive::CurrentUser, kKey, "CurrentSolver"));

        auto memory = std::make_shared<MemorySettingsStore>();
        platform::setSettingsStore(memory);
        ASSERT_TRUE(platform::settingsStore().writeValue(Hive::CurrentUser, kKey, "CurrentSolver", "MF"));
        EXPECT_EQ(memory->readValue(Hive::CurrentUser, kKey, "CurrentSolver"), "MF");
        EXPECT_FALSE(std::filesystem::exists(second.file("current-user.reg")));

        platform::setSettingsStore(nullptr);
        EXPECT_FALSE(platform::settingsStore().readValue(Hive::CurrentUser, kKey, "CurrentSolver"));
    }
}

}  // namespace
