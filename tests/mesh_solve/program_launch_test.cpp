// Starting the mesher and the solver: paths, the quoted command line, refusals, no waiting.
#include "mesh_solve/program_launch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "command_fixture.h"

namespace {

using mesh_solve::LaunchResult;

class ProgramLaunch : public ::testing::Test, public CommandFixture {};

TEST_F(ProgramLaunch, LongPathsAreHandedOverWhole) {
    // Far beyond the 272 characters a fixed buffer would hold.
    const std::string deep = scratch.file(std::string(120, 'd') + "/" + std::string(120, 'e'));
    const StandInPrograms longInstall(deep);
    longInstall.install("tarvsolv");
    const std::string input = deep + "/" + std::string(100, 'c') + ".txt";
    ASSERT_GT(mesh_solve::programCommandLine(longInstall.path("tarvsolv"), input).size(), 272u);
    EXPECT_EQ(mesh_solve::launchProgram(longInstall.path("tarvsolv"), input), LaunchResult::Started);
    EXPECT_EQ(longInstall.arguments("tarvsolv"), (std::vector<std::string>{input, "0", "END"}));
}

TEST_F(ProgramLaunch, StartsWithoutWaitingForTheProgram) {
    const std::string slow = programs.path("tarvsolv");
    writeFile(slow, "#!/bin/sh\nsleep 5\n");
    std::filesystem::permissions(slow, std::filesystem::perms::owner_all);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(mesh_solve::launchProgram(slow, "/tmp/x.txt"), LaunchResult::Started);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
}

TEST_F(ProgramLaunch, QuoteInAPathIsRefusedAndNothingStarts) {
    programs.install("velgrin");
    const std::string input = scratch.file("a\" \"b.txt");
    EXPECT_EQ(mesh_solve::launchProgram(programs.path("velgrin"), input), LaunchResult::Refused);
    EXPECT_EQ(prompts->messageTexts(),
              std::vector<std::string>{"cannot start " + programs.path("velgrin") + ": the path " + input +
                                       " holds a double quote"});
    EXPECT_TRUE(programs.notStarted("velgrin"));
}

TEST_F(ProgramLaunch, ProgramThatCannotRunIsReported) {
    writeFile(programs.path("tarvsolv"), "not a program");  // no execute permission
    EXPECT_EQ(mesh_solve::launchProgram(programs.path("tarvsolv"), "/tmp/x.txt"), LaunchResult::NotStarted);
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"cannot start " + programs.path("tarvsolv")});
}

}  // namespace
