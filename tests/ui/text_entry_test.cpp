#include "widgets/text_entry_dlg.h"

#include <gtest/gtest.h>

#include "ui/headless_prompts.h"

namespace {

using namespace ui;

class TextEntry : public ::testing::Test {
  protected:
    std::shared_ptr<HeadlessPrompts> prompts_ = installHeadlessPrompts();
    CTextEntryDlg dlg_;
};

TEST_F(TextEntry, TakesPromptAndPasswordStyleAndOkFollowsTheEditBeingEmpty) {
    prompts_->queueModal("Title", [](Dialog& d) {
        EXPECT_EQ(d.text(CTextEntryDlg::kPromptId), "Prompt & more");
        EXPECT_TRUE(d.control(CTextEntryDlg::kEditId).tmpl.style & kStylePassword);
        EXPECT_FALSE(d.isEnabled(kIdOk)) << "empty at start";
        EXPECT_FALSE(d.userClick(kIdOk));
        d.userType(CTextEntryDlg::kEditId, "7");
        EXPECT_TRUE(d.isEnabled(kIdOk));
        d.userType(CTextEntryDlg::kEditId, "");
        EXPECT_FALSE(d.isEnabled(kIdOk));
        d.userPressEnter();
        EXPECT_FALSE(d.hasEnded()) << "Enter does nothing while OK is disabled";
        d.userType(CTextEntryDlg::kEditId, "12");
        d.userPressEnter();
    });
    EXPECT_EQ(dlg_.Run(nullptr, "Title", "Prompt & more", "", true), kIdOk);
    EXPECT_EQ(dlg_.text(), "12");
}

// OK at once gives the initial text back; Escape and closing the window answer Cancel.
TEST_F(TextEntry, ImmediateOkKeepsTheInitialTextEscapeAndCloseCancel) {
    prompts_->queueModal("Modify Data", [](Dialog& d) {
        EXPECT_FALSE(d.control(CTextEntryDlg::kEditId).tmpl.style & kStylePassword);
        EXPECT_TRUE(d.isEnabled(kIdOk));
        d.userClick(kIdOk);
    });
    EXPECT_EQ(dlg_.Run(nullptr, "Modify Data", "note", "face;fix,6=XYZ"), kIdOk);
    EXPECT_EQ(dlg_.text(), "face;fix,6=XYZ");
    prompts_->queueModal("T", [](Dialog& d) {
        d.userType(CTextEntryDlg::kEditId, "changed");
        d.userPressEscape();
        EXPECT_TRUE(d.hasEnded()) << "a window left open would be cancelled anyway";
    });
    EXPECT_EQ(dlg_.Run(nullptr, "T", "p", "orig"), kIdCancel);
    prompts_->queueModal("T", [](Dialog& d) {
        d.userClose();
        EXPECT_TRUE(d.hasEnded());
    });
    EXPECT_EQ(dlg_.Run(nullptr, "T", "p", "orig"), kIdCancel);
}

}  // namespace
