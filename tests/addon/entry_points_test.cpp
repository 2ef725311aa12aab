// Loads libKolvane.so as the host does and walks its menu and dispatch.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "host/addon_entry.h"
#include "platform/test_environment.h"
#include "support/addon_fixture.h"
#include "ui/dialog.h"
#include "ui/window.h"

namespace {

using platform::RefPtr;
using States = std::vector<std::int32_t>;
// Before the session's explorer is open only it and Help are offered.
const States kNoExplorer{4, 1, 2, 2, 2, 2, 2, 2, 2, 2};

class Library {
  public:
    Library() {
        const char* build = std::getenv("KOLVANE_BUILD_DIR");
        const std::string path = std::string(build ? build : "build") + "/lib/libKolvane.so";
        handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) return;
        load = reinterpret_cast<host::AddOnLoadFn>(::dlsym(handle_, host::kAddOnLoadName));
        unload = reinterpret_cast<host::AddOnUnloadFn>(::dlsym(handle_, host::kAddOnUnloadName));
        invoke = reinterpret_cast<host::AddOnInvokeFn>(::dlsym(handle_, host::kAddOnInvokeName));
        getInterface =
            reinterpret_cast<host::GetAddOnInterfaceFn>(::dlsym(handle_, host::kGetAddOnInterfaceName));
    }
    // The library stays loaded: its static objects live as long as the process, as in the host.
    bool loaded() const { return handle_ && load && unload && invoke && getInterface; }

    host::AddOnLoadFn load = nullptr;
    host::AddOnUnloadFn unload = nullptr;
    host::AddOnInvokeFn invoke = nullptr;
    host::GetAddOnInterfaceFn getInterface = nullptr;

  private:
    void* handle_ = nullptr;
};

Library& library() {
    static Library lib;
    return lib;
}

class EntryPoints : public ::testing::Test, public AddOnFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(library().loaded()) << ::dlerror();
        host.addPartSession("Bracket");
        host.addAssemblySession("Frame");
        ASSERT_EQ(library().load(nullptr, host.hook(), 0), platform::kOk);
        addOn = RefPtr<host::IQuarnelAddOn>::adopt(library().getInterface());
        ASSERT_TRUE(addOn);
    }
    void TearDown() override {
        std::int32_t answer = 7;
        EXPECT_EQ(library().unload(nullptr, 0, &answer), platform::kOk);
        EXPECT_EQ(answer, 0);
    }

    std::int32_t state(std::int32_t id, const std::string& session = "Bracket") {
        std::int32_t s = -1;
        EXPECT_EQ(addOn->get_MenuItemState(id, session, &s), platform::kOk);
        return s;
    }
    // The states of the explorer, Help and the eight analysis items.
    States states(const std::string& session = "Bracket") {
        States out;
        for (std::int32_t id : {101, 102, 112, 113, 114, 115, 116, 117, 118, 119})
            out.push_back(state(id, session));
        return out;
    }
    RefPtr<host::IQuarnelAddOnCommand> invoke(std::int32_t id, const std::string& session = "Bracket") {
        host::IQuarnelAddOnCommand* command = nullptr;
        EXPECT_EQ(addOn->InvokeCommand(id, session, &command), platform::kOk);
        return RefPtr<host::IQuarnelAddOnCommand>::adopt(command);
    }

    RefPtr<host::IQuarnelAddOn> addOn;
};

// The root and its sub-items are walked by the host to build its menu in every session script,
// which opens the items by their texts.
TEST_F(EntryPoints, MenuHasItsIdsTextsAndOrder) {
    platform::VariantBool has = platform::kVariantTrue;
    addOn->get_HasSubItems(101, &has);
    EXPECT_EQ(has, platform::kVariantFalse);

    platform::IntArray items{42};
    addOn->get_SubItems(101, &items);
    EXPECT_EQ(items, platform::IntArray{42}) << "nothing is written for an item without sub-items";
    addOn->get_SubItems(100, &items);
    EXPECT_EQ(items, (platform::IntArray{101, 102, 112, 114, 113, 115, 116, 117, 118, 119}));

    platform::AutoString text;
    addOn->get_ItemText(102, &text);
    EXPECT_EQ(text, "Help");
    addOn->get_ItemText(100, &text);
    EXPECT_EQ(text, "Tarvenic");
    text = "unchanged";
    addOn->get_ItemText(999, &text);
    EXPECT_EQ(text, "unchanged");
}

TEST_F(EntryPoints, ItemStatesFollowTheExplorerOfTheSession) {
    EXPECT_EQ(states(), kNoExplorer);
    EXPECT_EQ(state(100), 2);
    EXPECT_EQ(state(555), 2);

    auto explorer = invoke(101);
    ASSERT_TRUE(explorer);
    EXPECT_EQ(states(), (States{3, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(state(100), 2);
    EXPECT_EQ(states("Frame"), kNoExplorer) << "another session has no explorer yet";
    // Without a document (no session name) only Help is offered, and nothing is made.
    EXPECT_EQ(states(""), (States{2, 1, 2, 2, 2, 2, 2, 2, 2, 2}));
    EXPECT_FALSE(invoke(101, ""));
    EXPECT_TRUE(prompts->messages().empty());
}

// The explorer is one per session, persistent and with a panel; before it no analysis command is
// made.
TEST_F(EntryPoints, EveryIdCanBeInvokedAndTheExplorerIsOnePerSession) {
    for (std::int32_t id = 112; id <= 119; ++id) EXPECT_FALSE(invoke(id)) << id;
    auto explorer = invoke(101);
    EXPECT_EQ(invoke(101).get(), explorer.get());
    auto other = invoke(101, "Frame");
    ASSERT_TRUE(other);
    EXPECT_NE(explorer.get(), other.get());
    platform::VariantBool answer = 0;
    explorer->get_IsPersistent(&answer);
    EXPECT_EQ(answer, platform::kVariantTrue);
    explorer->get_HasPanel(&answer);
    EXPECT_EQ(answer, platform::kVariantTrue);
    auto loadcase = invoke(112);
    ASSERT_TRUE(loadcase);
    EXPECT_EQ(loadcase->OnResume(), 1);
    EXPECT_NE(ui::findDialog("Loadcase"), nullptr) << "the start routine shows the dialog";
    EXPECT_EQ(loadcase->OnTerminate(), platform::kOk);
    EXPECT_EQ(ui::findDialog("Loadcase"), nullptr);
    for (std::int32_t id : {100, 0, -1, 120, 999}) EXPECT_FALSE(invoke(id)) << id;
    EXPECT_TRUE(prompts->messages().empty());
}

// "Help" shows the install folder's help.chm with the desktop's CHM viewer: here a stand-in on a
// PATH of the test's own that records the file it was given. The library looks for the viewer
// once, so this is the only test that picks "Help".
TEST_F(EntryPoints, HelpOpensTheInstalledHelpFile) {
    const std::string install = scratch.file("Tarvenic dir");
    std::filesystem::create_directories(install);
    writeFile(install + "/help.chm", "ITSF");
    std::filesystem::create_directories(scratch.file("bin"));
    const std::string shown = scratch.file("shown.txt");
    testenv::writeScript(scratch.file("bin/xchm"), "echo \"$1\" > \"" + shown + "\"\n");
    setSetting("InstallPath", install);
    const char* oldPath = std::getenv("PATH");
    {
        testenv::ScopedEnv path("PATH", scratch.file("bin") + ":" + (oldPath ? oldPath : ""));
        testenv::ScopedEnv noOwnViewer("KOLVANE_HELP_VIEWER", std::nullopt);
        EXPECT_FALSE(invoke(102)) << "help hands the host no command";
    }
    EXPECT_EQ(testenv::waitForFile(shown), install + "/help.chm\n");
    EXPECT_TRUE(prompts->messages().empty());
}

TEST_F(EntryPoints, FailingHostShowsTheExceptionAndAnswersSuccess) {
    host.failNext("IQDSessions::Item");
    EXPECT_EQ(state(101), 2) << "the state stays as set before the failure";
    host.failNext("IQDSessions::Item");
    EXPECT_FALSE(invoke(101));
    EXPECT_EQ(prompts->messageTexts(),
              (std::vector<std::string>{"Exception caught in CKolvaneInterface::get_MenuItemState",
                                        "Exception caught in CKolvaneInterface::InvokeCommand"}));
    EXPECT_EQ(state(999, "NoSuchSession"), 2);
    EXPECT_EQ(prompts->messages().size(), 3u) << "an unknown session is a host failure too";
    // The failed opening left no explorer behind: the menu still offers only the explorer.
    EXPECT_EQ(states(), kNoExplorer);
    auto explorer = invoke(101);
    EXPECT_TRUE(explorer) << "the next try opens it";
    // An explorer whose showing fails is forgotten as well.
    ui::Panel panel{"FEM Explorer"};
    host.failNext("IQDSession::get_Kind");
    explorer->OnShowUI(&panel);
    EXPECT_EQ(prompts->messageTexts().back(), "Exception caught in CShowUICommand::OnShowUI");
    EXPECT_EQ(states(), kNoExplorer) << "the explorer again, no command of the half-shown one";
}

TEST_F(EntryPoints, UnloadEndsEveryExplorer) {
    auto bracket = invoke(101);
    auto frame = invoke(101, "Frame");
    auto site = host.newCommandSite();
    bracket->putref_CommandSite(site.get());
    std::int32_t answer = 1;
    library().unload(nullptr, 0, &answer);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(site->count("EndCommand"), 1);
    EXPECT_EQ(states(), kNoExplorer) << "the map is empty";
    EXPECT_EQ(states("Frame"), kNoExplorer);
}

TEST_F(EntryPoints, InterfaceIsSharedUntilTheHostReleasesIt) {
    RefPtr<host::IQuarnelAddOn> second = RefPtr<host::IQuarnelAddOn>::adopt(library().getInterface());
    EXPECT_EQ(second.get(), addOn.get());
    void* asDispatch = nullptr;
    ASSERT_EQ(addOn->QueryInterface(platform::IDispatch::iid, &asDispatch), platform::kOk);
    static_cast<platform::IUnknown*>(asDispatch)->Release();
    void* other = nullptr;
    EXPECT_EQ(addOn->QueryInterface(host::IQDRoot::iid, &other), platform::kNoInterface);
    std::uint32_t count = 0;
    EXPECT_EQ(addOn->GetTypeInfoCount(&count), platform::kOk);
    EXPECT_EQ(count, 1u);
}

TEST(EntryPointsWithoutHost, LoadWithoutHookKeepsNoRoot) {
    AddOnFixture fixture;
    ASSERT_TRUE(library().loaded());
    EXPECT_EQ(library().load(nullptr, nullptr, 0), platform::kOk);
    auto addOn = RefPtr<host::IQuarnelAddOn>::adopt(library().getInterface());
    host::IQuarnelAddOnCommand* command = nullptr;
    EXPECT_EQ(addOn->InvokeCommand(101, "Bracket", &command), platform::kOk);
    EXPECT_EQ(fixture.prompts->messageTexts(),
              std::vector<std::string>{"Exception caught in CKolvaneInterface::InvokeCommand"});
    std::int32_t answer = 1;
    library().unload(nullptr, 0, &answer);
    if (command) command->Release();
}

}  // namespace
