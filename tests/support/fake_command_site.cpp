#include "support/fake_command_site.h"

#include <algorithm>

namespace testhost {

using platform::kFail;
using platform::kInvalidPointer;
using platform::kOk;

FakeCommandSite::FakeCommandSite(std::shared_ptr<HostState> state)
    : Fake(std::move(state)), device_(platform::makeRef<FakeRenderDevice>(sharedState())) {}

std::vector<std::string> FakeCommandSite::names(std::initializer_list<std::string_view> except) const {
    std::vector<std::string> out;
    for (const auto& call : calls_) {
        if (std::find(except.begin(), except.end(), call.name) == except.end()) out.push_back(call.name);
    }
    return out;
}

int FakeCommandSite::count(std::string_view name) const {
    return static_cast<int>(
        std::count_if(calls_.begin(), calls_.end(), [&](const SiteCall& c) { return c.name == name; }));
}

// Records the call (also when it is made to fail) and answers the planned failure, if any.
Status FakeCommandSite::record(std::string_view operation, std::vector<double> args) {
    calls_.push_back({std::string(operation), std::move(args)});
    return gate("IQDCommandSite::" + std::string(operation));
}

Status FakeCommandSite::ProjectPoint(const host::Point3& point, double* x, double* y) {
    if (const Status s = record("ProjectPoint", {point.x, point.y, point.z}); platform::failed(s)) return s;
    if (x == nullptr || y == nullptr) return kInvalidPointer;
    *x = projection_.pixelX(point);
    *y = projection_.pixelY(point);
    return kOk;
}

Status FakeCommandSite::Redraw(host::VariantBool now) {
    return record("Redraw", {double(now)});
}

Status FakeCommandSite::EndCommand() {
    return record("EndCommand", {});
}

Status FakeCommandSite::SetPicking(host::VariantBool enable) {
    return record("SetPicking", {double(enable)});
}

Status FakeCommandSite::ClearStatus() {
    return record("ClearStatus", {});
}

Status FakeCommandSite::GetRenderDevice(std::int32_t which, platform::IUnknown** device) {
    if (device != nullptr) *device = nullptr;
    if (const Status s = record("GetRenderDevice", {double(which)}); platform::failed(s)) return s;
    if (!device_) return kFail;
    return handOut(device_.get(), device);
}

Status FakeCommandSite::SetOption(std::int32_t option, std::int32_t value) {
    return record("SetOption", {double(option), double(value)});
}

Status FakeCommandSite::StartCommand(host::IQuarnelAddOnCommand* command) {
    if (const Status s = record("StartCommand", {}); platform::failed(s)) return s;
    if (command == nullptr) return kInvalidPointer;
    StartedCommand started{platform::RefPtr<host::IQuarnelAddOnCommand>(command),
                           platform::makeRef<FakeCommandSite>(sharedState())};
    started_.push_back(started);
    command->putref_CommandSite(static_cast<host::IQDCommandSite*>(started.site.get()));
    return kOk;
}

}  // namespace testhost
