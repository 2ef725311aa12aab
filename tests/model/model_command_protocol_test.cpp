// What Materials, Reactions, Actions and Interactions share: EXIT through the site, the failure
// messages of OnExit, OnApply, putref_CommandSite and OnTerminate, and the dialog going away.
#include <gtest/gtest.h>

#include <stdexcept>

#include "model/constraints_dialog.h"
#include "model/loads_dialog.h"
#include "model/material_dialog.h"
#include "model/restraints_dialog.h"
#include "model_command_fixture.h"

namespace {

struct CommandCase {
    std::int32_t menuId;
    const char* commandClass;
    const char* dialogClass;
    int exitId;
    int applyId;
    int typeList;  // the list whose row `type` is chosen before APPLY, or -1
    int type;
};

// A site object that offers no command-site interface.
class NotASite : public platform::Implements<platform::IUnknown> {};

// Makes the next destruction of a dialog window fail, as a broken window system would.
class FailingDestroy : public ui::DialogObserver {
  public:
    FailingDestroy() { ui::addGlobalDialogObserver(this); }
    ~FailingDestroy() override { ui::removeGlobalDialogObserver(this); }
    void destroyed(ui::Dialog&) override {
        if (std::exchange(armed_, false)) throw std::runtime_error("window");
    }

  private:
    bool armed_ = true;
};

class ModelCommandProtocol : public ModelCommandTest, public ::testing::WithParamInterface<CommandCase> {
  protected:
    ui::Dialog& d = start(GetParam().menuId);
};

TEST_P(ModelCommandProtocol, ExitAsksTheSiteToStopPickingClearAndEndInThatOrder) {
    d.userClick(GetParam().exitId);
    EXPECT_EQ(site->calls(), (std::vector<std::string>{"SetPicking", "ClearStatus", "EndCommand"}));
    EXPECT_FALSE(site->picking());
    command->OnTerminate();
    EXPECT_EQ(command->dialog(), nullptr);
    EXPECT_EQ(command->site(), nullptr) << "the site is released";
    EXPECT_EQ(explorer->currentCommand(), nullptr);
    EXPECT_TRUE(prompts->messageTexts().empty());
}

TEST_P(ModelCommandProtocol, EscapeEndsTheCommandLikeExitAndEnterDoesNothing) {
    d.userPressEnter();
    EXPECT_TRUE(d.isShown());
    EXPECT_TRUE(site->calls().empty());
    d.userPressEscape();
    EXPECT_EQ(site->count("EndCommand"), 1);
}

TEST_P(ModelCommandProtocol, FailuresAreReportedWithTheClassAndOperation) {
    host.failNext("IQDCommandSite::SetPicking");
    d.userClick(GetParam().exitId);
    EXPECT_EQ(site->count("EndCommand"), 0);

    auto notASite = platform::makeRef<NotASite>();
    command->putref_CommandSite(notASite.get());
    EXPECT_EQ(command->site(), nullptr);

    {
        FailingDestroy failing;
        EXPECT_EQ(command->OnTerminate(), platform::kOk);
    }
    EXPECT_EQ(prompts->messageTexts(),
              (std::vector<std::string>{
                  std::string("Exception caught in ") + GetParam().dialogClass + "::OnExit",
                  "Failure in " + std::string(GetParam().commandClass) + "::putref_CommandSite",
                  "Exception caught in " + std::string(GetParam().commandClass) + "::OnTerminate"}));
}

TEST_P(ModelCommandProtocol, AHostFailureWhileApplyingIsReportedAndAddsNothing) {
    if (GetParam().typeList >= 0) d.userChoose(GetParam().typeList, GetParam().type);
    picks().select(box().face(0));
    host.failNext("IQDSession::get_Selection");
    d.userClick(GetParam().applyId);
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{std::string("Exception caught in ") +
                                                                GetParam().dialogClass + "::OnApply"});
    EXPECT_TRUE(explorer->document().entries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ModelCommandProtocol,
    ::testing::Values(CommandCase{addon::kMenuMaterials, "CMaterialCommand", "CMaterial", CMaterial::kExit,
                                  CMaterial::kApply, -1, 0},
                      CommandCase{addon::kMenuReactions, "CRestraintsCommand", "CRestraints",
                                  CRestraints::kExit, CRestraints::kApply, CRestraints::kFixityList, 6},
                      CommandCase{addon::kMenuActions, "CLoadsCommand", "CLoads", CLoads::kExit,
                                  CLoads::kApply, CLoads::kTypeList, 2},
                      CommandCase{addon::kMenuInteractions, "CConstraintsCommand", "CConstraints",
                                  CConstraints::kExit, CConstraints::kApply, CConstraints::kTypeList, 3}),
    [](const auto& p) { return std::string(p.param.dialogClass); });

}  // namespace
