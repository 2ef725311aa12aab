// Command lines, detached program start and the help viewer.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

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

// The program runs with its quoted arguments after startDetached has already returned; what cannot
// be executed is refused.
TEST(StartDetached, RunsAProgramWithQuotedArgumentsWithoutWaitingForItAndRefusesOthers) {
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

    writeFile(dir.file("not-executable"), "#!/bin/sh\n");
    for (const std::string& refused : {dir.file("missing-program"), dir.path() /* a folder */,
                                       dir.file("not-executable"), std::string(), std::string("\"\" arg")})
        EXPECT_FALSE(platform::startDetached(refused)) << refused;
}

// Polls `run` until its program has ended, for at most ten seconds.
std::optional<platform::ProgramEnd> waitForEnd(platform::StartedProgram& run) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::optional<platform::ProgramEnd> end;
    while (!(end = run.poll()) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return end;
}

// The end of a started program is seen without waiting: its exit status or signal, once, and its
// output in the file named for it.
TEST(StartProgram, ReportsTheEndWithoutWaitingAndKeepsTheOutput) {
    ScratchFolder dir;
    const std::string script = dir.file("prog");
    testenv::writeScript(
        script, "echo \"out $1\"; echo err >&2; [ \"$1\" = kill ] && kill -9 $$; sleep 0.3; exit $1\n");
    const std::string log = dir.file("prog.out");
    auto run = platform::startProgram("\"" + script + "\" 3", log);
    ASSERT_TRUE(run.has_value());
    EXPECT_FALSE(run->poll().has_value()) << "still sleeping";
    auto end = waitForEnd(*run);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->kind, platform::ProgramEnd::Kind::Exited);
    EXPECT_EQ(end->code, 3);
    EXPECT_FALSE(end->succeeded());
    EXPECT_EQ(run->poll()->code, 3) << "the same end when asked again";
    EXPECT_EQ(readFile(log), "out 3\nerr\n");

    auto killed = platform::startProgram("\"" + script + "\" kill");
    ASSERT_TRUE(killed.has_value());
    ASSERT_TRUE((end = waitForEnd(*killed)).has_value());
    EXPECT_EQ(end->kind, platform::ProgramEnd::Kind::Signalled);
    EXPECT_EQ(end->code, 9);

    EXPECT_FALSE(platform::startProgram(dir.file("missing-program")).has_value());
    EXPECT_FALSE(platform::startProgram("").has_value());
}

// Stand-in help programs on a PATH of the test's own: each records its name and the file it was
// asked to show.
class HelpViewer : public testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(bin_);
        std::filesystem::create_directories(dir_.file("Tarvenic dir/help"));
        writeFile(help_, "ITSF");
        writeFile(page_, "<html></html>\n");
        writeViewer(bin_ + "/xchm");
        writeViewer(bin_ + "/xdg-open");
        platform::resetHelpViewerLookup();
    }
    void TearDown() override { platform::resetHelpViewerLookup(); }

    void writeViewer(const std::string& path) {
        testenv::writeScript(path, "echo \"${0##*/} $1\" > \"" + shown_ + "\"\n");
    }
    // What the stand-ins were asked to show after one openHelpFile with `path` as PATH.
    std::optional<std::string> open(const std::string& path) {
        std::filesystem::remove(shown_);
        ScopedEnv onPath("PATH", path);
        platform::openHelpFile(help_);
        return testenv::waitForFile(shown_, std::chrono::milliseconds(expectNothing_ ? 300 : 10000));
    }

    ScratchFolder dir_;
    ScopedEnv noOwnViewer_{"KOLVANE_HELP_VIEWER", std::nullopt};
    std::string bin_ = dir_.file("bin");
    std::string shown_ = dir_.file("shown.txt");
    std::string help_ = dir_.file("Tarvenic dir/help.chm");
    std::string page_ = dir_.file("Tarvenic dir/help/index.html");
    bool expectNothing_ = false;
};

// The installed help file opens in the CHM viewer, else the browser shows the start page.
TEST_F(HelpViewer, OpensTheHelpFileWithTheChmViewerElseTheStartPageInTheBrowser) {
    EXPECT_EQ(open(bin_), "xchm " + help_ + "\n");
    EXPECT_EQ(platform::helpStartPage("help.chm"), "help/index.html");

    std::filesystem::remove(bin_ + "/xchm");
    platform::resetHelpViewerLookup();
    EXPECT_EQ(open(bin_), "xdg-open " + page_ + "\n") << "no CHM viewer";

    writeViewer(bin_ + "/xchm");
    platform::resetHelpViewerLookup();
    std::filesystem::remove(help_);
    EXPECT_EQ(open(bin_), "xdg-open " + page_ + "\n") << "a viewer but no compiled help file";
}

TEST_F(HelpViewer, DoesNothingWithoutEitherAndDoesNotLookAgain) {
    expectNothing_ = true;
    EXPECT_FALSE(open(""));
    EXPECT_FALSE(open(bin_)) << "the earlier look found nothing; it is not repeated";

    platform::resetHelpViewerLookup();
    std::filesystem::remove(help_);
    std::filesystem::remove(page_);
    EXPECT_FALSE(open(bin_)) << "programs but nothing installed to show";

    expectNothing_ = false;
    writeFile(help_, "ITSF");
    EXPECT_EQ(open(bin_), "xchm " + help_ + "\n") << "the files are looked for on every call";
}

TEST_F(HelpViewer, StartsTheViewerTheEnvironmentNamesByPathOrOnThePath) {
    writeViewer(dir_.file("own viewer"));
    writeViewer(bin_ + "/myviewer");
    std::filesystem::remove(bin_ + "/xchm");
    for (const std::string& named : {dir_.file("own viewer"), std::string("myviewer")}) {
        SCOPED_TRACE(named);
        platform::resetHelpViewerLookup();
        ScopedEnv viewer("KOLVANE_HELP_VIEWER", named);
        const std::string name = named == "myviewer" ? named : "own viewer";
        EXPECT_EQ(open(bin_), name + " " + help_ + "\n");
    }
}

}  // namespace
