// The prompts service on wx in scripted mode: every answer is given by real input events on a real
// window, and the toolbox's icons.
#include "ui_wx/wx_prompts.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/print.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "ui/control.h"
#include "ui/dialog.h"
#include "ui_wx/input_driver.h"
#include "ui_wx/toolbox_icons.h"
#include "ui_wx/wx_backend.h"
#include "ui_wx/wx_print_page.h"

namespace {

using namespace ui_wx;

class WxEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        wxApp::SetInstance(new wxApp);
        int argc = 1;
        static char name[] = "wx_prompts_tests";
        char* argv[] = {name, nullptr};
        ASSERT_TRUE(wxEntryStart(argc, argv));
        wxTheApp->CallOnInit();
        wxInitAllImageHandlers();
        WxBackend::instance().install();
    }
    void TearDown() override {
        WxBackend::instance().uninstall();
        wxEntryCleanup();
    }
};
const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new WxEnvironment);

class WxPromptsTest : public testing::Test {
  protected:
    WxPrompts prompts{WxPrompts::Mode::Scripted};
};

TEST_F(WxPromptsTest, MessageBoxIsAnsweredByAClickAndRecordedAsHeadless) {
    std::vector<std::string> heard;
    prompts.setMessageListener([&](const ui::RecordedMessage& m) { heard.push_back(m.text); });
    prompts.queueAnswer(ui::kIdNo);
    EXPECT_EQ(prompts.messageBox("Delete the mesh?", "Tarvenic", ui::MessageIcon::Question,
                                 ui::MessageButtons::YesNo),
              ui::kIdNo);
    // Nothing queued: the first button, pressed as well.
    EXPECT_EQ(
        prompts.messageBox("Saved.", "Tarvenic", ui::MessageIcon::Information, ui::MessageButtons::OkCancel),
        ui::kIdOk);
    ASSERT_EQ(prompts.messages().size(), 2u);
    EXPECT_EQ(prompts.messages()[0].text, "Delete the mesh?");
    EXPECT_EQ(prompts.messages()[0].answer, ui::kIdNo);
    EXPECT_EQ(prompts.messages()[1].answer, ui::kIdOk);
    EXPECT_EQ(heard, (std::vector<std::string>{"Delete the mesh?", "Saved."}));
}

// A print target typed in is taken by gui_results_window (answer-print, then the page's file).
TEST_F(WxPromptsTest, FileAndColourDialogsTakeWhatIsTypedAndCancel) {
    const std::string path = (std::filesystem::temp_directory_path() / "wx_prompts_out_1.lcs").string();
    ui::FileRequest request{true,      "Save Loadcase", "/tmp",
                            "old.lcs", "lcs",           "Loadcases (*.lcs)|*.lcs|All|*.*||"};
    prompts.queueFile(path);
    EXPECT_EQ(prompts.chooseFile(request), path);
    EXPECT_EQ(prompts.chooseFile(request), std::nullopt);
    ASSERT_EQ(prompts.fileRequests().size(), 2u);
    EXPECT_EQ(prompts.fileRequests()[0].title, "Save Loadcase");
    EXPECT_EQ(wxFilterOf("Loadcases (*.lcs)|*.lcs|All|*.*||"), "Loadcases (*.lcs)|*.lcs|All|*.*");
    prompts.queueColour(0x00336699u);
    EXPECT_EQ(prompts.chooseColour(0x00FFFFFFu), 0x00336699u);
    EXPECT_EQ(prompts.chooseColour(0x00FFFFFFu), std::nullopt);
}

// The pop-up menu's choice and a modal dialog's script typing into its window inside the loop
// are taken by gui_every_dialog (the explorer's context menu, "Modify Data"), whose files must
// match the headless run's.

TEST(WxPrintPage, PreviewShowsTheKeptPageAndOtherNamesGoToFiles) {
    std::string fileAsked;
    const auto factory = wxPrintPageFactory([&fileAsked](const std::string& path) {
        fileAsked = path;
        return std::unique_ptr<render::PrintCanvas>();
    });
    EXPECT_EQ(factory("/tmp/page.png"), nullptr);
    EXPECT_EQ(fileAsked, "/tmp/page.png");
    auto page = factory(kPreviewTarget);
    ASSERT_NE(page, nullptr);
    page->setPen(0x000000FFu, 2);
    page->rectangle(100, 100, 1100, 1600);
    page->setTextHeight(40);
    page->text(120, 120, "Displacement");
    ASSERT_TRUE(page->finish());
    pumpFor(milliseconds(300));
    wxPreviewFrame* frame = nullptr;
    for (wxWindow* w : wxTopLevelWindows) {
        if (auto* f = dynamic_cast<wxPreviewFrame*>(w)) frame = f;
    }
    ASSERT_NE(frame, nullptr);
    frame->Close(true);
    pumpFor(milliseconds(100));
}

TEST(ToolboxIcons, EightDistinctSixteenPixelPictures) {
    const std::vector<int> ids{11051, 11046, 11033, 11025, 11037, 11027, 11031, 11060};
    installToolboxIcons();
    std::set<std::string> pictures;
    for (int id : ids) {
        const wxBitmap bitmap = iconBitmap(id);
        ASSERT_TRUE(bitmap.IsOk()) << id;
        EXPECT_EQ(bitmap.GetSize(), wxSize(16, 16)) << id;
        const wxImage image = bitmap.ConvertToImage();
        pictures.insert(std::string(reinterpret_cast<const char*>(image.GetData()), 16 * 16 * 3));
    }
    EXPECT_EQ(pictures.size(), ids.size());
    EXPECT_FALSE(iconBitmap(12345).IsOk());
}

}  // namespace
