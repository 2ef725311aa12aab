#pragma once
// A model-definition command started from the menu in the part session Bracket (a 10 x 20 x 30
// box), with a command site, driven through its dialog as a user would.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "addon/command_factory.h"
#include "addon_base/menu.h"
#include "model/table_edit_dlg.h"
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

    // Presses MAKE TABLE (`button` of `d`); the person in the table editor fills `rows` (argument,
    // value), chooses list item `item` and presses APPLY, or EXIT when `item` is -1.
    void makeTable(ui::Dialog& d, int button, int item,
                   std::vector<std::pair<std::string, std::string>> rows = {}) {
        prompts->queueModal("Table", [=](ui::Dialog& editor) {
            auto& t = static_cast<CTableEditDlg&>(editor);
            if (item < 0) {
                t.userClick(CTableEditDlg::kExit);
                return;
            }
            for (std::size_t r = 1; r < rows.size(); ++r) {
                t.grid().userClickCell(1, 0);
                t.userClick(CTableEditDlg::kInsert);
            }
            for (std::size_t r = 0; r < rows.size(); ++r) {
                t.grid().userEditCell(static_cast<int>(r) + 1, 0, rows[r].first);
                t.grid().userEditCell(static_cast<int>(r) + 1, 1, rows[r].second);
            }
            t.userChoose(CTableEditDlg::kList, item);
            t.userClick(CTableEditDlg::kApply);
        });
        d.userClick(button);
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
