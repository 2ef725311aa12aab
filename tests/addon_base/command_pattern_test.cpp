// The protocol every command shares: OnTerminate without a dialog. EXIT through the site, and a
// failing site stopping it, are checked on every model command by ModelCommandProtocol.
#include <gtest/gtest.h>

#include "addon_base/addon_command.h"
#include "addon_base/library_state.h"
#include "mesh_solve/show_ui_command.h"
#include "support/addon_fixture.h"

namespace {

using platform::RefPtr;

class CProbeCommand : public CAddOnCommand {
  public:
    explicit CProbeCommand(CShowUICommand* explorer) : CAddOnCommand(explorer) {}
    std::string className() const override { return "CProbeCommand"; }
    void Start() override {}
};

class CommandPattern : public ::testing::Test, public AddOnFixture {
  protected:
    RefPtr<CShowUICommand> explorer = platform::makeRef<CShowUICommand>("Bracket");
    RefPtr<CProbeCommand> command = platform::makeRef<CProbeCommand>(explorer.get());
    RefPtr<hostapp::CommandSite> site = host.newCommandSite();
};

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

}  // namespace
