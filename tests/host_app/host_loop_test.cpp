// The host's handling of the commands it runs: site and panel, ends deferred to the end of the
// event, overlays of the current session only.
#include <gtest/gtest.h>

#include "addon_base/addon_command.h"
#include "program/host_application.h"
#include "render/recording_canvas.h"
#include "sample_parts.h"

namespace {

using hostapp::HostApplication;
using platform::RefPtr;

// A command that records what the host does with it; every other event is left unhandled.
class ProbeCommand : public CAddOnCommand {
  public:
    using Status = platform::Status;
    ProbeCommand() : CAddOnCommand(nullptr) {}

    std::vector<std::string> calls;

    std::string className() const override { return "ProbeCommand"; }
    void Start() override {}
    Status putref_CommandSite(platform::IUnknown* s) override {
        calls.push_back("putref_CommandSite");
        return CAddOnCommand::putref_CommandSite(s);
    }
    Status get_IsPersistent(platform::VariantBool* a) override { return answerBool(a, false); }
    Status get_HasPanel(platform::VariantBool* a) override { return answerBool(a, false); }
    Status OnDrawOverlay(render::Canvas* canvas) override {
        canvas->line(0, 0, 1, 1);
        return platform::kOk;
    }
    Status OnTerminate() override {
        calls.push_back("OnTerminate");
        return CAddOnCommand::OnTerminate();
    }
};

class HostLoop : public ::testing::Test {
  protected:
    void SetUp() override { app.openDocument(samplePath("beam.step"), {}); }
    RefPtr<ProbeCommand> start() {
        auto command = platform::makeRef<ProbeCommand>();
        app.startFurtherCommand(command.get());
        return command;
    }
    HostApplication app;
};

// A command getting its site, and its panel when it asks for one, is what every sample and
// end-to-end run starts from: the FEM Explorer is shown in its panel there.

// A command's end waits for the event to finish.
TEST_F(HostLoop, EndingWaitsForTheEventToFinish) {
    auto command = start();
    ASSERT_TRUE(command->site());
    ASSERT_EQ(command->site()->EndCommand(), platform::kOk);
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
    auto command = start();
    app.afterEvent();
    const int before = app.redrawCount();
    command->site()->Redraw(platform::kVariantTrue);
    app.afterEvent();
    EXPECT_EQ(app.redrawCount(), before + 1);
    render::RecordingCanvas canvas;
    app.drawOverlays(canvas);
    EXPECT_EQ(canvas.count(render::CanvasCall::Kind::Line), 1u);
    double x = 0, y = 0;
    ASSERT_EQ(command->site()->ProjectPoint({100, 10, 5}, &x, &y), platform::kOk);
    EXPECT_NEAR(x, (app.camera().width() + 120) / 2.0, 1e-9)
        << "the model's centre is the middle of the view right of the add-on's strip";
    platform::IUnknown* device = nullptr;
    EXPECT_LT(command->site()->GetRenderDevice(0, &device), 0) << "no device outside a drawing of the view";
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
