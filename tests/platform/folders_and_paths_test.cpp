// Known folders with their environment overrides, and the path helpers.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/known_folders.h"
#include "platform/paths.h"
#include "test_environment.h"

namespace {

using testenv::ScopedEnv;

TEST(KnownFolders, DocumentsFolderPrefersTheOverrideThenTheUserDirsFileThenHome) {
    ScratchFolder home;
    ScopedEnv homeEnv("HOME", home.path());
    ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
    {
        ScopedEnv docs("KOLVANE_DOCUMENTS_DIR", "/srv/docs");
        EXPECT_EQ(platform::documentsFolder(), "/srv/docs");
    }
    ScopedEnv docs("KOLVANE_DOCUMENTS_DIR", "");  // empty counts as unset
    EXPECT_EQ(platform::documentsFolder(), home.path() + "/Documents");

    std::filesystem::create_directories(home.file(".config"));
    writeFile(home.file(".config/user-dirs.dirs"),
                       "# written by xdg-user-dirs-update\n"
                       "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                       "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(platform::documentsFolder(), home.path() + "/Dokumente");
}

TEST(KnownFolders, ProgramFilesFolderDefaultsToOpt) {
    {
        ScopedEnv env("KOLVANE_PROGRAM_FILES_DIR", "/tmp/pf");
        EXPECT_EQ(platform::programFilesFolder(), "/tmp/pf");
    }
    ScopedEnv env("KOLVANE_PROGRAM_FILES_DIR", std::nullopt);
    EXPECT_EQ(platform::programFilesFolder(), "/opt");
}

TEST(KnownFolders, ConfigFolderPrefersTheOverrideThenXdgThenHome) {
    ScopedEnv home("HOME", "/home/someone");
    {
        ScopedEnv env("KOLVANE_CONFIG_DIR", "/tmp/cfg");
        EXPECT_EQ(platform::configFolder(), "/tmp/cfg");
    }
    ScopedEnv env("KOLVANE_CONFIG_DIR", std::nullopt);
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg");
        EXPECT_EQ(platform::configFolder(), "/xdg/kolvane");
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(platform::configFolder(), "/home/someone/.config/kolvane");
}

TEST(Paths, JoinIsPlainConcatenation) {
    EXPECT_EQ(platform::joinPath("/p/FEMprojects", "Bracket"), "/p/FEMprojects/Bracket");
    EXPECT_EQ(platform::joinPath("/p/", "x"), "/p//x");
    EXPECT_EQ(platform::joinPath("", "dump.stp"), "/dump.stp");
}

TEST(Paths, FileStem) {
    EXPECT_EQ(platform::fileStem("/a/b/Bracket.step"), "Bracket");
    EXPECT_EQ(platform::fileStem("C:\\FEM\\Case 1.api_fem"), "Case 1");
    EXPECT_EQ(platform::fileStem("/a.b/job"), "job");
    EXPECT_EQ(platform::fileStem("/a/archive.tar.gz"), "archive.tar");
    EXPECT_EQ(platform::fileStem("/a/.hidden"), ".hidden");
    EXPECT_EQ(platform::fileStem("plain"), "plain");
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
