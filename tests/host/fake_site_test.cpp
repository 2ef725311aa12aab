// The fake selection and command site: what they record and hand out.
#include <gtest/gtest.h>

#include "platform/ref_ptr.h"
#include "support/fake_host.h"

namespace {

using platform::RefPtr;
using platform::Status;
using testhost::FakeHost;

TEST(FakeSelection, HandsOutPicksInOrderAndRecordsFiltersResetAndHandBack) {
    FakeHost host;
    auto& part = host.addPartSession("Bracket");
    auto& body = part.addBody().addBox({0, 0, 0}, {1, 1, 1});
    auto& point = part.addDesignPoint({1, 1, 1});
    auto& plane = part.addPlane("Top", 0, 0, 1);
    auto& selection = part.selection().select(body.face(4), point, plane);

    std::int32_t count = 0;
    ASSERT_EQ(selection.get_Count(5, &count), platform::kOk);
    EXPECT_EQ(count, 3);
    RefPtr<host::IQDPickedObject> picked;
    RefPtr<platform::IUnknown> object;
    ASSERT_EQ(selection.Item(1, picked.put()), platform::kOk);
    ASSERT_EQ(picked->get_Object(object.put()), platform::kOk);
    auto designPoint = object.query<host::IQDDesignPoint>();
    ASSERT_TRUE(designPoint);
    std::int32_t number = 0;
    ASSERT_EQ(designPoint->get_Number(&number), platform::kOk);
    EXPECT_EQ(number, 1);
    EXPECT_FALSE(object.query<host::IQDEntity>());

    ASSERT_EQ(selection.Item(2, picked.put()), platform::kOk);
    ASSERT_EQ(picked->get_Object(object.put()), platform::kOk);
    auto planeObject = object.require<host::IQDPlane>();
    RefPtr<host::IQDPlaneValues> values;
    ASSERT_EQ(planeObject->get_Values(values.put()), platform::kOk);
    double c = 0;
    ASSERT_EQ(values->get_C(&c), platform::kOk);
    EXPECT_EQ(c, 1.0);

    EXPECT_LT(selection.Item(3, picked.put()), 0);
    ASSERT_EQ(selection.Reset(), platform::kOk);
    ASSERT_EQ(selection.HandBack(), platform::kOk);
    ASSERT_EQ(selection.get_Count(0, &count), platform::kOk);
    EXPECT_EQ(count, 0);  // a reset selection is empty
    EXPECT_EQ(selection.filters(), (std::vector<std::int32_t>{5, 0}));
    EXPECT_EQ(selection.calls(), (std::vector<std::string>{"get_Count(5)", "Item(1)", "Item(2)", "Item(3)",
                                                           "Reset", "HandBack", "get_Count(0)"}));
}

TEST(FakeSelection, CountOverrideAndFailingPick) {
    FakeHost host;
    auto& part = host.addPartSession("Bracket");
    auto& body = part.addBody().addBox({0, 0, 0}, {1, 1, 1});
    auto& selection = part.selection().select(body.edge(0), body.vertex(0));
    selection.overrideCount(-1);
    std::int32_t count = 0;
    ASSERT_EQ(selection.get_Count(0, &count), platform::kOk);
    EXPECT_EQ(count, -1);
    selection.picked(1).failOn("IQDPickedObject::get_Object");
    RefPtr<host::IQDPickedObject> picked;
    RefPtr<platform::IUnknown> object;
    ASSERT_EQ(selection.Item(1, picked.put()), platform::kOk);
    EXPECT_LT(picked->get_Object(object.put()), 0);
    EXPECT_FALSE(object);
}

// A minimal command: keeps the site it is given, as the add-on's commands do.
class SiteKeeper : public platform::ImplementsDispatch<host::IQuarnelAddOnCommand> {
  public:
    RefPtr<platform::IUnknown> site;
    Status putref_CommandSite(platform::IUnknown* s) override {
        site = RefPtr<platform::IUnknown>(s);
        return platform::kOk;
    }
    Status get_CommandSite(host::IQDCommandSite**) override { return platform::kOk; }
    Status get_IsPersistent(host::VariantBool*) override { return platform::kOk; }
    Status get_HasPanel(host::VariantBool*) override { return platform::kOk; }
    Status OnShowUI(ui::Window*) override { return platform::kOk; }
    Status OnDrawOverlay(render::Canvas*) override { return platform::kOk; }
    Status OnMouseDown(std::int32_t, std::int32_t, std::int32_t, host::VariantBool*) override {
        return platform::kOk;
    }
    Status OnMouseUp(std::int32_t, std::int32_t, std::int32_t, host::VariantBool*) override {
        return platform::kOk;
    }
    Status OnMouseMove(std::int32_t, std::int32_t, std::int32_t, host::VariantBool*) override {
        return platform::kOk;
    }
    Status OnDoubleClick(std::int32_t, std::int32_t, host::VariantBool*) override { return platform::kOk; }
    Status OnMouseWheel(std::int32_t, std::int32_t, host::VariantBool*) override { return platform::kOk; }
    Status OnSelectionChanged() override { return platform::kOk; }
    Status OnTerminate() override { return platform::kOk; }
    Status OnRedraw() override { return platform::kOk; }
    Status OnKeyDown(std::int32_t, host::VariantBool*) override { return platform::kOk; }
    Status OnKeyUp(std::int32_t, host::VariantBool*) override { return platform::kOk; }
    Status OnCharacter(std::int32_t, host::VariantBool*) override { return platform::kOk; }
    Status OnIdle(host::VariantBool*) override { return platform::kOk; }
    Status OnViewChanged() override { return platform::kOk; }
    Status OnResume() override { return platform::kFalse; }
    Status On3DRender() override { return platform::kOk; }
};

TEST(FakeCommandSite, RecordsCallsInOrderAndProjectsDeterministically) {
    FakeHost host;
    auto site = host.newCommandSite();
    double x = 0, y = 0;
    ASSERT_EQ(site->ProjectPoint({1, 2, 0}, &x, &y), platform::kOk);
    EXPECT_EQ(x, 410.0);
    EXPECT_EQ(y, 280.0);
    double xz = 0, yz = 0;
    ASSERT_EQ(site->ProjectPoint({1, 2, 4}, &xz, &yz), platform::kOk);
    EXPECT_NE(xz, x);  // depth shows on screen
    EXPECT_NE(yz, y);

    site->SetPicking(platform::kVariantFalse);
    site->ClearStatus();
    site->failOn("IQDCommandSite::EndCommand");
    EXPECT_LT(site->EndCommand(), 0);
    site->SetOption(7, -1);
    EXPECT_EQ(site->names({"ProjectPoint"}),
              (std::vector<std::string>{"SetPicking", "ClearStatus", "EndCommand", "SetOption"}));
    EXPECT_EQ(site->calls().back(), (testhost::SiteCall{"SetOption", {7, -1}}));
    EXPECT_EQ(site->count("ProjectPoint"), 2);
}

TEST(FakeCommandSite, RenderDeviceIsCountedAndCanBeWithheld) {
    FakeHost host;
    auto site = host.newCommandSite();
    auto* device = static_cast<testhost::FakeRenderDevice*>(site->renderDevice());
    const auto before = device->referenceCount();
    {
        RefPtr<platform::IUnknown> got;
        ASSERT_EQ(site->GetRenderDevice(0, got.put()), platform::kOk);
        EXPECT_EQ(device->referenceCount(), before + 1);
    }
    EXPECT_EQ(device->referenceCount(), before);
    site->setRenderDevice(nullptr);
    RefPtr<platform::IUnknown> none;
    EXPECT_LT(site->GetRenderDevice(0, none.put()), 0);
}

TEST(FakeCommandSite, CanRefuseTheSiteInterface) {
    FakeHost host;
    auto site = host.newCommandSite();
    RefPtr<platform::IUnknown> asUnknown(static_cast<host::IQDCommandSite*>(site.get()));
    EXPECT_TRUE(asUnknown.query<host::IQDCommandSite>());
    site->refuseInterface("IQDCommandSite");
    EXPECT_FALSE(asUnknown.query<host::IQDCommandSite>());
    EXPECT_TRUE(asUnknown.query<platform::IUnknown>());
}

TEST(FakeCommandSite, StartedCommandsGetASiteOfTheirOwn) {
    FakeHost host;
    auto site = host.newCommandSite();
    auto command = platform::makeRef<SiteKeeper>();
    ASSERT_EQ(site->StartCommand(command.get()), platform::kOk);
    ASSERT_EQ(site->startedCommands().size(), 1u);
    const auto& started = site->startedCommands()[0];
    EXPECT_EQ(started.command.get(), command.get());
    ASSERT_TRUE(command->site);
    EXPECT_EQ(command->site.query<host::IQDCommandSite>().get(),
              static_cast<host::IQDCommandSite*>(started.site.get()));
    EXPECT_NE(started.site.get(), site.get());
    EXPECT_EQ(command->referenceCount(), 2u);
    site->releaseStartedCommands();
    EXPECT_EQ(command->referenceCount(), 1u);
    command->site = nullptr;
}

}  // namespace
