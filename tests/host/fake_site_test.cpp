// The fake selection and command site: what they record and hand out.
#include <gtest/gtest.h>

#include "platform/ref_ptr.h"
#include "support/command_stub.h"
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
class SiteKeeper : public testhost::CommandStub {
  public:
    RefPtr<platform::IUnknown> site;
    Status putref_CommandSite(platform::IUnknown* s) override {
        site = RefPtr<platform::IUnknown>(s);
        return platform::kOk;
    }
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
