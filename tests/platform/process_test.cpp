// Command lines, detached program start and the help viewer.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/help_viewer.h"
#include "platform/process.h"
#include "test_environment.h"

namespace {

using testenv::ScopedEnv;
using Args = std::vector<std::string>;

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(platform::splitCommandLine("velgrin job.txt 0"), (Args{"velgrin", "job.txt", "0"}));
    EXPECT_EQ(platform::splitCommandLine("\"/opt/Tar venic/velgrin\"  \"/p/my job.txt\"\t0 "),
              (Args{"/opt/Tar venic/velgrin", "/p/my job.txt", "0"}));
    EXPECT_EQ(platform::splitCommandLine("a\"b c\"d"), (Args{"ab cd"}));
    EXPECT_EQ(platform::splitCommandLine("x \"\" y"), (Args{"x", "", "y"}));
    EXPECT_EQ(platform::splitCommandLine("\"open ended"), (Args{"open ended"}));
    EXPECT_TRUE(platform::splitCommandLine("   ").empty());
    EXPECT_TRUE(platform::splitCommandLine("").empty());
}

// The program runs with its quoted arguments after startDetached has already returned.
TEST(StartDetached, RunsAProgramWithQuotedArgumentsWithoutWaitingForIt) {
    ScratchFolder dir;
    std::filesystem::create_directories(dir.file("Program Files"));
    const std::string script = dir.file("Program Files/writer");
    testenv::writeScript(script, "sleep 2\nprintf '%s|%s\\n' \"$1\" \"$2\" > \"$3\"\n");
    const std::string out = dir.file("out.txt");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(platform::startDetached("\"" + script + "\" \"my job.txt\" 0 \"" + out + "\""));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(testenv::waitForFile(out), "my job.txt|0\n");
}

TEST(StartDetached, RefusesWhatCannotBeExecuted) {
    ScratchFolder dir;
    EXPECT_FALSE(platform::startDetached(dir.file("missing-program")));
    EXPECT_FALSE(platform::startDetached(dir.path()));  // a folder
    writeFile(dir.file("not-executable"), "#!/bin/sh\n");
    EXPECT_FALSE(platform::startDetached(dir.file("not-executable")));
    EXPECT_FALSE(platform::startDetached(""));
    EXPECT_FALSE(platform::startDetached("\"\" arg"));
}

// A help viewer that records the file it was asked to show.
class HelpViewer : public testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(bin_);
        writeViewer(bin_ + "/xchm");
        platform::resetHelpViewerLookup();
    }
    void TearDown() override { platform::resetHelpViewerLookup(); }

    void writeViewer(const std::string& path) {
        testenv::writeScript(path, "echo \"$1\" > \"" + shown_ + "\"\n");
    }

    ScratchFolder dir_;
    std::string bin_ = dir_.file("bin");
    std::string shown_ = dir_.file("shown.txt");
    std::string help_ = dir_.file("Tarvenic dir/help.chm");
};

TEST_F(HelpViewer, DoesNothingWithoutAViewerAndDoesNotLookAgain) {
    ScopedEnv viewer("KOLVANE_HELP_VIEWER", std::nullopt);
    {
        ScopedEnv path("PATH", "");
        platform::openHelpFile(help_);
    }
    ScopedEnv path("PATH", bin_);
    platform::openHelpFile(help_);  // the earlier look found nothing; it is not repeated
    EXPECT_FALSE(testenv::waitForFile(shown_, std::chrono::milliseconds(300)));

    platform::resetHelpViewerLookup();
    platform::openHelpFile(help_);
    EXPECT_EQ(testenv::waitForFile(shown_), help_ + "\n");
}

TEST_F(HelpViewer, StartsTheViewerTheEnvironmentNamesByPathOrOnThePath) {
    writeViewer(dir_.file("own viewer"));
    writeViewer(bin_ + "/myviewer");
    std::filesystem::remove(bin_ + "/xchm");
    for (const std::string& named : {dir_.file("own viewer"), std::string("myviewer")}) {
        SCOPED_TRACE(named);
        std::filesystem::remove(shown_);
        platform::resetHelpViewerLookup();
        ScopedEnv path("PATH", bin_);
        ScopedEnv viewer("KOLVANE_HELP_VIEWER", named);
        platform::openHelpFile(help_);
        EXPECT_EQ(testenv::waitForFile(shown_), help_ + "\n");
    }
}

}  // namespace
