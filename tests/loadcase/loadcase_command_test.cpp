// The Loadcase dialog: creating, choosing and deleting loadcases, and the files they leave.
#include <gtest/gtest.h>

#include <filesystem>

#include "loadcase/header_file.h"
#include "loadcase/loadcase_command.h"
#include "loadcase/loadcase_dialog.h"
#include "support/explorer_fixture.h"

namespace {

namespace fs = std::filesystem;
using L = CLoadcase;

class LoadcaseCommand : public ::testing::Test, public ExplorerFixture {
  protected:
    void SetUp() override {
        show();
        folder = explorer->document().projectFolder();
    }
    void TearDown() override {
        if (command) command->OnTerminate();
    }
    // Starts the command as the menu does and answers its dialog.
    ui::Dialog& start() {
        if (command) command->OnTerminate();
        command = platform::makeRef<CLoadcaseCommand>(explorer.get());
        explorer->setCurrentCommand(command);
        command->Start();
        return *ui::findDialog("Loadcase");
    }
    std::vector<std::string> items(ui::Dialog& d, int id) {
        std::vector<std::string> out;
        for (int i = 0; i < d.itemCount(id); ++i) out.push_back(d.itemText(id, i));
        return out;
    }
    // Starts the command with the old loadcase `old` chosen.
    ui::Dialog& startOn(const std::string& old) {
        auto& d = start();
        d.userChoose(L::kOldList, d.findItemExact(L::kOldList, old));
        return d;
    }
    // A new loadcase `name` of the type, a copy of `old` where one is named, on the mesh if named.
    void create(const std::string& name, int typeButton, const std::string& mesh = "",
                const std::string& old = "") {
        auto& d = old.empty() ? start() : startOn(old);
        if (!mesh.empty()) d.userChoose(L::kMeshList, d.findItemExact(L::kMeshList, mesh));
        d.userType(L::kNewName, name);
        d.userClick(typeButton);
        d.userClick(L::kApply);
    }

    std::string folder;
    platform::RefPtr<CLoadcaseCommand> command;
};

TEST_F(LoadcaseCommand, StartListsLoadcasesAndMeshesWithoutExtension) {
    writeFile(folder + "/Case.v2.api_fem", std::string(2, '\0'));
    writeFile(folder + "/Alpha.api_fem", std::string(2, '\0'));
    writeFile(folder + "/coarse.meb", "");
    writeFile(folder + "/notes.txt", "");
    auto& d = start();
    EXPECT_EQ(items(d, L::kOldList), (std::vector<std::string>{"Alpha", "Case.v2"}));
    EXPECT_EQ(items(d, L::kMeshList), std::vector<std::string>{"coarse"});
}

TEST_F(LoadcaseCommand, ApplyNeedsANameOrAnOldLoadcaseAndAType) {
    auto& d = start();
    d.userClick(L::kApply);
    d.userType(L::kNewName, "Hot");
    d.userClick(L::kApply);
    EXPECT_EQ(prompts->messageTexts(), (std::vector<std::string>{"Select an old loadcase or name a new one",
                                                                 "Select an analysis type"}));
    EXPECT_FALSE(fs::exists(folder + "/Hot.api_fem"));
    EXPECT_FALSE(fs::exists(folder + "/Hot.txt"));
    EXPECT_TRUE(d.isShown()) << "the dialog stays open";
}

TEST_F(LoadcaseCommand, NewThermalLoadcaseWritesItsHeaderAndEntry) {
    create("Hot", L::kThermal);
    EXPECT_EQ(readFile(folder + "/Hot.txt"),
              "HEADER\n0.001 mm 0 nod=10 elem=0 ana=1\nMFILE\n" + folder + "/Hot.meb\n");
    EXPECT_EQ(explorer->document().jobBasePath(), folder + "/Hot");
    EXPECT_EQ(explorer->document().meshPath(), folder + "/Hot.meb");
    EXPECT_EQ(explorer->document().analysisType(), 6);
    EXPECT_EQ(explorer->document().solveIndex(), 6) << "the solver input written next must stay thermal";
    EXPECT_EQ(lines(model::kKindLoadcase), std::vector<std::string>{"Hot:6"});
    const auto file = saved();
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file[0].data().text(), "Hot:6");
    EXPECT_FALSE(ui::findDialog("Loadcase")->isShown()) << "a good APPLY closes the dialog";
}

TEST_F(LoadcaseCommand, ChoosingAnOldLoadcaseLoadsItsEntriesAndHeader) {
    create("First", L::kMechanical);
    explorer->document().addEntry(bodyKey(), key(0), "face;fix,6=XYZ", model::kKindReaction);
    writeFile(folder + "/First.txt", "HEADER\n0.001 mm 0 nod=10 elem=0 ana=2\nMFILE\n/elsewhere/m.meb\n");
    create("Second", L::kMechanical);
    EXPECT_EQ(explorer->document().entries().size(), 1u);
    EXPECT_TRUE(lines(model::kKindReaction).empty());

    auto& d = startOn("First");
    d.userClick(L::kApply);
    EXPECT_EQ(explorer->document().jobBasePath(), folder + "/First");
    EXPECT_EQ(explorer->document().meshPath(), "/elsewhere/m.meb");
    EXPECT_EQ(explorer->document().analysisType(), 6);
    EXPECT_EQ(explorer->document().solveIndex(), 7);
    EXPECT_EQ(lines(model::kKindReaction), std::vector<std::string>{"face;fix,6=XYZ"});
    EXPECT_EQ(lines(model::kKindLoadcase), std::vector<std::string>{"First:6"});
    EXPECT_EQ(readFile(folder + "/First.txt"),
              "HEADER\n0.001 mm 0 nod=10 elem=0 ana=2\nMFILE\n/elsewhere/m.meb\n")
        << "an old loadcase's header is not rewritten";
    const auto second = loadcase::LoadcaseFile::load(folder + "/Second.api_fem").entries;
    ASSERT_EQ(second.size(), 1u) << "Second was saved before switching";
    EXPECT_EQ(second[0].data().text(), "Second:0");
}

TEST_F(LoadcaseCommand, OldLoadcaseWithNewNameStartsFromACopyThatKeepsTheChosenMesh) {
    create("Base", L::kMechanical);
    explorer->document().addEntry(bodyKey(), key(0), "face;pressure=5", model::kKindAction);
    explorer->document().addEntry(bodyKey(), key(1), "face;fix,6=XYZ", model::kKindReaction);
    writeFile(folder + "/coarse.meb", "");
    create("Variant", L::kMechanical, "coarse", "Base");
    EXPECT_EQ(explorer->document().jobBasePath(), folder + "/Variant");
    // The solve command reads the mesh back from the copy's header: the choice must be there.
    const auto header = loadcase::readHeaderFile(folder + "/Variant", {});
    ASSERT_TRUE(header.fileRead) << "the copy has a header of its own";
    EXPECT_EQ(header.meshPath, folder + "/coarse.meb");
    EXPECT_EQ(header.analysis.type, loadcase::kTypeMechanical);
    const auto file = saved();
    ASSERT_EQ(file.size(), 3u);
    EXPECT_EQ(file[0].data().text(), "face;pressure=5");
    EXPECT_EQ(file[2].data().text(), "Variant:0");
    EXPECT_EQ(loadcase::LoadcaseFile::load(folder + "/Base.api_fem").entries.size(), 3u);
    EXPECT_TRUE(prompts->messageTexts().empty());
}

// A copy into the other analysis class leaves out the old class's materials and actions, says so,
// and keeps the rest; the old loadcase keeps everything.
TEST_F(LoadcaseCommand, CopyIntoTheOtherClassLeavesOutMaterialsAndActions) {
    create("Heat", L::kThermal);
    explorer->document().addEntry(bodyKey(), key(0), "Copper: 0.39,0.39,0.39,8.9e-09,385",
                                  model::kKindMaterial);
    explorer->document().addEntry(bodyKey(), key(1), "face;heat=0.5", model::kKindAction);
    explorer->document().addEntry(bodyKey(), key(2), "face:el_size=2", model::kKindMeshSize);
    create("Cold", L::kMechanical, "", "Heat");
    EXPECT_EQ(prompts->messageTexts().size(), 1u) << "its text is the loadcase_types sample's";
    EXPECT_TRUE(lines(model::kKindMaterial).empty());
    const auto file = saved();
    ASSERT_EQ(file.size(), 2u);
    EXPECT_EQ(file[0].data().text(), "face:el_size=2");
    EXPECT_EQ(file[1].data().text(), "Cold:0");
    EXPECT_EQ(loadcase::LoadcaseFile::load(folder + "/Heat.api_fem").entries.size(), 4u);
}

// A Multiphysics loadcase's header holds the Mechanical code; opened again it is Multiphysics by
// its loadcase entry, which keeps its type.
TEST_F(LoadcaseCommand, MultiphysicsLoadcaseOpensAsMultiphysics) {
    part.setUnits(host::kUnitM, host::kUnitCm);
    show();
    create("Both", L::kMultiphysics);
    EXPECT_EQ(readFile(folder + "/Both.txt"),
              "HEADER\n0.001 cm 0 nod=10 elem=0 ana=0\nMFILE\n" + folder + "/Both.meb\n");
    EXPECT_EQ(saved()[0].data().text(), "Both:10");
    create("Other", L::kThermal);
    auto& d = startOn("Both");
    d.userClick(L::kApply);
    EXPECT_EQ(explorer->document().analysisType(), 10);
    EXPECT_EQ(explorer->document().solveIndex(), 0);
    EXPECT_EQ(lines(model::kKindLoadcase), std::vector<std::string>{"Both:10"});
    // Without its header file a loadcase is what its entry says, not what was open before.
    fs::remove(folder + "/Other.txt");
    startOn("Other").userClick(L::kApply);
    EXPECT_EQ(explorer->document().analysisType(), 6);
    EXPECT_EQ(explorer->document().solveIndex(), 6);
}

TEST_F(LoadcaseCommand, DeleteRemovesOnlyTheLoadcaseFile) {
    create("Old", L::kMechanical);
    create("Current", L::kMechanical);
    auto& d = startOn("Old");
    d.userClick(L::kDelete);
    EXPECT_FALSE(fs::exists(folder + "/Old.api_fem"));
    EXPECT_TRUE(fs::exists(folder + "/Old.txt"));
    // The session-named loadcase was never given anything: it has no file and is not listed.
    EXPECT_EQ(items(d, L::kOldList), (std::vector<std::string>{"Current"}));
    EXPECT_FALSE(fs::exists(folder + "/Bracket.api_fem"));
    EXPECT_EQ(explorer->document().jobBasePath(), folder + "/Current");
    d.userClick(L::kDelete);  // nothing selected: nothing happens
    EXPECT_TRUE(fs::exists(folder + "/Current.api_fem"));
}

TEST_F(LoadcaseCommand, DeletingTheCurrentLoadcaseMakesTheSessionLoadcaseCurrent) {
    explorer->document().addEntry(bodyKey(), key(1), "steel: 1,2",
                                  model::kKindMaterial);  // the session-named loadcase
    create("Current", L::kMechanical);
    explorer->document().addEntry(bodyKey(), key(0), "face;pressure=5", model::kKindAction);
    auto& d = startOn("Current");
    d.userClick(L::kDelete);
    EXPECT_FALSE(fs::exists(folder + "/Current.api_fem"));
    EXPECT_EQ(explorer->document().jobBasePath(), folder + "/Bracket");
    EXPECT_TRUE(lines(model::kKindAction).empty());
    const auto session = loadcase::LoadcaseFile::load(folder + "/Bracket.api_fem").entries;
    ASSERT_EQ(session.size(), 1u) << "the session's own loadcase is not overwritten";
    EXPECT_EQ(session[0].data().text(), "steel: 1,2");
    EXPECT_EQ(lines(model::kKindMaterial), std::vector<std::string>{"steel: 1,2"});
}

}  // namespace
