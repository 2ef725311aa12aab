// The Solve dialog driven as a user would: rows by analysis type, the stored entry, SOLVE with its
// files, settings and solver start, and EXIT.
#include <gtest/gtest.h>

#include <filesystem>

#include "command_fixture.h"
#include "entry_record/entry_kind.h"
#include "loadcase/header_file.h"
#include "mesh_solve/solve_command.h"
#include "mesh_solve/solve_dialog.h"

namespace {

using S = CSolve;
using namespace model;

class SolveCommand : public ::testing::Test, public CommandFixture {
  protected:
    void SetUp() override {
        show();
        programs.install("tarvsolv");
    }
    void TearDown() override {
        if (command) command->OnTerminate();
    }
    S& start() {
        if (command) command->OnTerminate();
        command = platform::makeRef<CSolveCommand>(explorer.get());
        explorer->setCurrentCommand(command);
        command->Start();
        command->putref_CommandSite(site.get());
        return *command->solveDialog();
    }
    void addMaterial() {
        explorer->document().addEntry(bodyKey(), key(0), "steel: 210000,0.3,7.85e-09,1.2e-05", kKindMaterial);
    }
    void makeThermal() {
        loadcase::writeHeaderFile(inputPath(), "mm", 1,
                                  explorer->document().projectFolder() + "/Bracket.meb");
    }
    static std::vector<std::string> shownBoxes(const S& d) {
        std::vector<std::string> out;
        for (int row = 0; row < 7; ++row) {
            const int box = S::kFirstRowBox + row;
            if (d.isVisible(box) && d.isEnabled(box)) out.push_back(d.text(box));
        }
        return out;
    }

    platform::RefPtr<CSolveCommand> command;
    platform::RefPtr<hostapp::CommandSite> site = host.newCommandSite();
};

TEST_F(SolveCommand, SolveStoresTheEntryWritesTheInputAndStartsTheSolver) {
    addMaterial();
    S& d = start();
    d.userClick(S::kSolve);
    EXPECT_TRUE(prompts->messageTexts().empty());
    EXPECT_EQ(texts(kKindSolveParameters), std::vector<std::string>{"ELASTIC:0,1e-06,0,0,0,0,0,0"});
    EXPECT_EQ(lines(kKindSolveParameters), std::vector<std::string>{"ELASTIC:0,1e-06,0,0,0,0,0,0"});
    EXPECT_NE(readFile(inputPath()).find("SOLVE\n0,0,0,0,0,1e-06\n"), std::string::npos);
    EXPECT_EQ(setting("CurrentFile"), inputPath());
    EXPECT_EQ(setting("CurrentSolver"), "PCG");
    EXPECT_EQ(programs.arguments("tarvsolv"), expectedArguments());

    // A second SOLVE replaces the entry rather than adding one.
    d.userType(S::kFirstRowBox + 1, "20");
    d.userClick(S::kSolve);
    EXPECT_EQ(texts(kKindSolveParameters), std::vector<std::string>{"ELASTIC:0,1e-06,20,0,0,0,0,0"});
    EXPECT_EQ(lines(kKindSolveParameters), std::vector<std::string>{"ELASTIC:0,1e-06,20,0,0,0,0,0"});
    EXPECT_EQ(programs.arguments("tarvsolv"), expectedArguments());
}

TEST_F(SolveCommand, RowsFollowTheChosenType) {
    S& d = start();
    EXPECT_EQ(d.selection(S::kTypeList), 0);
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "0"}));
    d.userChoose(S::kTypeList, 4);
    EXPECT_EQ(d.text(S::kFirstRowLabel + 1), "number of modes");
    EXPECT_EQ(d.text(S::kFirstRowLabel + 2), "initial temperature");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "1", "0"}));
    EXPECT_EQ(explorer->document().solveIndex(), 4);
    // Plasticity's row 4 is the number of load steps, shown with the solver's 10.
    d.userChoose(S::kTypeList, 1);
    EXPECT_EQ(d.text(S::kFirstRowLabel + 3), "number of load steps");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "0", "100", "10", "0", "1"}));
}

TEST_F(SolveCommand, ValuesStayWithTheirLabelsAcrossAChangeOfType) {
    S& d = start();
    d.userChoose(S::kTypeList, 1);
    d.userType(S::kFirstRowBox, "1e-07");
    d.userType(S::kFirstRowBox + 1, "20");
    d.userType(S::kFirstRowBox + 2, "250");
    d.userType(S::kFirstRowBox + 4, "abc");
    // Row 3 turns from "iteration limit" into "number of steps": the 250 iterations do not
    // become 250 steps.
    d.userChoose(S::kTypeList, 5);
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-07", "20", "1", "0", "0", "0", "0"}));
    // Rows that are hidden keep nothing for the entry.
    d.userType(S::kFirstRowBox + 6, "0.02");
    d.userChoose(S::kTypeList, 0);
    addMaterial();
    d.userClick(S::kSolve);
    EXPECT_EQ(texts(kKindSolveParameters), std::vector<std::string>{"ELASTIC:0,1e-07,20,0,0,0,0,0"});
    EXPECT_EQ(programs.arguments("tarvsolv"), expectedArguments());
}

TEST_F(SolveCommand, ThermalLoadcaseListsTwoTypesAndSolvesTransient) {
    makeThermal();
    addMaterial();
    S& d = start();
    EXPECT_EQ(explorer->document().analysisType(), 6);
    ASSERT_EQ(d.itemCount(S::kTypeList), 2);
    d.userChoose(S::kTypeList, 1);
    EXPECT_EQ(explorer->document().solveIndex(), 7);
    d.userType(S::kFirstRowBox + 3, "0.5");
    d.userClick(S::kSolve);
    EXPECT_EQ(texts(kKindSolveParameters), std::vector<std::string>{"THERMALTRAN:7,1e-06,0,1,0.5,0,0,0"});
    EXPECT_NE(readFile(inputPath()).find("HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=2 0 0.5 1\n"),
              std::string::npos);
    EXPECT_NE(readFile(inputPath()).find("SOLVE\n0,1,0.5,0,0,1e-06\nPRINT\n 1\nDYNAMIC\n 0 0\n"),
              std::string::npos);
    EXPECT_EQ(programs.arguments("tarvsolv"), expectedArguments());
}

TEST_F(SolveCommand, StoredEntryIsShownWithTheValuesItHoldsAShortOrDamagedOneWithZeros) {
    explorer->document().replaceSectionEntry("PLASTIC:1,1e-08,20,50,0,30,2,0", kKindSolveParameters, true);
    S& d = start();
    EXPECT_EQ(d.selection(S::kTypeList), 1);
    EXPECT_EQ(d.labelledType(), 1);
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-08", "20", "50", "10", "30", "2"}));
    explorer->document().replaceSectionEntry("ELASTIC:0,1e-05", kKindSolveParameters, true);
    EXPECT_EQ(shownBoxes(start()), (std::vector<std::string>{"1e-05", "0"}));
    explorer->document().replaceSectionEntry("garbage", kKindSolveParameters, true);
    EXPECT_EQ(shownBoxes(start()), (std::vector<std::string>{"1e-06", "0"}));
}

TEST_F(SolveCommand, SolverChoiceIsStoredAtOnceAndShownNextTime) {
    S& d = start();
    d.userClick(S::kDirect);
    EXPECT_EQ(setting("CurrentSolver"), "MF");
    EXPECT_EQ(d.solverChoice(), 1);
    S& again = start();
    EXPECT_TRUE(again.isChecked(S::kDirect));
    EXPECT_FALSE(again.isChecked(S::kIterative));
    EXPECT_EQ(again.solverChoice(), 1);
}

TEST_F(SolveCommand, SolverFileOnlyWritesTheInputAndStopsThere) {
    addMaterial();
    S& d = start();
    setSetting("CurrentSolver", "MF");  // changed behind the dialog: SOLVE would store PCG
    d.userClick(S::kSolverFileOnly);
    d.userClick(S::kSolve);
    EXPECT_TRUE(std::filesystem::exists(inputPath()));
    EXPECT_EQ(setting("CurrentSolver"), "MF");
    EXPECT_TRUE(programs.notStarted("tarvsolv"));

    d.userClick(S::kSolverFileOnly);
    d.userClick(S::kSolve);
    EXPECT_EQ(setting("CurrentSolver"), "PCG");
    EXPECT_EQ(programs.arguments("tarvsolv"), expectedArguments());
}

TEST_F(SolveCommand, RefusedWriterStartsNothing) {
    S& d = start();
    setSetting("CurrentSolver", "MF");
    d.userClick(S::kSolve);
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"Assign a Material first"});
    EXPECT_FALSE(std::filesystem::exists(inputPath()));
    EXPECT_TRUE(programs.notStarted("tarvsolv"));
    EXPECT_EQ(setting("CurrentSolver"), "MF");

    // A header without its HEADER line is no mesh's input: the writer refuses again.
    addMaterial();
    writeFile(inputPath(), "MFILE\nx.meb\n");
    d.userClick(S::kSolve);
    EXPECT_EQ(prompts->messageTexts().back(), "Create a Mesh first");
    EXPECT_EQ(readFile(inputPath()), "MFILE\nx.meb\n");
    EXPECT_FALSE(std::filesystem::exists(explorer->document().jobBasePath() + ".out"));
    EXPECT_TRUE(programs.notStarted("tarvsolv"));
}

TEST_F(SolveCommand, UnreadableSolverSettingIsReportedAndCountsAsIterative) {
    settings->deleteValue(platform::Hive::CurrentUser, "Software\\Tarvenic\\Tarvenic", "CurrentSolver");
    S& d = start();
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{": registry write error - CurrentFile"});
    EXPECT_EQ(d.solverChoice(), 0);
    EXPECT_TRUE(d.isChecked(S::kIterative));
}

TEST_F(SolveCommand, MissingSolverIsPassedOverSilently) {
    programs.remove("tarvsolv");
    addMaterial();
    start().userClick(S::kSolve);
    EXPECT_TRUE(prompts->messageTexts().empty());
    EXPECT_TRUE(std::filesystem::exists(inputPath()));
    EXPECT_EQ(setting("CurrentFile"), inputPath());
}

TEST_F(SolveCommand, ExitEndsTheCommandThroughItsSite) {
    start().userClick(S::kExit);
    EXPECT_EQ(site->calls(), (std::vector<std::string>{"SetPicking", "ClearStatus", "EndCommand"}));
}

}  // namespace
