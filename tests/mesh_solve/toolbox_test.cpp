// The toolbox above the explorer's tree: its buttons, the loadcase label, the flags and where the
// results are shown.
#include <gtest/gtest.h>

#include "addon_base/menu.h"
#include "command_fixture.h"
#include "loadcase/loadcase_dialog.h"
#include "mesh_solve/program_launch.h"
#include "mesh_solve/solve_dialog.h"
#include "mesh_solve/toolbox_command.h"
#include "mesh_solve/toolbox_dialog.h"

namespace {

using T = CToolbox;

// A stand-in for one of the two results displays: an open dialog of its template id.
ui::DialogTemplate displayTemplate(int id) {
    ui::DialogTemplate t;
    t.id = id;
    t.caption = "display";
    return t;
}

// The captions of the dialogs brought to the front, in order.
struct FrontRequests : ui::DialogObserver {
    FrontRequests() { ui::addGlobalDialogObserver(this); }
    ~FrontRequests() override {
        ui::removeGlobalDialogObserver(this);
        for (ui::Dialog* d : ui::openDialogs()) d->removeObserver(this);
    }
    void created(ui::Dialog& d) override {
        d.removeObserver(this);  // told as a global observer and again as the dialog's own
        d.addObserver(this);
    }
    void destroyed(ui::Dialog& d) override { d.removeObserver(this); }
    void broughtToFront(ui::Dialog& d) override { captions.push_back(d.windowText()); }
    std::vector<std::string> captions;
};

class Toolbox : public ::testing::Test, public CommandFixture {
  protected:
    void SetUp() override {
        explorer->putref_CommandSite(site.get());
        show();
    }
    T& toolbox() const { return *static_cast<CToolboxCommand&>(*explorer->toolbox()).toolbox(); }
    // The classes of the commands handed to the host, in order.
    std::vector<std::string> handedToHost() const {
        std::vector<std::string> out;
        for (const auto& started : host.startedCommands())
            out.push_back(dynamic_cast<CAddOnCommand&>(*started.command).className());
        return out;
    }
    CAddOnCommand* current() const { return dynamic_cast<CAddOnCommand*>(explorer->currentCommand()); }
    int openDialogsWithId(int id) const {
        int n = 0;
        for (const ui::Dialog* d : ui::openDialogs()) n += d->templateId() == id ? 1 : 0;
        return n;
    }

    platform::RefPtr<hostapp::CommandSite> site = host.newCommandSite();
};

TEST_F(Toolbox, FirstThreeStepsBecomeTheExplorersCommandAndModelCommandsRunBeside) {
    FrontRequests front;
    const std::pair<int, const char*> steps[] = {
        {T::kLoadcase, "CLoadcaseCommand"}, {T::kMaterial, "CMaterialCommand"}, {T::kMesh, "CMeshCommand"}};
    for (const auto& [button, name] : steps) {
        toolbox().userClick(button);
        ASSERT_NE(current(), nullptr);
        EXPECT_EQ(current()->className(), name);
        EXPECT_NE(current()->dialog(), nullptr) << name << " was shown";
        EXPECT_NE(current()->site(), nullptr) << name << " got a site from the host";
    }
    EXPECT_TRUE(addon::library().startedFromToolbox);

    // The model commands run beside the explorer's command.
    CAddOnCommand* mesh = current();
    for (int button : {T::kActions, T::kReactions, T::kInteractions}) toolbox().userClick(button);
    EXPECT_EQ(current(), mesh);
    EXPECT_EQ(handedToHost(),
              (std::vector<std::string>{"CLoadcaseCommand", "CMaterialCommand", "CMeshCommand",
                                        "CLoadsCommand", "CRestraintsCommand", "CConstraintsCommand"}));

    // Pressed again while its window is open, a button brings that window to the front instead of
    // opening a second one (so each has its window); once the command has ended it starts a new one.
    for (int button : {T::kLoadcase, T::kMaterial, T::kMesh, T::kActions, T::kReactions, T::kInteractions})
        toolbox().userClick(button);
    EXPECT_EQ(host.startedCommands().size(), 6u);
    EXPECT_EQ(front.captions, (std::vector<std::string>{"Loadcase", "Materials", "part mesh",
                                                        "Mechanical Loads", "Reactions", "Interactions"}));
    mesh->OnTerminate();
    toolbox().userClick(T::kMesh);
    EXPECT_EQ(host.startedCommands().size(), 7u);
}

TEST_F(Toolbox, SolveIsKeptByTheToolboxAndItsExitOnlyCloses) {
    toolbox().userClick(T::kSolve);
    EXPECT_TRUE(handedToHost().empty());
    EXPECT_EQ(openDialogsWithId(CSolve::kDialogId), 1);
    auto* solve = ui::findDialog("Solve");
    ASSERT_NE(solve, nullptr);
    solve->userType(CSolve::kFirstRowBox, "1e-09");
    toolbox().userClick(T::kSolve);
    EXPECT_EQ(openDialogsWithId(CSolve::kDialogId), 1);
    EXPECT_EQ(ui::findDialog("Solve"), solve) << "a second click brings the open window back";
    EXPECT_EQ(solve->text(CSolve::kFirstRowBox), "1e-09");

    solve->userClick(CSolve::kExit);
    EXPECT_FALSE(solve->isShown());
    EXPECT_EQ(site->count("EndCommand"), 0);
    toolbox().userClick(T::kSolve);
    ASSERT_NE(ui::findDialog("Solve"), nullptr);
    EXPECT_TRUE(ui::findDialog("Solve")->isShown()) << "a closed window is opened afresh";
}

TEST_F(Toolbox, LoadcaseButtonShowsTheCurrentLoadcasesName) {
    explorer->document().switchTo("Hot", explorer->document().meshPath());
    toolbox().userClick(T::kLoadcase);
    EXPECT_EQ(toolbox().text(T::kLoadcaseLabel), "Hot");

    // Choosing a loadcase in the dialog shows it too.
    auto* dialog = ui::findDialog("Loadcase");
    ASSERT_NE(dialog, nullptr);
    dialog->userType(CLoadcase::kNewName, "Cold");
    dialog->userClick(CLoadcase::kThermal);
    dialog->userClick(CLoadcase::kApply);
    EXPECT_EQ(toolbox().text(T::kLoadcaseLabel), "Cold");
}

// The label line follows the runs on this explorer's project only: progress, then the end.
TEST_F(Toolbox, LabelLineShowsHowARunOfThisProjectGoesAndEnds) {
    const std::string solver = programs.write("tarvsolv", "sleep 0.3\nexit 1\n");
    const auto& doc = explorer->document();
    const mesh_solve::RunJob other{scratch.file("elsewhere/Tube"), scratch.file("elsewhere"), "Tube"};
    ASSERT_EQ(mesh_solve::launchProgram(mesh_solve::RunProgram::Solver, solver, inputPath(), other),
              mesh_solve::LaunchResult::Started);
    EXPECT_EQ(toolbox().text(T::kLoadcaseLabel), "default loadcase") << "another project's run";
    const mesh_solve::RunJob own{doc.jobBasePath(), doc.projectFolder(), "Bracket"};
    ASSERT_EQ(mesh_solve::launchProgram(mesh_solve::RunProgram::Solver, solver, inputPath(), own),
              mesh_solve::LaunchResult::Started);
    EXPECT_EQ(toolbox().text(T::kLoadcaseLabel), "Bracket: solving 0 s");
    ASSERT_TRUE(pollUntilEnded(mesh_solve::RunProgram::Solver));
    EXPECT_EQ(toolbox().text(T::kLoadcaseLabel), "Bracket: solve failed");
}

// Clicks the results button again while the first click is still opening its display.
class ClickAgainOnOpen : public ui::DialogObserver {
  public:
    explicit ClickAgainOnOpen(T& toolbox) : toolbox_(toolbox) {}
    void created(ui::Dialog& d) override {
        if (d.templateId() != 10060) return;
        busyWhileOpening = mesh_solve::resultsButtonBusy();
        toolbox_.userClick(T::kResults);
    }
    bool busyWhileOpening = false;

  private:
    T& toolbox_;
};

// A click on the results button while its first click is still opening the display is passed over.
TEST_F(Toolbox, ResultsGoToTheHostViewUntilPopOutIsChecked) {
    ClickAgainOnOpen again(toolbox());
    ui::addGlobalDialogObserver(&again);
    toolbox().userClick(T::kResults);
    ui::removeGlobalDialogObserver(&again);
    EXPECT_TRUE(again.busyWhileOpening);
    EXPECT_EQ(handedToHost(), std::vector<std::string>{"CContoursCommand"});
    EXPECT_EQ(openDialogsWithId(10060), 1);
    EXPECT_FALSE(mesh_solve::resultsButtonBusy());
    toolbox().userClick(T::kResults);
    EXPECT_EQ(handedToHost().size(), 1u) << "the open results come back to the front";
    EXPECT_EQ(openDialogsWithId(10060), 1);

    toolbox().userClick(T::kPopOut);
    EXPECT_TRUE(addon::library().popOutResults);
    toolbox().userClick(T::kPopOut);
    EXPECT_FALSE(addon::library().popOutResults);
}

TEST_F(Toolbox, ResultsWithTheOtherDisplayOpenAskToCloseItFirst) {
    for (const bool popOut : {false, true}) {
        SCOPED_TRACE(popOut ? "pop-out" : "host view");
        ui::Dialog other(displayTemplate(popOut ? 10060 : 102));
        other.create();
        if (popOut) toolbox().userClick(T::kPopOut);
        toolbox().userClick(T::kResults);
        EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"close other results dialog box first"});
        EXPECT_TRUE(handedToHost().empty()) << "no contours command is left with the host without its dialog";
        other.destroy();
        prompts->clearMessages();
    }
    toolbox().userClick(T::kResults);
    EXPECT_TRUE(prompts->messageTexts().empty());
    EXPECT_TRUE(handedToHost().empty()) << "the popped-out results window is no host command";
}

// The toolbox keeps the site it is given, stops picking and redraws the view; the explorer keeps one
// toolbox over showings and ends it with itself.
TEST_F(Toolbox, ExplorerKeepsOneToolboxAndEndsItWithItself) {
    CAddOnCommand* first = explorer->toolbox();
    auto own = host.newCommandSite();
    first->putref_CommandSite(own.get());
    EXPECT_EQ(first->site(), own.get());
    EXPECT_EQ(own->calls(), (std::vector<std::string>{"SetPicking", "Redraw"}));
    EXPECT_FALSE(own->picking());
    show();
    EXPECT_EQ(explorer->toolbox(), first);
    EXPECT_EQ(openDialogsWithId(T::kDialogId), 1);

    toolbox().userClick(T::kSolve);
    explorer->OnTerminate();
    EXPECT_EQ(explorer->toolbox(), nullptr);
    EXPECT_EQ(panel.child(T::kDialogId), nullptr);
    EXPECT_EQ(openDialogsWithId(T::kDialogId), 0);
    EXPECT_EQ(openDialogsWithId(CSolve::kDialogId), 0);
    EXPECT_TRUE(prompts->messageTexts().empty()) << ::testing::PrintToString(prompts->messageTexts());
}

}  // namespace
