#include "ui/prompts.h"

#include <gtest/gtest.h>

#include "ui/dialog.h"
#include "ui/headless_prompts.h"

namespace {

using namespace ui;

DialogTemplate modalTemplate(const std::string& caption) {
    DialogTemplate t;
    t.caption = caption;
    t.add(kIdOk, ControlKind::Button, "OK", {}).add(kIdCancel, ControlKind::Button, "Cancel", {});
    t.add(5, ControlKind::Edit, "", {});
    return t;
}

TEST(HeadlessPrompts, RecordsMessagesAndAnswersFromTheQueue) {
    auto p = installHeadlessPrompts();
    std::vector<std::string> heard;
    p->setMessageListener([&](const RecordedMessage& m) { heard.push_back(m.text); });
    showMessage("first");
    p->queueAnswer(kIdNo);
    EXPECT_EQ(prompts().messageBox("q", "c", MessageIcon::Question, MessageButtons::YesNo), kIdNo);
    EXPECT_EQ(prompts().messageBox("q2", "c", MessageIcon::Question, MessageButtons::YesNo), kIdYes);
    ASSERT_EQ(p->messages().size(), 3u);
    EXPECT_EQ(p->messages()[0].caption, kMessageCaption);
    EXPECT_EQ(p->messages()[1].answer, kIdNo);
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "q", "q2"}));
}

TEST(HeadlessPrompts, CommonDialogsCancelUnlessAnAnswerIsQueued) {
    auto p = installHeadlessPrompts();
    EXPECT_FALSE(prompts().chooseFile({}).has_value());
    p->queueFile("/tmp/x.txt");
    FileRequest r;
    r.save = true;
    r.defaultExtension = "txt";
    EXPECT_EQ(prompts().chooseFile(r).value(), "/tmp/x.txt");
    ASSERT_EQ(p->fileRequests().size(), 2u);
    EXPECT_TRUE(p->fileRequests()[1].save);
    p->queueColour(0x00FF00u);
    EXPECT_EQ(prompts().chooseColour(0).value(), 0x00FF00u);
    EXPECT_FALSE(prompts().chooseColour(0).has_value());
    p->queuePrint(PrintTarget{"/tmp/p.png"});
    EXPECT_EQ(prompts().choosePrinter()->path, "/tmp/p.png");
}

TEST(HeadlessPrompts, ModalRunsTheScriptForItsCaptionAndCancelsWhatIsLeftOpen) {
    auto p = installHeadlessPrompts();
    p->queueModal("Ask", [](Dialog& d) {
        EXPECT_EQ(findDialog("Ask"), &d) << "the modal window is open while its script runs";
        d.userType(5, "typed");
        d.userClick(kIdOk);
    });
    Dialog first(modalTemplate("Ask"));
    EXPECT_EQ(first.runModal(), kIdOk);
    EXPECT_EQ(first.text(5), "typed");
    EXPECT_FALSE(first.isCreated());
    Dialog second(modalTemplate("Ask"));
    EXPECT_EQ(second.runModal(), kIdCancel) << "a queued script is used once";
    p->setModal("Ask", [](Dialog& d) { d.userPressEnter(); });
    Dialog third(modalTemplate("Ask"));
    EXPECT_EQ(third.runModal(), kIdOk);
    EXPECT_EQ(p->modalRuns(), (std::vector<std::string>{"Ask", "Ask", "Ask"}));
}

}  // namespace
