#pragma once
// A model-definition command started from the menu in the part session Bracket (a 10 x 20 x 30
// box), with a command site, driven through its dialog as a user would.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "addon/command_factory.h"
#include "addon_base/menu.h"
#include "saved_bytes.h"
#include "support/explorer_fixture.h"

class ModelCommandTest : public ::testing::Test, public ExplorerFixture {
  protected:
    ModelCommandTest() { show(); }
    void TearDown() override {
        if (command) command->OnTerminate();
        if (other) other->OnTerminate();
        if (otherExplorer) otherExplorer->OnTerminate();
    }

    // Starts menu command `menuId` as InvokeCommand does, ending the one started before, and
    // answers its dialog.
    ui::Dialog& start(std::int32_t menuId) {
        if (command) command->OnTerminate();
        command = addon::createCommand(menuId, explorer.get());
        explorer->setCurrentCommand(command);
        command->Start();
        command->putref_CommandSite(site.get());
        return *command->dialog();
    }

    // Makes command `menuId` in the explorer of a new assembly session `name`, one cube of `size`
    // from the origin; the session is `assembly`, the command `other`.
    CAddOnCommand& inAssembly(const std::string& name, double size, std::int32_t menuId) {
        assembly =
            &host.addAssemblySession(name, testhost::partOf({testhost::box({0, 0, 0}, {size, size, size})}));
        otherExplorer = platform::makeRef<CShowUICommand>(name);
        otherExplorer->OnShowUI(&otherPanel);
        other = addon::createCommand(menuId, otherExplorer.get());
        return *other;
    }

    testhost::Body& box() const { return part.body(0); }
    testhost::Picks& picks() const { return part.selection(); }

    platform::RefPtr<CAddOnCommand> command;
    platform::RefPtr<hostapp::CommandSite> site = host.newCommandSite();
    testhost::Part* assembly = nullptr;
    ui::Panel otherPanel{"FEM Explorer"};
    platform::RefPtr<CShowUICommand> otherExplorer;
    platform::RefPtr<CAddOnCommand> other;
};
