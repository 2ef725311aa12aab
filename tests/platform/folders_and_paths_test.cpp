// Known folders with their environment overrides, and the path helpers.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/known_folders.h"
#include "platform/paths.h"
#include "test_environment.h"

namespace {

using testenv::ScopedEnv;

// Each folder takes its override when it is set and not empty, else its fallback under $HOME.
TEST(KnownFolders, AnOverrideWinsUnlessItIsEmpty) {
    struct Case {
        const char* variable;
        std::string (*folder)();
        std::string fallback;
    };
    ScopedEnv home("HOME", "/home/someone");
    ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
    for (const Case& c :
         {Case{"KOLVANE_DOCUMENTS_DIR", platform::documentsFolder, "/home/someone/Documents"},
          Case{"KOLVANE_PROGRAM_FILES_DIR", platform::programFilesFolder, "/opt"},
          Case{"KOLVANE_CONFIG_DIR", platform::configFolder, "/home/someone/.config/kolvane"}}) {
        SCOPED_TRACE(c.variable);
        {
            ScopedEnv set(c.variable, "/srv/elsewhere");
            EXPECT_EQ(c.folder(), "/srv/elsewhere");
        }
        ScopedEnv empty(c.variable, "");
        EXPECT_EQ(c.folder(), c.fallback);
    }
}

// XDG_CONFIG_HOME moves the config folder and is where the user-dirs file is looked for.
TEST(KnownFolders, DocumentsComeFromTheUserDirsFileUnderTheXdgConfigFolder) {
    ScratchFolder config;
    ScopedEnv home("HOME", "/home/someone");
    ScopedEnv xdg("XDG_CONFIG_HOME", config.path());
    ScopedEnv docs("KOLVANE_DOCUMENTS_DIR", std::nullopt);
    ScopedEnv cfg("KOLVANE_CONFIG_DIR", std::nullopt);
    EXPECT_EQ(platform::configFolder(), config.path() + "/kolvane");
    writeFile(config.file("user-dirs.dirs"),
              "# written by xdg-user-dirs-update\n"
              "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
              "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(platform::documentsFolder(), "/home/someone/Dokumente");
}

// The stem of a loadcase file with a dot in its name is checked where the Loadcase dialog lists them.
TEST(Paths, StemDropsFolderAndLastExtension) {
    EXPECT_EQ(platform::fileStem("C:\\FEM\\Case 1.api_fem"), "Case 1");
    EXPECT_EQ(platform::fileStem("/a.b/job"), "job");
    EXPECT_EQ(platform::fileStem("/a/.hidden"), ".hidden");
    EXPECT_EQ(platform::fileStem("/a/b/"), "");
}

TEST(Paths, ExistenceAndOneLevelFolderCreation) {
    ScratchFolder dir;
    EXPECT_TRUE(platform::pathExists(dir.path()));
    EXPECT_FALSE(platform::pathExists(dir.file("missing")));
    EXPECT_FALSE(platform::pathExists(""));
    writeFile(dir.file("file.txt"), "x");
    EXPECT_TRUE(platform::pathExists(dir.file("file.txt")));

    platform::createFolder(dir.file("a/b"));  // no parent: ignored
    EXPECT_FALSE(platform::pathExists(dir.file("a")));
    platform::createFolder(dir.file("a"));
    platform::createFolder(dir.file("a"));  // already there: ignored
    platform::createFolder(dir.file("a/b"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("a/b")));
}

}  // namespace
