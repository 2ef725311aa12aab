// The protocol every command shares: default answers, the site, EXIT and OnTerminate.
#include <gtest/gtest.h>

#include "addon_base/addon_command.h"
#include "addon_base/library_state.h"
#include "support/addon_fixture.h"
#include "mesh_solve/show_ui_command.h"

namespace {

using platform::RefPtr;

class CProbeCommand : public CAddOnCommand {
public:
    explicit CProbeCommand(CShowUICommand* explorer) : CAddOnCommand(explorer) {}
    std::string className() const override { return "CProbeCommand"; }
    void Start() override {
        ui::DialogTemplate t;
        t.caption = "Probe";
        t.add(2, ui::ControlKind::Button, "EXIT", {});
        auto dialog = std::make_unique<ui::Dialog>(t);
        dialog->onClick(2, [this] { ExitCommand(); });
        dialog->create();
        setDialog(std::move(dialog));
    }
    bool failTerminate = false;

protected:
    void terminate() override {
        CAddOnCommand::terminate();
        if (failTerminate) throw std::runtime_error("broken");
    }
};

// A site object that offers no command-site interface.
class NotASite : public platform::Implements<platform::IUnknown> {};

class CommandPattern : public ::testing::Test, public AddOnFixture {
protected:
    RefPtr<CShowUICommand> explorer = platform::makeRef<CShowUICommand>("Bracket");
    RefPtr<CProbeCommand> command = platform::makeRef<CProbeCommand>(explorer.get());
    RefPtr<hostapp::CommandSite> site = host.newCommandSite();
};

TEST_F(CommandPattern, EveryDefaultSlotAnswersNeutrally) {
    platform::VariantBool b = 5;
    EXPECT_EQ(command->get_IsPersistent(&b), platform::kOk);
    EXPECT_EQ(b, platform::kVariantFalse);
    b = 5;
    command->get_HasPanel(&b);
    EXPECT_EQ(b, platform::kVariantFalse);
    for (auto call : {&CAddOnCommand::OnMouseDown, &CAddOnCommand::OnMouseUp, &CAddOnCommand::OnMouseMove}) {
        b = 5;
        EXPECT_EQ(((*command).*call)(1, 2, 3, &b), platform::kOk);
        EXPECT_EQ(b, platform::kVariantFalse);
    }
    b = 5;
    command->OnKeyDown(13, &b);
    EXPECT_EQ(b, platform::kVariantFalse);
    EXPECT_EQ(command->OnResume(), 1) << "operation 20 answers status 1";
    EXPECT_EQ(explorer->OnResume(), 1);
    EXPECT_EQ(command->On3DRender(), platform::kOk);
    EXPECT_EQ(command->OnShowUI(nullptr), platform::kOk);
    host::IQDCommandSite* none = reinterpret_cast<host::IQDCommandSite*>(0x1);
    EXPECT_EQ(command->get_CommandSite(&none), platform::kOk);
    EXPECT_EQ(none, nullptr) << "no site kept, nothing handed out";
    EXPECT_TRUE(prompts->messages().empty());
}

TEST_F(CommandPattern, ExitCallsTheThreeSiteOperationsOnceInOrder) {
    explorer->setCurrentCommand(command);
    command->Start();
    command->putref_CommandSite(site.get());
    site->clearCalls();
    ui::findDialog("Probe")->userClick(2);
    EXPECT_EQ(site->calls(), (std::vector<std::string>{"SetPicking", "ClearStatus", "EndCommand"}));
    EXPECT_FALSE(site->picking()) << "picking is switched off";
    EXPECT_EQ(command->OnTerminate(), platform::kOk);
    EXPECT_EQ(ui::findDialog("Probe"), nullptr);
    EXPECT_EQ(command->dialog(), nullptr);
    EXPECT_EQ(explorer->currentCommand(), nullptr);
    host::IQDCommandSite* kept = nullptr;
    command->get_CommandSite(&kept);
    EXPECT_EQ(kept, nullptr) << "the site is released";
}

TEST_F(CommandPattern, TerminateWithoutDialogClearsTheRecordAndReleasesTheSite) {
    explorer->setCurrentCommand(command);
    explorer->commandObject(0) = RefPtr<platform::IUnknown>(site.get());
    command->putref_CommandSite(site.get());
    const auto before = site->referenceCount();
    EXPECT_EQ(command->OnTerminate(), platform::kOk);
    EXPECT_EQ(explorer->currentCommand(), nullptr);
    EXPECT_FALSE(explorer->commandObject(0));
    EXPECT_EQ(site->referenceCount(), before - 2);
    EXPECT_TRUE(prompts->messages().empty());
}

TEST_F(CommandPattern, SiteWithoutCommandSiteInterfaceGivesTheFailureMessageOnce) {
    auto bad = platform::makeRef<NotASite>();
    EXPECT_EQ(command->putref_CommandSite(bad.get()), platform::kOk);
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"Failure in CProbeCommand::putref_CommandSite"});
    command->Start();
    ui::findDialog("Probe")->userClick(2);  // EXIT without a site does nothing more
    EXPECT_EQ(command->OnTerminate(), platform::kOk);
    EXPECT_EQ(prompts->messages().size(), 1u);
}

TEST_F(CommandPattern, FailingTerminateShowsTheExceptionMessage) {
    command->failTerminate = true;
    EXPECT_EQ(command->OnTerminate(), platform::kOk);
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"Exception caught in CProbeCommand::OnTerminate"});
}

TEST_F(CommandPattern, ExitReportsAFailingSite) {
    command->putref_CommandSite(site.get());
    host.failNext("IQDCommandSite::ClearStatus");
    EXPECT_THROW(command->ExitCommand(), platform::HostError);
    EXPECT_EQ(site->calls(), (std::vector<std::string>{"SetPicking", "ClearStatus"}));
}

}  // namespace
