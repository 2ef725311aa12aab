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

TEST_F(TextEntry, LayoutAndOkFollowTheEditBeingEmpty) {
    prompts_->queueModal("Title", [](Dialog& d) {
        EXPECT_EQ(d.text(CTextEntryDlg::kPromptId), "Prompt & more");
        EXPECT_EQ(d.control(CTextEntryDlg::kEditId).tmpl.rect.right, 335);
        EXPECT_EQ(d.control(kIdOk).tmpl.rect.left, 188);
        EXPECT_EQ(d.windowRect().width(), 348);
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
    EXPECT_EQ(dlg_.Run(nullptr, "Title", "Prompt & more", ""), kIdOk);
    EXPECT_EQ(dlg_.text(), "12");
}

TEST_F(TextEntry, InitialTextComesBackUnchangedOnImmediateOk) {
    prompts_->queueModal("Modify Data", [](Dialog& d) {
        EXPECT_TRUE(d.isEnabled(kIdOk));
        d.userClick(kIdOk);
    });
    EXPECT_EQ(dlg_.Run(nullptr, "Modify Data", "note", "face;fix,6=XYZ"), kIdOk);
    EXPECT_EQ(dlg_.text(), "face;fix,6=XYZ");
}

TEST_F(TextEntry, EscapeAndCloseAnswerCancel) {
    prompts_->queueModal("T", [](Dialog& d) {
        d.userType(CTextEntryDlg::kEditId, "changed");
        d.userPressEscape();
    });
    EXPECT_EQ(dlg_.Run(nullptr, "T", "p", "orig"), kIdCancel);
    prompts_->queueModal("T", [](Dialog& d) { d.userClose(); });
    EXPECT_EQ(dlg_.Run(nullptr, "T", "p", "orig"), kIdCancel);
}

TEST_F(TextEntry, PasswordStyleOnRequest) {
    bool password = false;
    prompts_->queueModal("P", [&](Dialog& d) {
        password = d.control(CTextEntryDlg::kEditId).tmpl.style & kStylePassword;
    });
    dlg_.Run(nullptr, "P", "p", "", true);
    EXPECT_TRUE(password);
}

}  // namespace
