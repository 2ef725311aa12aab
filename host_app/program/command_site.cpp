#include "program/command_site.h"

#include <algorithm>

#include "documents/failure_plan.h"

namespace hostapp {

using platform::kInvalidPointer;
using platform::kOk;
using platform::Status;

Status CommandSite::gate(const char* name) {
    calls_.emplace_back(name);
    if (failsAsPlanned("IQDCommandSite::" + std::string(name))) return platform::kFail;
    return host_ == nullptr ? platform::kFail : kOk;
}

int CommandSite::count(const std::string& name) const {
    return static_cast<int>(std::count(calls_.begin(), calls_.end(), name));
}

int CommandSite::option(std::int32_t which) const {
    auto it = options_.find(which);
    return it == options_.end() ? 0 : it->second;
}

Status CommandSite::ProjectPoint(const host::Point3& point, double* x, double* y) {
    if (failsAsPlanned("IQDCommandSite::ProjectPoint")) return platform::kFail;
    if (x == nullptr || y == nullptr) return kInvalidPointer;
    if (host_ == nullptr) return platform::kFail;  // not logged: the overlay projects many points
    host_->projectPoint(point, x, y);
    return kOk;
}

Status CommandSite::Redraw(platform::VariantBool) {
    if (const Status s = gate("Redraw"); platform::failed(s)) return s;
    host_->requestRedraw();
    return kOk;
}

Status CommandSite::EndCommand() {
    if (const Status s = gate("EndCommand"); platform::failed(s)) return s;
    host_->requestEnd(this);
    return kOk;
}

Status CommandSite::SetPicking(platform::VariantBool enable) {
    if (const Status s = gate("SetPicking"); platform::failed(s)) return s;
    picking_ = enable != platform::kVariantFalse;
    return kOk;
}

Status CommandSite::ClearStatus() {
    return gate("ClearStatus");
}

Status CommandSite::GetRenderDevice(std::int32_t which, platform::IUnknown** device) {
    if (device == nullptr) return kInvalidPointer;
    *device = nullptr;
    if (const Status s = gate("GetRenderDevice"); platform::failed(s)) return s;
    platform::IUnknown* current = which == 0 ? host_->renderDevice() : nullptr;
    if (current == nullptr) return platform::kFail;
    current->AddRef();
    *device = current;
    ++devicesHandedOut_;
    return kOk;
}

Status CommandSite::SetOption(std::int32_t option, std::int32_t value) {
    if (const Status s = gate("SetOption"); platform::failed(s)) return s;
    options_[option] = value;
    return kOk;
}

Status CommandSite::StartCommand(host::IQuarnelAddOnCommand* command) {
    if (const Status s = gate("StartCommand"); platform::failed(s)) return s;
    if (command == nullptr) return kInvalidPointer;
    host_->startFurtherCommand(command);
    return kOk;
}

}  // namespace hostapp
