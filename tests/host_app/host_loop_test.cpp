// The host's handling of the commands it runs: site and panel, ends deferred to the end of the
// event, overlays of the current session only.
#include <gtest/gtest.h>

#include "host/addon_interfaces.h"
#include "program/host_application.h"
#include "render/recording_canvas.h"
#include "sample_parts.h"
#include "ui/window.h"

namespace {

using hostapp::HostApplication;
using platform::RefPtr;

// A command that records what the host does with it; every other event is left unhandled.
class ProbeCommand : public platform::ImplementsDispatch<host::IQuarnelAddOnCommand> {
  public:
    using Status = platform::Status;
    using VariantBool = platform::VariantBool;
    explicit ProbeCommand(bool panel) : panel_(panel) {}

    std::vector<std::string> calls;
    RefPtr<host::IQDCommandSite> site;
    ui::Window* shownIn = nullptr;

    Status putref_CommandSite(platform::IUnknown* s) override {
        calls.push_back("putref_CommandSite");
        site = RefPtr<platform::IUnknown>(s).query<host::IQDCommandSite>();
        return platform::kOk;
    }
    Status get_CommandSite(host::IQDCommandSite** s) override {
        *s = RefPtr<host::IQDCommandSite>(site).detach();
        return platform::kOk;
    }
    Status get_IsPersistent(VariantBool* a) override { return get_HasPanel(a); }
    Status get_HasPanel(VariantBool* a) override {
        *a = panel_ ? platform::kVariantTrue : platform::kVariantFalse;
        return platform::kOk;
    }
    Status OnShowUI(ui::Window* w) override {
        calls.push_back("OnShowUI");
        shownIn = w;
        return platform::kOk;
    }
    Status OnDrawOverlay(render::Canvas* canvas) override {
        canvas->line(0, 0, 1, 1);
        return platform::kOk;
    }
    Status OnTerminate() override {
        calls.push_back("OnTerminate");
        site = nullptr;
        return platform::kOk;
    }
    Status OnMouseDown(std::int32_t, std::int32_t, std::int32_t, VariantBool* h) override { return no(h); }
    Status OnMouseUp(std::int32_t, std::int32_t, std::int32_t, VariantBool* h) override { return no(h); }
    Status OnMouseMove(std::int32_t, std::int32_t, std::int32_t, VariantBool* h) override { return no(h); }
    Status OnDoubleClick(std::int32_t, std::int32_t, VariantBool* h) override { return no(h); }
    Status OnMouseWheel(std::int32_t, std::int32_t, VariantBool* h) override { return no(h); }
    Status OnSelectionChanged() override { return platform::kOk; }
    Status OnRedraw() override { return platform::kOk; }
    Status OnKeyDown(std::int32_t, VariantBool* h) override { return no(h); }
    Status OnKeyUp(std::int32_t, VariantBool* h) override { return no(h); }
    Status OnCharacter(std::int32_t, VariantBool* h) override { return no(h); }
    Status OnIdle(VariantBool* h) override { return no(h); }
    Status OnViewChanged() override { return platform::kOk; }
    Status OnResume() override { return platform::kFalse; }
    Status On3DRender() override { return platform::kOk; }

  private:
    static Status no(VariantBool* answer) {
        *answer = platform::kVariantFalse;
        return platform::kOk;
    }
    bool panel_;
};

class HostLoop : public ::testing::Test {
  protected:
    void SetUp() override { app.openDocument(samplePath("beam.step"), {}); }
    RefPtr<ProbeCommand> start(bool panel) {
        auto command = platform::makeRef<ProbeCommand>(panel);
        app.startFurtherCommand(command.get());
        return command;
    }
    HostApplication app;
};

TEST_F(HostLoop, ACommandGetsItsSiteAndAPanelWhenItAsksForOne) {
    auto plain = start(false);
    auto explorer = start(true);
    EXPECT_EQ(plain->calls, std::vector<std::string>{"putref_CommandSite"});
    EXPECT_EQ(explorer->calls, (std::vector<std::string>{"putref_CommandSite", "OnShowUI"}));
    ASSERT_NE(explorer->shownIn, nullptr);
    EXPECT_EQ(app.panelOf("beam"), explorer->shownIn);
    EXPECT_EQ(app.running().size(), 2u);
}

TEST_F(HostLoop, EndingWaitsForTheEventToFinish) {
    auto command = start(false);
    ASSERT_TRUE(command->site);
    ASSERT_EQ(command->site->EndCommand(), platform::kOk);
    EXPECT_EQ(command->calls.back(), "putref_CommandSite") << "not terminated inside its own call";
    app.afterEvent();
    EXPECT_EQ(command->calls.back(), "OnTerminate");
    EXPECT_TRUE(app.running().empty());
    // A second start of the same object is a new run; starting a running one again is not.
    app.startFurtherCommand(command.get());
    app.startFurtherCommand(command.get());
    EXPECT_EQ(app.running().size(), 1u);
}

TEST_F(HostLoop, OverlaysAndRedrawsComeFromTheRunningCommands) {
    auto command = start(false);
    app.afterEvent();
    const int before = app.redrawCount();
    command->site->Redraw(platform::kVariantTrue);
    app.afterEvent();
    EXPECT_EQ(app.redrawCount(), before + 1);
    render::RecordingCanvas canvas;
    app.drawOverlays(canvas);
    EXPECT_EQ(canvas.count(render::CanvasCall::Kind::Line), 1u);
    double x = 0, y = 0;
    ASSERT_EQ(command->site->ProjectPoint({100, 10, 5}, &x, &y), platform::kOk);
    EXPECT_NEAR(x, (app.camera().width() + 120) / 2.0, 1e-9)
        << "the model's centre is the middle of the view right of the add-on's strip";
    platform::IUnknown* device = nullptr;
    EXPECT_LT(command->site->GetRenderDevice(0, &device), 0) << "no device outside a drawing of the view";
    EXPECT_EQ(device, nullptr);
}

// The document that becomes current when another closes is framed afresh, not shown at the closed
// one's zoom.
TEST_F(HostLoop, ClosingADocumentFramesTheOneThatBecomesCurrent) {
    app.fitView(800, 600);
    const double beamScale = app.camera().scale();
    app.openDocument(samplePath("bracket.step"), {});
    app.camera().zoom(3, 400, 300);
    app.closeDocument("bracket");
    ASSERT_EQ(app.currentSession()->name(), "beam");
    EXPECT_DOUBLE_EQ(app.camera().scale(), beamScale);
    EXPECT_FALSE(app.camera().moved());
}

}  // namespace
