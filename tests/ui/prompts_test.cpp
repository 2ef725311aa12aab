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

// What every headless test and session leans on (queued answers, files, colours, print targets
// and modal scripts, the recorded messages, the listener and the standing scripts of on-modal)
// is checked where it is used; here are the answers given when nothing is queued.
TEST(HeadlessPrompts, WithNothingQueuedQuestionsAreAnsweredYesAndCommonDialogsCancel) {
    auto p = installHeadlessPrompts();
    EXPECT_EQ(prompts().messageBox("q", "c", MessageIcon::Question, MessageButtons::YesNo), kIdYes);
    EXPECT_EQ(prompts().messageBox("q", "c", MessageIcon::None, MessageButtons::OkCancel), kIdOk);
    showMessage("first");
    EXPECT_EQ(p->messages().back().caption, kMessageCaption);
    EXPECT_FALSE(prompts().chooseFile({}).has_value());
    EXPECT_FALSE(prompts().chooseColour(0).has_value());
    EXPECT_FALSE(prompts().choosePrinter().has_value());
    p->queueModal("Ask", [](Dialog& d) { d.userClick(kIdOk); });
    Dialog first(modalTemplate("Ask"));
    EXPECT_EQ(first.runModal(), kIdOk);
    Dialog second(modalTemplate("Ask"));
    EXPECT_EQ(second.runModal(), kIdCancel) << "a queued script is used once";
}

}  // namespace
