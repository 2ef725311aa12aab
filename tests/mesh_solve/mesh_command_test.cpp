// The Mesh dialog driven as a user would: the settings grid, local sizes, and the mesh run with
// its entry, files, run log, messages and the stand-in mesher.
#include <gtest/gtest.h>

#include <filesystem>

#include "addon/command_factory.h"
#include "addon_base/menu.h"
#include "command_fixture.h"
#include "entry_record/entry_kind.h"
#include "mesh_solve/mesh_command.h"
#include "mesh_solve/mesh_dialog.h"
#include "mesh_solve/mesh_store.h"
#include "render/recording_canvas.h"

namespace {

using M = CMesh;
using namespace model;

constexpr const char* kFullRun =
    "Session OK\nstepfile created\nmesh params written\nloadcase file written\ncalling mesher\n"
    "mesher found\nmesher finished\ncurrent dir reset\n";

class MeshCommand : public ::testing::Test, public CommandFixture {
  public:
    void SetUp() override {
        // A model box with a diagonal of 200.
        part.setDocument(testhost::partOf({testhost::box({0, 0, 0}, {120, 96, 128})}));
        show();
        programs.install("velgrin");
    }
    void TearDown() override {
        if (command) command->OnTerminate();
    }
    M& start() {
        if (command) command->OnTerminate();
        command = addon::createCommand(addon::kMenuMesh, explorer.get());
        explorer->setCurrentCommand(command);
        command->putref_CommandSite(site.get());
        command->Start();
        return *static_cast<CMeshCommand&>(*command).meshDialog();
    }
    std::string folder() const { return explorer->document().projectFolder(); }
    std::string runLog() const { return readFile(folder() + "/Bracket.log"); }

    platform::RefPtr<CAddOnCommand> command;
    platform::RefPtr<hostapp::CommandSite> site = host.newCommandSite();
};

// A part's upper size is a quarter of its diagonal; an assembly's starts from a thousand.
TEST_F(MeshCommand, UpperSizeStartsFromThePartsSizeOrAThousandForAnAssembly) {
    M& d = start();
    EXPECT_EQ(d.windowText(), "part mesh");
    EXPECT_EQ(d.text(M::kUnitLabel), "mm");
    EXPECT_EQ(d.grid().value(d.item(M::kUpperSize)), "50");
    EXPECT_EQ(site->calls(), std::vector<std::string>{"ClearStatus"});

    host.addAssemblySession("Frame", testhost::partOf({testhost::box({0, 0, 0}, {5, 5, 5})}));
    auto frame = platform::makeRef<CShowUICommand>("Frame");
    ui::Panel framePanel;
    frame->OnShowUI(&framePanel);
    auto mesh = addon::createCommand(addon::kMenuMesh, frame.get());
    mesh->Start();
    auto& assembly = *static_cast<CMeshCommand&>(*mesh).meshDialog();
    EXPECT_EQ(assembly.windowText(), "assembly mesh");
    EXPECT_EQ(assembly.grid().value(assembly.item(M::kUpperSize)), "250");
    mesh->OnTerminate();
    frame->OnTerminate();
}

TEST_F(MeshCommand, MeshStoresTheSettingsWritesTheInputAndStartsTheMesher) {
    M& d = start();
    d.userClick(M::kMesh);
    EXPECT_TRUE(prompts->messageTexts().empty());
    EXPECT_EQ(d.windowText(), "Finished");
    EXPECT_EQ(texts(kKindMesherParameters), std::vector<std::string>{"1:50 0 0.5 0.25 0 2 2 3 3 1 0"});
    for (EntryKind kind = kKindLoadcase; kind <= kKindSolveParameters; ++kind)
        EXPECT_TRUE(lines(kind).empty()) << "the mesher settings have no tree line";
    EXPECT_TRUE(std::filesystem::exists(folder() + "/dump.stp"));
    const std::string input = readFile(inputPath());
    EXPECT_NE(input.find("nod=10 elem=0 ana=0\n"), std::string::npos);
    EXPECT_NE(input.find("MSET\n 50 0 0.5 0.25 0 2 2 3 3 1 0\n"), std::string::npos);
    EXPECT_EQ(setting("CurrentFile"), inputPath());
    EXPECT_EQ(programs.arguments("velgrin"), expectedArguments());
    EXPECT_EQ(runLog(), kFullRun);

    // A second run, once the first has ended, replaces the settings entry and the log.
    ASSERT_TRUE(pollUntilEnded(mesh_solve::RunProgram::Mesher));
    d.grid().userEdit(d.item(M::kUpperSize), "12.5");
    d.userClick(M::kMesh);
    EXPECT_EQ(texts(kKindMesherParameters), std::vector<std::string>{"1:12.5 0 0.5 0.25 0 2 2 3 3 1 0"});
    EXPECT_EQ(saved().countOfKind(kKindMesherParameters), 1u);
    EXPECT_EQ(runLog(), kFullRun);
    EXPECT_EQ(programs.arguments("velgrin"), expectedArguments());
}

// A second session's explorer, shown and ended, neither lends its units and geometry to this
// session's runs nor takes this session's part away with it.
TEST_F(MeshCommand, AnotherSessionsExplorerLeavesThisSessionsRunsAlone) {
    M& d = start();
    host.addPartSession("Tube", testhost::partOf({testhost::box({0, 0, 0}, {5, 5, 5})}))
        .setUnits(host::kUnitM, host::kUnitIn);
    auto tube = platform::makeRef<CShowUICommand>("Tube", addon::explorerHooks({}));
    ui::Panel tubePanel;
    tube->OnShowUI(&tubePanel);
    d.userClick(M::kMesh);
    EXPECT_NE(readFile(inputPath()).find("0.001 mm scale=1 nod=10"), std::string::npos)
        << "the Bracket's own units while the Tube's explorer is shown";
    tube->OnTerminate();
    ASSERT_TRUE(pollUntilEnded(mesh_solve::RunProgram::Mesher)) << "a second run waits for the first";
    d.userClick(M::kMesh);
    EXPECT_TRUE(prompts->messageTexts().empty());
    EXPECT_EQ(runLog(), kFullRun);
    auto again = addon::createCommand(addon::kMenuMesh, explorer.get());
    again->Start();
    EXPECT_EQ(static_cast<CMeshCommand&>(*again).meshDialog()->text(M::kUnitLabel), "mm");
    again->OnTerminate();
}

TEST_F(MeshCommand, LinearOrderWritesFourNodesPerElement) {
    M& d = start();
    auto& g = d.grid();
    ASSERT_TRUE(g.userChoose(d.item(M::kOrder), 0));
    ASSERT_TRUE(g.userChoose(d.item(M::kFineness), 4));
    g.userEdit(d.item(M::kCurveElements), "3.9");
    g.userEdit(d.item(M::kLowerSize), " 0 ");
    d.userClick(M::kMesh);
    EXPECT_TRUE(prompts->messageTexts().empty());
    EXPECT_EQ(texts(kKindMesherParameters), std::vector<std::string>{"1:50 0 1 0.25 0 3 2 3 3 0 0"});
    EXPECT_EQ(mesh_solve::libraryMesh().nodesPerElement(), 4);
    EXPECT_NE(readFile(inputPath()).find("nod=4 elem=0"), std::string::npos);
}

// A mesh run that cannot finish: the message it gives, the run log it leaves (unchecked when null),
// whether the settings entry was stored and the input written, and the mesher never started.
struct RunFailure {
    const char* name;
    void (*arrange)(MeshCommand&);
    const char* message;
    const char* log;
    bool stored;  // the settings entry
    bool inputWritten;
};

class MeshRunFailure : public MeshCommand, public ::testing::WithParamInterface<RunFailure> {};

TEST_P(MeshRunFailure, IsReportedAndStartsNoMesher) {
    M& d = start();
    GetParam().arrange(*this);
    d.userClick(M::kMesh);
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{GetParam().message});
    if (GetParam().log) {
        EXPECT_EQ(runLog(), GetParam().log);
    }
    EXPECT_EQ(texts(kKindMesherParameters).size(), GetParam().stored ? 1u : 0u);
    EXPECT_EQ(std::filesystem::exists(inputPath()), GetParam().inputWritten);
    EXPECT_TRUE(programs.notStarted("velgrin"));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, MeshRunFailure,
    ::testing::Values(
        RunFailure{
            "MissingMesher", [](MeshCommand& f) { f.programs.remove("velgrin"); },
            "cannot find mesher -> re-install",
            "Session OK\nstepfile created\nmesh params written\nloadcase file written\ncalling mesher\n"
            "current dir reset\n",
            true, true},
        // The host cannot write the dump where a folder stands.
        RunFailure{"RefusedExport",
                   [](MeshCommand& f) { std::filesystem::create_directory(f.folder() + "/dump.stp"); },
                   "transfer file failure!", "Session OK\n", false, false},
        RunFailure{"FailingExport", [](MeshCommand& f) { f.host.failNext("IQDDesignSession::ExportStep"); },
                   "Exception caught in CMeshCommand::GetNet", "Session OK\n", false, false},
        RunFailure{"RefusedWriter", [](MeshCommand& f) { f.host.failNext("IQDPartSession::GetBodies"); },
                   "bug in Hollent api: IQDPartSessionPtr.GetBodies()",
                   "Session OK\nstepfile created\nmesh params written\n", true, false},
        RunFailure{"ClosedDocument", [](MeshCommand& f) { f.host.closeSession("Bracket"); }, "Open a File!",
                   "", false, false},
        RunFailure{"UnwritableLog",
                   [](MeshCommand& f) {
                       std::filesystem::remove(f.folder() + "/Bracket.log");
                       std::filesystem::create_directory(f.folder() + "/Bracket.log");
                   },
                   "Loadcase not found", nullptr, false, false},
        // A setting that is not a number starts no run at all.
        RunFailure{"SettingNoNumber",
                   [](MeshCommand& f) {
                       M& d = *static_cast<CMeshCommand&>(*f.command).meshDialog();
                       d.grid().userEdit(d.item(M::kVolumeSteps), "3 steps");
                   },
                   "\"volume steps\" needs a number; \"3 steps\" is not one.", nullptr, false, false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(MeshCommand, ApplyAddsOneSizeEntryPerPickInOrder) {
    M& d = start();
    auto& body = part.body(0);
    part.selection().select(body.face(2), body.edge(3), body.face(0), body.vertex(1));
    d.userType(M::kSizeBox, "2.5");
    d.userClick(M::kApply);
    EXPECT_EQ(texts(kKindMeshSize), (std::vector<std::string>{"face:el_size=2.5", "edge:el_size=2.5",
                                                              "face:el_size=2.5", "vertex:el_size=2.5"}));
    EXPECT_EQ(lines(kKindMeshSize),
              (std::vector<std::string>{"face:el_size=2.5", "edge:el_size=2.5", "vertex:el_size=2.5"}));
    EXPECT_EQ(part.selection().filters(), std::vector<std::int32_t>{2});
    EXPECT_EQ(part.selection().size(), 0u) << "the picks are reset";
    EXPECT_EQ(part.selection().handBackCount(), 1);
    EXPECT_EQ(site->count("Redraw"), 1);
    EXPECT_EQ(saved().countOfKind(kKindMeshSize), 4u);
}

// The messages are the samples' (picks.run, loadcase_types.run); here the picks kept for a retry.
TEST_F(MeshCommand, ApplyRefusingASizeThatIsNoNumberKeepsThePicks) {
    M& d = start();
    part.selection().select(part.body(0).face(1));
    d.userType(M::kSizeBox, "2.5mm");
    d.userClick(M::kApply);
    EXPECT_EQ(prompts->messageTexts(),
              std::vector<std::string>{"\"element size\" needs a number; \"2.5mm\" is not one."});
    EXPECT_TRUE(texts(kKindMeshSize).empty());
    EXPECT_EQ(part.selection().size(), 1u) << "the picks stay for a second try";
    d.userType(M::kSizeBox, "2.5 ");
    d.userClick(M::kApply);
    EXPECT_EQ(texts(kKindMeshSize), std::vector<std::string>{"face:el_size=2.5"});
}

TEST_F(MeshCommand, OverlayMarksTheMeshSizesAndExitEndsTheCommand) {
    M& d = start();
    part.selection().select(part.body(0).face(0));
    d.userType(M::kSizeBox, "1");
    d.userClick(M::kApply);
    render::RecordingCanvas canvas;
    command->OnDrawOverlay(&canvas);
    bool labelled = false;
    for (const auto& call : canvas.calls()) labelled = labelled || call.text == "MESH";
    EXPECT_TRUE(labelled);
    site->clearCalls();
    d.userClick(M::kExit);
    EXPECT_EQ(site->calls(), (std::vector<std::string>{"SetPicking", "ClearStatus", "EndCommand"}));
}

}  // namespace
