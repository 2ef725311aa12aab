#pragma once
// The host's side of one running command: projection into the view, redraw, end of the command,
// the further commands a command starts, and the view options it sets.
#include <map>
#include <string>
#include <vector>

#include "host/addon_interfaces.h"
#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace hostapp {

// What a site asks of the host that runs its command.
class CommandHost {
  public:
    virtual ~CommandHost() = default;
    virtual void projectPoint(const host::Point3& point, double* x, double* y) const = 0;
    virtual void requestRedraw() = 0;
    // The command of `site` is to end; the host terminates it once the current event is handled.
    virtual void requestEnd(class CommandSite* site) = 0;
    virtual void startFurtherCommand(host::IQuarnelAddOnCommand* command) = 0;
    // The view's 3-D device while the view is being drawn; null at other times.
    virtual platform::IUnknown* renderDevice() const = 0;
};

class CommandSite : public platform::ImplementsDispatch<host::IQDCommandSite> {
  public:
    explicit CommandSite(CommandHost* host) : host_(host) {}

    // The host is going away: later calls fail instead of reaching it.
    void detach() { host_ = nullptr; }
    bool picking() const { return picking_; }
    int option(std::int32_t which) const;
    // Names of the site operations called so far, in order ("SetPicking", "EndCommand", ...).
    const std::vector<std::string>& calls() const { return calls_; }
    int count(const std::string& name) const;
    void clearCalls() { calls_.clear(); }
    // How often the command took the view's 3-D device.
    int devicesHandedOut() const { return devicesHandedOut_; }

    platform::Status ProjectPoint(const host::Point3& point, double* x, double* y) override;
    platform::Status Redraw(platform::VariantBool now) override;
    platform::Status EndCommand() override;
    platform::Status SetPicking(platform::VariantBool enable) override;
    platform::Status ClearStatus() override;
    // The view's 3-D device, only while the view is being drawn (On3DRender).
    platform::Status GetRenderDevice(std::int32_t which, platform::IUnknown** device) override;
    platform::Status SetOption(std::int32_t option, std::int32_t value) override;
    platform::Status StartCommand(host::IQuarnelAddOnCommand* command) override;

  private:
    platform::Status gate(const char* name);

    CommandHost* host_;
    bool picking_ = true;
    std::map<std::int32_t, std::int32_t> options_;
    std::vector<std::string> calls_;
    int devicesHandedOut_ = 0;
};

}  // namespace hostapp
