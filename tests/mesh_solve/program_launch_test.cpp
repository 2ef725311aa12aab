// Starting the mesher and the solver: paths, the quoted command line, refusals, no waiting.
#include "mesh_solve/program_launch.h"

#include <gtest/gtest.h>

#include "command_fixture.h"

namespace {

using mesh_solve::LaunchResult;
using mesh_solve::RunProgram;

class ProgramLaunch : public ::testing::Test, public CommandFixture {
  protected:
    mesh_solve::RunJob job() const { return {scratch.file("job"), scratch.path(), "job"}; }
    LaunchResult launch(const std::string& program, const std::string& input,
                        RunProgram which = RunProgram::Solver) const {
        return mesh_solve::launchProgram(which, program, input, job());
    }
};

TEST_F(ProgramLaunch, LongPathsAreHandedOverWhole) {
    // Far beyond the 272 characters a fixed buffer would hold.
    const std::string deep = scratch.file(std::string(120, 'd') + "/" + std::string(120, 'e'));
    const StandInPrograms longInstall(deep);
    longInstall.install("tarvsolv");
    const std::string input = deep + "/" + std::string(100, 'c') + ".txt";
    ASSERT_GT(mesh_solve::programCommandLine(longInstall.path("tarvsolv"), input).size(), 272u);
    EXPECT_EQ(mesh_solve::launchProgram(RunProgram::Solver, longInstall.path("tarvsolv"), input, job()),
              LaunchResult::Started);
    EXPECT_EQ(longInstall.arguments("tarvsolv"), (std::vector<std::string>{input, "0", "END"}));
}

// A quote in a path is refused and nothing starts; a program that cannot run is reported.
TEST_F(ProgramLaunch, QuoteInAPathIsRefusedAndAProgramThatCannotRunIsReported) {
    programs.install("velgrin");
    const std::string input = scratch.file("a\" \"b.txt");
    EXPECT_EQ(launch(programs.path("velgrin"), input, RunProgram::Mesher), LaunchResult::Refused);
    EXPECT_EQ(prompts->messageTexts(),
              std::vector<std::string>{"cannot start " + programs.path("velgrin") + ": the path " + input +
                                       " holds a double quote"});
    EXPECT_TRUE(programs.notStarted("velgrin"));

    prompts->clearMessages();
    writeFile(programs.path("tarvsolv"), "not a program");  // no execute permission
    EXPECT_EQ(launch(programs.path("tarvsolv"), "/tmp/x.txt"), LaunchResult::NotStarted);
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"cannot start " + programs.path("tarvsolv")});
}

// A run starts without waiting for the program and is followed to its end: its progress from the
// solver's log in the host's status bar while it runs, then a message with the exit status and the
// log's error line. A second start on the same loadcase while it runs is refused. (The message box
// with that line, and Plot naming it, are the run_ends GUI session's, which runs headless too.)
TEST_F(ProgramLaunch, SolverRunIsFollowedToItsEndAndItsReasonShown) {
    const std::string slog = scratch.file("job.slog");
    writeFile(slog, "[ 0.01 s] error: the last run's reason\n");
    const std::string solver = programs.write(
        "tarvsolv", "echo '[    0.10 s] analysis: transient heat' > '" + slog +
                        "'\n"
                        "echo '[    0.20 s] step 2/8, t = 2 s: temperatures 0 to 1, 0:06 left' >> '" +
                        slog +
                        "'\n"
                        "sleep 1\n"
                        "echo '[    0.30 s] error: cannot open the mesh file /p/job.meb; "
                        "create a mesh first' >> '" +
                        slog + "'\nexit 1\n");
    ASSERT_EQ(launch(solver, "/p/job.txt"), LaunchResult::Started);
    EXPECT_TRUE(mesh_solve::programRuns().running(RunProgram::Solver, job().jobBasePath));
    EXPECT_EQ(launch(solver, "/p/job.txt"), LaunchResult::Refused);
    EXPECT_EQ(prompts->messageTexts(),
              std::vector<std::string>{"The solver still runs on job: wait for its end"});

    // The progress line shows once the solver has logged its step.
    pollUntil([&] { return host.root().statusText() == "Solving job: 25 %, 0:06 left"; });
    EXPECT_EQ(host.root().statusText(), "Solving job: 25 %, 0:06 left");

    ASSERT_TRUE(pollUntilEnded(RunProgram::Solver));
    const std::string end =
        "Solve of job failed (exit status 1): cannot open the mesh file /p/job.meb; create a mesh first";
    EXPECT_EQ(host.root().statusText(), end);
}

// The mesher's console is its progress; a run that ends well says so without a message box, and
// forgets an earlier failure.
TEST_F(ProgramLaunch, MesherProgressComesFromItsConsoleAndSuccessIsNoMessage) {
    const std::string mesher = programs.write("velgrin",
                                              "echo 'velgrin  40% reading the STEP model'\nsleep 0.5\n"
                                              "echo 'velgrin 100% done'\n");
    ASSERT_EQ(launch(mesher, "/p/job.txt", RunProgram::Mesher), LaunchResult::Started);
    pollUntil([] {
        return mesh_solve::programRuns().lastText(RunProgram::Mesher).find("40 %") != std::string::npos;
    });
    EXPECT_EQ(mesh_solve::programRuns().lastText(RunProgram::Mesher),
              "Meshing job: 40 % reading the STEP model");
    ASSERT_TRUE(pollUntilEnded(RunProgram::Mesher));
    EXPECT_EQ(host.root().statusText().rfind("Mesh of job done in ", 0), 0u) << host.root().statusText();
    EXPECT_TRUE(prompts->messageTexts().empty());
    EXPECT_EQ(readFile(scratch.file("job.mlog")), "velgrin  40% reading the STEP model\nvelgrin 100% done\n");

    const std::string killed = programs.write("tarvsolv", "kill -9 $$\n");
    ASSERT_EQ(launch(killed, "/p/job.txt"), LaunchResult::Started);
    ASSERT_TRUE(pollUntilEnded(RunProgram::Solver));
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"Solve of job failed (ended by signal 9)"});
    programs.write("tarvsolv", "exit 0\n");
    ASSERT_EQ(launch(programs.path("tarvsolv"), "/p/job.txt"), LaunchResult::Started);
    ASSERT_TRUE(pollUntilEnded(RunProgram::Solver));
    EXPECT_EQ(mesh_solve::programRuns().lastSolveFailure(job().jobBasePath), "");
}

// A host that lets the system reap its children loses the exit status: the log's last line decides.
TEST(RunEnd, WithoutAnExitStatusTheLogDecides) {
    const mesh_solve::RunJob job{"/p/job", "/p", "job"};
    const platform::ProgramEnd unknown{};
    mesh_solve::RunProgress progress;
    progress.take(RunProgram::Solver, "[    2.00 s] done");
    EXPECT_EQ(
        mesh_solve::endReportFor(RunProgram::Solver, job, progress, unknown, std::chrono::seconds(2)).text,
        "Solve of job done in 2 s");
    mesh_solve::RunProgress stopped;
    stopped.take(RunProgram::Mesher, "velgrin  40% reading the STEP model");
    const auto report =
        mesh_solve::endReportFor(RunProgram::Mesher, job, stopped, unknown, std::chrono::seconds(1));
    EXPECT_TRUE(report.failed);
    EXPECT_EQ(report.text, "Mesh of job failed (its end status is unknown)");
}

// An adaptive solve shows its refinement cycle beside the steps of the cycle's own solve.
TEST(RunProgress, ARefinementCycleIsShownAndATargetNotReachedIsSaidAtTheEnd) {
    const mesh_solve::RunJob job{"/p/job", "/p", "job"};
    mesh_solve::RunProgress progress;
    progress.take(RunProgram::Solver, "[    1.00 s] step 8/8, t = 8 s: temperatures 0 to 1, 0:00 left");
    progress.take(RunProgram::Solver,
                  "[    9.00 s] refinement cycle 2: 84,311 unknowns, error estimate 1.7 %");
    const auto report = mesh_solve::reportFor(RunProgram::Solver, job, progress, std::chrono::seconds(9));
    EXPECT_EQ(report.text, "Solving job: 9 s refinement cycle 2: 84,311 unknowns, error estimate 1.7 %");
    // A refinement that stops short of its target is said at the end of a run that ends well.
    progress.take(RunProgram::Solver,
                  "[   12.54 s] warning: refinement: 6.64 % after 3 cycles, above the target of 5 %");
    progress.take(RunProgram::Solver, "[   12.60 s] done");
    const platform::ProgramEnd exited{platform::ProgramEnd::Kind::Exited, 0};
    EXPECT_EQ(
        mesh_solve::endReportFor(RunProgram::Solver, job, progress, exited, std::chrono::seconds(13)).text,
        "Solve of job done in 13 s; refinement: 6.64 % after 3 cycles, above the target of 5 %");
}

}  // namespace
