#pragma once
// The host's side of a running command. Records every call in order with its arguments, projects
// model points by a fixed oblique map, hands out a render device, and gives every command handed
// to StartCommand a site of its own, as the host does.
#include <string>
#include <string_view>
#include <vector>

#include "host/addon_interfaces.h"
#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"
#include "support/fake_object.h"

namespace testhost {

// View position of a model point: x to the right, y up the screen (pixel y grows downwards),
// z drawn obliquely so that points differing only in z land on different pixels.
struct Projection {
    double originX = 400.0;
    double originY = 300.0;
    double scale = 10.0;
    double depthX = 0.5;
    double depthY = 0.25;

    double pixelX(const host::Point3& p) const { return originX + scale * (p.x + depthX * p.z); }
    double pixelY(const host::Point3& p) const { return originY - scale * (p.y + depthY * p.z); }
};

struct SiteCall {
    std::string name;          // "ProjectPoint", "Redraw", "EndCommand", "SetPicking", ...
    std::vector<double> args;  // the numeric arguments in order
    friend bool operator==(const SiteCall&, const SiteCall&) = default;
};

// What the site hands out as the view's render device unless a test gives its own.
class FakeRenderDevice : public Fake<platform::Implements<platform::IUnknown>> {
  public:
    using Fake::Fake;
};

class FakeCommandSite;

struct StartedCommand {
    platform::RefPtr<host::IQuarnelAddOnCommand> command;
    platform::RefPtr<FakeCommandSite> site;
};

class FakeCommandSite : public FakeDispatch<host::IQDCommandSite> {
  public:
    explicit FakeCommandSite(std::shared_ptr<HostState> state);

    Projection& projection() { return projection_; }

    const std::vector<SiteCall>& calls() const { return calls_; }
    // The names of the calls in order, leaving out those named in `except`.
    std::vector<std::string> names(std::initializer_list<std::string_view> except = {}) const;
    int count(std::string_view name) const;
    void clearCalls() { calls_.clear(); }

    // The device GetRenderDevice hands out; null makes it fail.
    void setRenderDevice(platform::RefPtr<platform::IUnknown> device) { device_ = std::move(device); }
    platform::IUnknown* renderDevice() const { return device_.get(); }

    // Commands handed to StartCommand, with the site each was given.
    const std::vector<StartedCommand>& startedCommands() const { return started_; }
    void releaseStartedCommands() { started_.clear(); }

    Status ProjectPoint(const host::Point3& point, double* x, double* y) override;
    Status Redraw(host::VariantBool now) override;
    Status EndCommand() override;
    Status SetPicking(host::VariantBool enable) override;
    Status ClearStatus() override;
    Status GetRenderDevice(std::int32_t which, platform::IUnknown** device) override;
    Status SetOption(std::int32_t option, std::int32_t value) override;
    Status StartCommand(host::IQuarnelAddOnCommand* command) override;

  private:
    Status record(std::string_view operation, std::vector<double> args);

    Projection projection_;
    std::vector<SiteCall> calls_;
    platform::RefPtr<platform::IUnknown> device_;
    std::vector<StartedCommand> started_;
};

}  // namespace testhost
