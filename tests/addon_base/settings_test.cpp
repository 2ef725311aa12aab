// The add-on's settings: install folder, projects root, values, host folder, with their defaults.
#include "addon_base/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/addon_fixture.h"

namespace {

class Settings : public ::testing::Test, public AddOnFixture {};

TEST_F(Settings, WithoutTheAddOnKeyEverythingFallsBackSilently) {
    settings = std::make_shared<platform::MemorySettingsStore>();
    platform::setSettingsStore(settings);
    EXPECT_EQ(addon::readInstallFolder(), scratch.file("Programs") + "/Tarvenic/tarvdir");
    EXPECT_EQ(addon::readProjectsRoot(), "notfound");
    EXPECT_EQ(addon::readValue("CurrentSolver"), "C:\\");
    EXPECT_EQ(addon::writeValue("/p/job.txt", "CurrentFile"), 1);
    EXPECT_FALSE(settings->keyExists(platform::Hive::CurrentUser, "Software\\Tarvenic")) << "never created";
    EXPECT_TRUE(prompts->messages().empty());
}

TEST_F(Settings, InstallPathMustNameSomethingThatExists) {
    setSetting("InstallPath", scratch.path());
    EXPECT_EQ(addon::readInstallFolder(), scratch.path());
    setSetting("InstallPath", scratch.file("deleted"));
    EXPECT_EQ(addon::readInstallFolder(), scratch.file("Programs") + "/Tarvenic/tarvdir");
}

TEST_F(Settings, ProjectsRootReportsAMissingValue) {
    EXPECT_EQ(addon::readProjectsRoot(), "");
    EXPECT_EQ(prompts->messageTexts(),
              std::vector<std::string>{": registry read error 1 - reinstall of Tarvenic required"});
    setSetting("Projects", "");
    EXPECT_EQ(addon::readProjectsRoot(), "");
    setSetting("Projects", "/srv/fem");
    EXPECT_EQ(addon::readProjectsRoot(), "/srv/fem");
    EXPECT_EQ(prompts->messages().size(), 1u);
}

TEST_F(Settings, ValuesAreReadAndWrittenWithTheirMessages) {
    EXPECT_EQ(addon::readValue("CurrentSolver"), "");
    EXPECT_EQ(addon::writeValue("MF", "CurrentSolver"), 1);
    EXPECT_EQ(addon::readValue("CurrentSolver"), "MF");
    settings->setFailWrites(true);
    EXPECT_EQ(addon::writeValue("/p/job.txt", "CurrentFile"), 0);
    EXPECT_EQ(prompts->messageTexts(),
              (std::vector<std::string>{": registry write error - CurrentFile",
                                        "/p/job.txt: registry write error - CurrentFile"}));
}

TEST_F(Settings, HostHomeFolderComesFromTheHostsKey) {
    std::string folder = "before";
    EXPECT_EQ(addon::readHostHomeFolder(folder), platform::kFail);
    EXPECT_EQ(folder, "before");
    settings->writeValue(platform::Hive::LocalMachine, addon::kHostKey, "HomeDirectory", "/opt/host");
    EXPECT_EQ(addon::readHostHomeFolder(folder), platform::kOk);
    EXPECT_EQ(folder, "/opt/host");
    settings->writeValue(platform::Hive::LocalMachine, addon::kHostKey, "HomeDirectory",
                         std::string(300, 'x'));
    EXPECT_EQ(addon::readHostHomeFolder(folder), platform::kFail) << "longer than the 260-byte buffer";
    EXPECT_EQ(folder, "/opt/host");
}

}  // namespace
