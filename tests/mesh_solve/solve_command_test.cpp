// The Solve dialog driven as a user would: rows by analysis type, the stored entry, SOLVE with its
// files, settings and solver start, and EXIT.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "addon/command_factory.h"
#include "addon_base/menu.h"
#include "command_fixture.h"
#include "entry_record/entry_kind.h"
#include "loadcase/header_file.h"
#include "loadcase/loadcase_dialog.h"
#include "mesh_solve/solve_command.h"
#include "mesh_solve/solve_dialog.h"
#include "model/material_dialog.h"

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
    void makeThermal() { writeHeader(1); }
    void writeHeader(int code) {
        loadcase::writeHeaderFile(inputPath(), "mm", code,
                                  explorer->document().projectFolder() + "/Bracket.meb");
    }
    // Types each (row, text) of `rows` into its box.
    static void type(ui::Dialog& d, std::initializer_list<std::pair<int, const char*>> rows) {
        for (const auto& [row, text] : rows) d.userType(S::kFirstRowBox + row, text);
    }
    // Presses SOLVE, which must store `entry`, write every one of `inputLines` into the input
    // without a message and start the solver on it; answers the input written.
    std::string solve(S& d, const std::string& entry, const std::vector<std::string>& inputLines = {}) {
        SCOPED_TRACE(entry);
        d.userClick(S::kSolve);
        EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{});
        EXPECT_EQ(texts(kKindSolveParameters), std::vector<std::string>{entry});
        const std::string input = readFile(inputPath());
        for (const std::string& line : inputLines)
            EXPECT_NE(input.find(line), std::string::npos) << line << input;
        EXPECT_EQ(programs.arguments("tarvsolv"), expectedArguments());
        return input;
    }
    static std::vector<std::string> shownBoxes(const S& d) {
        std::vector<std::string> out;
        for (int row = 0; row < 7; ++row) {
            const int box = S::kFirstRowBox + row;
            if (d.isVisible(box) && d.isEnabled(box)) out.push_back(d.text(box));
        }
        return out;
    }

    // Runs the command of `menu` as a person would: its dialog, then its end.
    void use(std::int32_t menu, const char* caption, const std::function<void(ui::Dialog&)>& person) {
        auto c = addon::createCommand(menu, explorer.get());
        explorer->setCurrentCommand(c);
        c->Start();
        c->putref_CommandSite(site.get());
        person(*ui::findDialog(caption));
        c->OnTerminate();
    }
    // Makes loadcase `name` of the physics radio `physics` and gives the part the first library
    // material its Materials dialog offers.
    void newLoadcaseWithLibraryMaterial(const char* name, int physics) {
        use(addon::kMenuLoadcase, "Loadcase", [&](ui::Dialog& d) {
            d.userType(CLoadcase::kNewName, name);
            d.userClick(physics);
            d.userClick(CLoadcase::kApply);
        });
        use(addon::kMenuMaterials, "Materials", [&](ui::Dialog& d) {
            auto& m = static_cast<CMaterial&>(d);
            m.grid().userChoose(m.standardItem(), 1);
            part.selection().select(part.body(0).face(0));
            m.userClick(CMaterial::kApply);
        });
    }
    // Closes the explorer, shows a new one and opens loadcase `name` in it.
    void reopen(const char* name) {
        explorer->OnTerminate();
        explorer = platform::makeRef<CShowUICommand>("Bracket", addon::explorerHooks({}));
        show();
        use(addon::kMenuLoadcase, "Loadcase", [name](ui::Dialog& d) {
            d.userChoose(CLoadcase::kOldList, d.findItemExact(CLoadcase::kOldList, name));
            d.userClick(CLoadcase::kApply);
        });
    }

    platform::RefPtr<CSolveCommand> command;
    platform::RefPtr<hostapp::CommandSite> site = host.newCommandSite();
};

TEST_F(SolveCommand, SolveStoresTheEntryWritesTheInputAndStartsTheSolver) {
    addMaterial();
    S& d = start();
    solve(d, "ELASTIC:0,1e-06,0,0,0,0,0,0", {"SOLVE\n0,0,0,0,0,1e-06\n"});
    EXPECT_EQ(lines(kKindSolveParameters), std::vector<std::string>{"ELASTIC:0,1e-06,0,0,0,0,0,0"});
    EXPECT_EQ(setting("CurrentFile"), inputPath());
    EXPECT_EQ(setting("CurrentSolver"), "PCG");

    // A second SOLVE, once the first run has ended, replaces the entry rather than adding one.
    ASSERT_TRUE(pollUntilEnded(mesh_solve::RunProgram::Solver));
    type(d, {{1, "20"}});
    solve(d, "ELASTIC:0,1e-06,20,0,0,0,0,0");
    EXPECT_EQ(lines(kKindSolveParameters), std::vector<std::string>{"ELASTIC:0,1e-06,20,0,0,0,0,0"});
}

TEST_F(SolveCommand, RowsFollowTheChosenType) {
    S& d = start();
    EXPECT_EQ(d.selection(S::kTypeList), 0);
    EXPECT_EQ(d.text(S::kFirstRowLabel + 2), "target error (%)");
    EXPECT_EQ(d.text(S::kFirstRowLabel + 3), "refinement cycles");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "0", "0", "0"}));
    d.userChoose(S::kTypeList, 4);
    EXPECT_EQ(d.text(S::kFirstRowLabel + 1), "number of modes");
    EXPECT_EQ(d.text(S::kFirstRowLabel + 2), "initial temperature");
    EXPECT_EQ(d.text(S::kFirstRowLabel + 3), "target error (%)");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "1", "0", "0", "0"}));
    EXPECT_EQ(explorer->document().solveIndex(), 4);
    // Plasticity's row 4 is the number of load steps, shown with the solver's 10.
    d.userChoose(S::kTypeList, 1);
    EXPECT_EQ(d.text(S::kFirstRowLabel + 3), "number of load steps");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "0", "100", "10", "0", "1"}));
}

TEST_F(SolveCommand, ValuesStayWithTheirLabelsAcrossAChangeOfType) {
    S& d = start();
    d.userChoose(S::kTypeList, 1);
    type(d, {{0, "1e-07"}, {1, "20"}, {2, "250"}, {4, "abc"}});
    // Row 3 turns from "iteration limit" into "number of steps": the 250 iterations do not
    // become 250 steps.
    d.userChoose(S::kTypeList, 5);
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-07", "20", "1", "0", "0", "0", "0"}));
    // Rows that are hidden keep nothing for the entry.
    d.userType(S::kFirstRowBox + 6, "0.02");
    d.userChoose(S::kTypeList, 0);
    addMaterial();
    solve(d, "ELASTIC:0,1e-07,20,0,0,0,0,0");
}

// Incompressible flow asks for the Newton iteration's limit (25 when 0) and a number of steps
// that stays 0 (steady flow); SOLVE stores the entry without a keyword, writes the values in the
// header and SOLVE lines and starts the solver. Compressible flow adds the CFL number (0: the
// solver's own) and 2000 steady steps; a material that is no gas keeps the choice but is refused
// before anything is written (the choice surviving the dialog and the mesh run's solver input is
// the loadcase_types sample's), a gas is solved under header code 9. Multiphysics takes the flow's
// rows and the initial temperature in row 6, and is solved under header code 10.
TEST_F(SolveCommand, EveryFluidAnalysisIsSolved) {
    writeHeader(8);
    addMaterial();
    S& d = start();
    ASSERT_EQ(d.itemCount(S::kTypeList), 3);
    EXPECT_EQ(d.selection(S::kTypeList), 0);
    EXPECT_EQ(d.text(S::kFirstRowLabel + 2), "number of steps");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "25", "0", "0", "0"}));
    type(d, {{2, "50"}, {3, "0.01"}, {4, "10"}});
    const std::string input =
        solve(d, "8,1e-06,25,50,0.01,10,0,0", {" ana=8 25 0.01 50\n", "SOLVE\n25,50,0.01,10,0,1e-06\n"});
    ASSERT_TRUE(pollUntilEnded(mesh_solve::RunProgram::Solver));

    // The steps of a transient flow stay; the Newton limit is no limit of the gas's steps.
    d.userChoose(S::kTypeList, 1);  // "compressible flow"
    EXPECT_EQ(d.text(S::kFirstRowLabel + 5), "CFL number");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "2000", "50", "0.01", "10", "0"}));
    type(d, {{2, "0"}, {3, "0"}, {4, "0"}});
    d.userClick(S::kSolve);
    EXPECT_EQ(
        prompts->messageTexts(),
        std::vector<std::string>{"The material of body 1 has no gas values (ratio of specific heats, gas "
                                 "constant): apply a gas from the Materials dialog of this Fluid flow "
                                 "loadcase in its place"});
    EXPECT_EQ(texts(kKindSolveParameters), std::vector<std::string>{"9,1e-06,2000,0,0,0,0,0"});
    EXPECT_EQ(readFile(inputPath()), input);
    prompts->clearMessages();
    explorer->document().removeKind(kKindMaterial);
    explorer->document().addEntry(bodyKey(), key(0),
                                  "Air: 1.204e-09,1.82e-11,2.57e-05,1005,0.00341,1.4,287.05", kKindMaterial);
    explorer->document().addEntry(bodyKey(), key(1), "face;fix,0=X", kKindReaction);
    type(d, {{2, "200"}, {3, "1e-05"}, {5, "0.5"}});
    solve(d, "9,1e-06,2000,200,1e-05,0,0.5,0",
          {" ana=9 2000 1e-05 200\n", "SOLVE\n2000,200,1e-05,0,0.5,1e-06\n"});
    ASSERT_TRUE(pollUntilEnded(mesh_solve::RunProgram::Solver));
    explorer->document().removeKind(kKindReaction);

    prompts->clearMessages();
    d.userChoose(S::kTypeList, 2);  // "multiphysics"
    EXPECT_EQ(d.text(S::kFirstRowLabel + 5), "initial temperature");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "25", "200", "1e-05", "0", "0"}));
    type(d, {{2, "0"}, {3, "0"}, {5, "20"}});
    solve(d, "10,1e-06,25,0,0,0,20,0", {" ana=10 25 0 0\n", "SOLVE\n25,0,0,0,20,1e-06\n"});
}

// A fluid flow loadcase made, given a fluid and solved through the commands keeps its physics, its
// material and its analysis when the explorer is closed and the loadcase opened again.
TEST_F(SolveCommand, AFluidLoadcaseKeepsItsPhysicsMaterialAndAnalysisWhenOpenedAgain) {
    const std::string fluids = programs.folder() + "/Materials/Fluid";
    std::filesystem::create_directories(fluids);
    writeFile(fluids + "/Water.txt", "m;Water\n998.2\n1.002e-3\n0.598\n4182\n2.07e-4\n");
    newLoadcaseWithLibraryMaterial("Flow", CLoadcase::kFluidFlow);
    use(addon::kMenuSolve, "Solve", [](ui::Dialog& d) {
        type(d, {{2, "20"}, {3, "0.05"}});
        d.userClick(S::kSolverFileOnly);
        d.userClick(S::kSolve);
    });
    ASSERT_TRUE(prompts->messageTexts().empty());

    reopen("Flow");
    EXPECT_EQ(explorer->document().analysisType(), 8);
    EXPECT_EQ(explorer->document().solveIndex(), 8);
    EXPECT_EQ(lines(kKindLoadcase), std::vector<std::string>{"Flow:8"});
    EXPECT_EQ(lines(kKindMaterial),
              std::vector<std::string>{"Water: 9.982e-07,1.002e-09,0.000598,4182,0.000207,0,0"});
    S& d = start();
    EXPECT_EQ(d.itemText(S::kTypeList, d.selection(S::kTypeList)), "incompressible flow");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "25", "20", "0.05", "0"}));
}

// A Multiphysics loadcase's material takes the mechanical and the thermal library files of its name;
// solved and opened again, it is still Multiphysics with that material and its transient analysis.
TEST_F(SolveCommand, AMultiphysicsLoadcaseKeepsItsPhysicsMaterialAndAnalysisWhenOpenedAgain) {
    for (const char* folder : {"/Materials/Mechanical", "/Materials/Thermal"})
        std::filesystem::create_directories(programs.folder() + folder);
    writeFile(programs.folder() + "/Materials/Mechanical/Steel.txt",
              "mm;Steel\n210000\n0.3\n1.2e-05\n7.85e-09\n");
    writeFile(programs.folder() + "/Materials/Thermal/Steel.txt", "mm;Steel\n0.045\n0\n0\n7.85e-09\n460\n");
    newLoadcaseWithLibraryMaterial("Hot", CLoadcase::kMultiphysics);
    use(addon::kMenuSolve, "Solve", [](ui::Dialog& d) {
        d.userChoose(S::kTypeList, 1);
        type(d, {{1, "20"}, {2, "50"}, {3, "2"}});
        d.userClick(S::kSolverFileOnly);
        d.userClick(S::kSolve);
    });
    ASSERT_TRUE(prompts->messageTexts().empty());

    reopen("Hot");
    EXPECT_EQ(explorer->document().analysisType(), 10);
    EXPECT_EQ(explorer->document().solveIndex(), 12);
    EXPECT_EQ(lines(kKindLoadcase), std::vector<std::string>{"Hot:10"});
    EXPECT_EQ(lines(kKindMaterial),
              std::vector<std::string>{
                  "Steel: 210000.000000,0.3,1.2e-05,7.85e-09,0,0,0,0,0,0,0,0,0,0.045000,0.045000,"
                  "0.045000,460"});
    S& d = start();
    EXPECT_EQ(d.itemText(S::kTypeList, d.selection(S::kTypeList)), "transient thermal stress");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "20", "50", "2", "0"}));
}

// A Multiphysics loadcase's header says Mechanical (0) until it is solved; its loadcase entry keeps
// it Multiphysics. It offers the thermal stress analyses, each with its rows, keyword and solver,
// and SOLVE writes that analysis's code.
TEST_F(SolveCommand, MultiphysicsLoadcaseOffersAndSolvesTheThermalStressAnalyses) {
    writeHeader(0);
    explorer->document().replaceSectionEntry("Bracket:10", kKindLoadcase, true);
    explorer->document().addEntry(
        bodyKey(), key(0), "steel: 210000,0.3,1.2e-05,7.85e-09,0,0,0,0,0,0,0,0,0,0.045,0.045,0.045,460",
        kKindMaterial);
    S& d = start();
    EXPECT_EQ(explorer->document().analysisType(), 10);
    ASSERT_EQ(d.itemCount(S::kTypeList), 4);
    EXPECT_EQ(d.itemText(S::kTypeList, 1), "transient thermal stress");
    EXPECT_EQ(d.selection(S::kTypeList), 0);
    EXPECT_EQ(d.labelledType(), 11);
    EXPECT_EQ(d.text(S::kFirstRowLabel + 1), "initial temperature");
    EXPECT_TRUE(d.isChecked(S::kIterative));
    d.userChoose(S::kTypeList, 3);
    EXPECT_EQ(d.text(S::kFirstRowLabel + 2), "initial temperature");
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-06", "1", "0"}));
    EXPECT_TRUE(d.isChecked(S::kDirect));
    type(d, {{2, "20"}});
    solve(d, "THERMNATFREQ:14,1e-06,1,20,0,0,0,0",
          {" ana=14 ", "TMATERIALS\n1  0.045,0.045,0.045,7.85e-09,460\n"});
    // Opened again, the dialog shows the stored analysis; so does the header read back.
    EXPECT_EQ(start().labelledType(), 14);
    EXPECT_EQ(explorer->document().solveIndex(), 14);
}

// A shown box that does not hold a number is refused by its row's label; hidden rows are not
// looked at. Nothing is stored, written or started.
TEST_F(SolveCommand, SolveRefusesABoxThatIsNoNumber) {
    addMaterial();
    S& d = start();
    d.userType(S::kFirstRowBox + 1, "abc");
    d.userClick(S::kSolve);
    EXPECT_EQ(prompts->messageTexts(),
              std::vector<std::string>{"\"initial temperature\" needs a number; \"abc\" is not one."});
    EXPECT_TRUE(texts(kKindSolveParameters).empty());
    EXPECT_FALSE(std::filesystem::exists(inputPath()));
    EXPECT_TRUE(programs.notStarted("tarvsolv"));
    prompts->clearMessages();
    type(d, {{1, "20"}, {5, "abc"}});  // row 5 is hidden for elasticity
    solve(d, "ELASTIC:0,1e-06,20,0,0,0,0,0");
}

TEST_F(SolveCommand, StoredEntryIsShownWithTheValuesItHoldsAShortOrDamagedOneWithZeros) {
    explorer->document().replaceSectionEntry("PLASTIC:1,1e-08,20,50,0,30,2,0", kKindSolveParameters, true);
    S& d = start();
    EXPECT_EQ(d.selection(S::kTypeList), 1);
    EXPECT_EQ(d.labelledType(), 1);
    EXPECT_EQ(shownBoxes(d), (std::vector<std::string>{"1e-08", "20", "50", "10", "30", "2"}));
    explorer->document().replaceSectionEntry("ELASTIC:0,1e-05", kKindSolveParameters, true);
    EXPECT_EQ(shownBoxes(start()), (std::vector<std::string>{"1e-05", "0", "0", "0"}));
    explorer->document().replaceSectionEntry("garbage", kKindSolveParameters, true);
    EXPECT_EQ(shownBoxes(start()), (std::vector<std::string>{"1e-06", "0", "0", "0"}));
}

// The refinement rows go to the solver in the SOLVE line's rows 3 and 4 (4 and 5 for natural
// frequencies, whose row 3 is the initial temperature); a stored entry, whose rows hold 0, asks for
// no refinement.
TEST_F(SolveCommand, RefinementRowsReachTheSolver) {
    addMaterial();
    S& d = start();
    type(d, {{2, "2"}, {3, "4"}});
    solve(d, "ELASTIC:0,1e-06,0,2,4,0,0,0", {"SOLVE\n0,2,4,0,0,1e-06\n"});
    ASSERT_TRUE(pollUntilEnded(mesh_solve::RunProgram::Solver));
    d.userChoose(S::kTypeList, 4);
    type(d, {{3, "1.5"}, {4, "3"}});
    solve(d, "NATFREQ:4,1e-06,1,0,1.5,3,0,0", {"SOLVE\n1,0,1.5,3,0,1e-06\n"});
}

// The radios show the solver SOLVE starts: iterative for elasticity and plasticity, direct for
// the other types (thermal ones too), until the user picks one; a pick is stored at once.
TEST_F(SolveCommand, SolverFollowsTheTypeUntilTheUserPicksOne) {
    S& d = start();
    EXPECT_TRUE(d.isChecked(S::kIterative));
    d.userChoose(S::kTypeList, 3);
    EXPECT_TRUE(d.isChecked(S::kDirect));
    EXPECT_FALSE(d.isChecked(S::kIterative));
    d.userClick(S::kIterative);
    EXPECT_EQ(setting("CurrentSolver"), "PCG");
    d.userChoose(S::kTypeList, 4);
    EXPECT_EQ(d.solverChoice(), 0);

    makeThermal();
    addMaterial();
    S& thermal = start();
    EXPECT_TRUE(thermal.isChecked(S::kDirect));
    thermal.userClick(S::kSolve);
    EXPECT_EQ(setting("CurrentSolver"), "MF");
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

// A missing solver is passed over without a word; EXIT then ends the command through its site.
TEST_F(SolveCommand, MissingSolverIsPassedOverSilentlyAndExitEndsTheCommand) {
    programs.remove("tarvsolv");
    addMaterial();
    S& d = start();
    d.userClick(S::kSolve);
    EXPECT_TRUE(prompts->messageTexts().empty());
    EXPECT_TRUE(std::filesystem::exists(inputPath()));
    EXPECT_EQ(setting("CurrentFile"), inputPath());
    site->clearCalls();
    d.userClick(S::kExit);
    EXPECT_EQ(site->calls(), (std::vector<std::string>{"SetPicking", "ClearStatus", "EndCommand"}));
}

}  // namespace
