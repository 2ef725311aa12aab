// The FEM Explorer: folders, the entry list and its rules, the tree, the context menu, the file.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/explorer_fixture.h"
#include "widgets/text_entry_dlg.h"

namespace {

namespace fs = std::filesystem;
using model::kKindAction;
using model::kKindMaterial;
using model::kKindReaction;

class Explorer : public ::testing::Test, public ExplorerFixture {};

TEST_F(Explorer, WithoutProjectsSettingTheProjectLivesInTheDocumentsFolder) {
    settings->deleteValue(platform::Hive::CurrentUser, "Software\\Tarvenic\\Tarvenic", "Projects");
    fs::create_directories(scratch.file("Documents"));
    show();
    const std::string folder = scratch.file("Documents") + "/FEMprojects/Bracket";
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(explorer->document().projectFolder(), folder);
    EXPECT_EQ(prompts->messageTexts(),
              std::vector<std::string>{": registry read error 1 - reinstall of Tarvenic required"});
    EXPECT_EQ(panel.child(CShowUICommand::kTreeId), &explorer->tree());
}

TEST_F(Explorer, TakesUnitsAndKindOfTheSession) {
    part.setUnits(host::kUnitM, host::kUnitIn);
    show();
    EXPECT_DOUBLE_EQ(addon::library().lengthScale, 1.0 / 0.0254);
    EXPECT_EQ(addon::library().unitText, "in");
    EXPECT_TRUE(explorer->isPartSession());
    EXPECT_TRUE(addon::library().currentPartSession);
}

// Showing without a window, or with a host that fails, is said and builds nothing.
TEST_F(Explorer, NoWindowOrAFailingHostIsReportedWhileShowing) {
    explorer->OnShowUI(nullptr);
    EXPECT_EQ(explorer->tree().size(), 0u);
    host.failNext("IQDDesignSession::get_DisplayUnits");
    show();
    EXPECT_EQ(prompts->messageTexts(),
              (std::vector<std::string>{"iSession=NULL", "Exception caught in CShowUICommand::OnShowUI"}));
}

TEST_F(Explorer, ModifyChangesEveryEntryWithTheTextUnlessCancelled) {
    show();
    explorer->document().addEntry(bodyKey(), key(0), "face;pressure=5", kKindAction);
    explorer->document().addEntry(bodyKey(), key(1), "face;pressure=5", kKindAction);
    const auto modify = [&](const std::string& typed, bool cancel) {
        prompts->queueMenuChoice(CShowUICommand::kMenuModify);
        prompts->queueModal("Modify Data", [=](ui::Dialog& d) {
            EXPECT_EQ(d.text(CTextEntryDlg::kEditId), "face;pressure=5");
            d.userType(CTextEntryDlg::kEditId, typed);
            if (cancel) {
                d.userPressEscape();
            } else {
                d.userClick(ui::kIdOk);
            }
        });
        explorer->tree().userContextMenu(explorer->tree().findItem("face;pressure=5"));
    };
    modify("face;pressure=9", true);
    EXPECT_EQ(saved()[0].data().text(), "face;pressure=5");
    modify("face;pressure=7", false);
    EXPECT_EQ(lines(kKindAction), std::vector<std::string>{"face;pressure=7"});
    for (const auto& e : saved()) EXPECT_EQ(e.data().text(), "face;pressure=7");
}

TEST_F(Explorer, DeleteRemovesEveryEntryWithTheTextAndTellsTheSite) {
    auto site = host.newCommandSite();
    explorer->putref_CommandSite(site.get());
    show();
    explorer->document().addEntry(bodyKey(), key(0), "shared", kKindAction);
    explorer->document().addEntry(bodyKey(), key(1), "shared", kKindReaction);
    explorer->document().addEntry(bodyKey(), key(2), "other", kKindReaction);
    prompts->queueMenuChoice(CShowUICommand::kMenuDelete);
    explorer->tree().userContextMenu(
        explorer->tree().findChild(explorer->sectionItem(kKindAction), "shared"));
    const auto file = saved();
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file[0].data().text(), "other");
    EXPECT_EQ(lines(kKindReaction), std::vector<std::string>{"other"})
        << "a text already in the list got no second line, in whatever section";
    EXPECT_EQ(site->count("ClearStatus"), 1);
    EXPECT_GE(site->count("Redraw"), 1) << "the marks in the view follow the deletion";
    site->clearCalls();
    explorer->document().addEntry(bodyKey(), key(3), "face;pressure=2", kKindAction);
    EXPECT_GE(site->count("Redraw"), 1) << "and every entry an APPLY adds";
}

// Delete on a section line asks first and then deletes every entry of that section from the file,
// so that reopening the loadcase does not bring them back; No keeps everything, and the Loadcase
// line, which names the loadcase, is refused.
TEST_F(Explorer, DeletingASectionLineDeletesItsEntriesFromTheFileAfterAsking) {
    auto site = host.newCommandSite();
    explorer->putref_CommandSite(site.get());
    show();
    explorer->document().addEntry(bodyKey(), key(0), "face;fix,6=XYZ", kKindReaction);
    explorer->document().addEntry(bodyKey(), key(1), "face;fix,6=XYZ", kKindReaction);
    explorer->document().addEntry(bodyKey(), key(2), "face;pressure=5", kKindAction);
    explorer->document().addEntry({}, {}, "Bracket:0", model::kKindLoadcase);
    const auto deleteSection = [&](model::EntryKind kind, int answer) {
        prompts->clearMessages();
        prompts->queueAnswer(answer);
        prompts->queueMenuChoice(CShowUICommand::kMenuDelete);
        explorer->tree().userContextMenu(explorer->sectionItem(kind));
    };
    deleteSection(kKindReaction, ui::kIdNo);
    ASSERT_EQ(prompts->messages().size(), 1u);
    EXPECT_EQ(prompts->messages()[0].text, "Delete all 2 entries under Reactions from the loadcase?");
    EXPECT_EQ(prompts->messages()[0].buttons, ui::MessageButtons::YesNo);
    EXPECT_EQ(saved().size(), 4u);
    EXPECT_EQ(lines(kKindReaction), std::vector<std::string>{"face;fix,6=XYZ"});

    deleteSection(kKindReaction, ui::kIdYes);
    EXPECT_TRUE(lines(kKindReaction).empty());
    EXPECT_TRUE(explorer->tree().children(explorer->sectionItem(kKindReaction)).empty());
    const auto file = saved();
    ASSERT_EQ(file.size(), 2u);
    EXPECT_EQ(file[0].data().text(), "face;pressure=5");
    EXPECT_EQ(site->count("ClearStatus"), 1);

    deleteSection(model::kKindLoadcase, ui::kIdYes);
    ASSERT_EQ(prompts->messages().size(), 1u);
    EXPECT_NE(prompts->messages()[0].text.find("Loadcase line cannot be deleted"), std::string::npos);
    EXPECT_EQ(saved().size(), 2u);

    // Reopened, the loadcase shows what the file holds.
    explorer->document().clear();
    explorer->document().load();
    EXPECT_TRUE(lines(kKindReaction).empty());
    EXPECT_EQ(lines(kKindAction), std::vector<std::string>{"face;pressure=5"});

    prompts->queueMenuChoice(CShowUICommand::kMenuDelete);
    explorer->tree().userContextMenu(ui::kTreeRoot);
    EXPECT_EQ(prompts->menusShown().size(), 3u) << "a click beside all lines opens no menu";
}

TEST_F(Explorer, LoadsTheFileWhenShownAndFillsTheTreeButShowingAgainDoesNotReload) {
    fs::create_directories(scratch.file("projects/Bracket"));
    loadcase::EntryList onDisk;
    onDisk.add({}, key(0), "face;fix,6=XYZ", kKindReaction);
    onDisk.add({}, key(1), "face;fix,6=XYZ", kKindReaction);
    onDisk.add({}, {}, "Bracket:0", model::kKindLoadcase);
    loadcase::LoadcaseFile::save(scratch.file("projects/Bracket/Bracket.api_fem"), onDisk);
    show();
    EXPECT_EQ(explorer->document().entries().size(), 3u);
    EXPECT_EQ(lines(kKindReaction), std::vector<std::string>{"face;fix,6=XYZ"});
    EXPECT_TRUE(lines(model::kKindLoadcase).empty()) << "the loadcase line is the loadcase command's";

    loadcase::LoadcaseFile::save(explorer->document().loadcaseFilePath(), loadcase::EntryList{});
    show();
    EXPECT_EQ(explorer->document().entries().size(), 3u);
    EXPECT_EQ(lines(kKindReaction), std::vector<std::string>{"face;fix,6=XYZ"});
}

TEST_F(Explorer, DamagedFileIsReportedAndKeptBeforeTheFirstSave) {
    fs::create_directories(scratch.file("projects/Bracket"));
    const std::string path = scratch.file("projects/Bracket/Bracket.api_fem");
    writeFile(path, std::string("\x05\x00\xff\xff\x01\x00\x08\x00"
                                "CAct",
                                12));
    show();
    EXPECT_TRUE(explorer->document().entries().empty());
    ASSERT_EQ(prompts->messages().size(), 1u);
    EXPECT_NE(prompts->messages()[0].text.find(path), std::string::npos) << prompts->messages()[0].text;
    explorer->document().addEntry(bodyKey(), key(0), "steel: 1,2", kKindMaterial);
    EXPECT_EQ(readFile(path + ".damaged").size(), 12u) << "the damaged bytes are kept";
    EXPECT_EQ(saved().size(), 1u);
    explorer->document().addEntry(bodyKey(), key(1), "alu: 3", kKindMaterial);
    EXPECT_FALSE(fs::exists(path + ".damaged.2")) << "moved aside once";
    EXPECT_EQ(prompts->messages().size(), 1u);
}

}  // namespace
