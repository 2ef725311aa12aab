#include "documents/host_root.h"

#include <algorithm>

#include "documents/failure_plan.h"

namespace hostapp {

using platform::kInvalidPointer;
using platform::kOk;
using platform::Status;

void HostSessions::remove(const std::string& name) {
    std::erase_if(sessions_, [&](const auto& s) { return s->name() == name; });
}

HostSession* HostSessions::find(const std::string& name) const {
    for (const auto& s : sessions_) {
        if (s->name() == name) return s.get();
    }
    return nullptr;
}

Status HostSessions::get_Count(std::int32_t* count) {
    if (failsAsPlanned("IQDSessions::get_Count")) return platform::kFail;
    if (count == nullptr) return kInvalidPointer;
    *count = static_cast<std::int32_t>(sessions_.size());
    return kOk;
}

Status HostSessions::Item(const platform::Variant& name, host::IQDSession** session) {
    if (failsAsPlanned("IQDSessions::Item")) return platform::kFail;
    if (session == nullptr) return kInvalidPointer;
    *session = nullptr;
    if (!name.isString()) return platform::kFail;
    HostSession* found = find(name.text());
    if (found == nullptr) return platform::kFail;
    return handOut(platform::RefPtr<HostSession>(found), session);
}

Status HostRoot::get_Sessions(host::IQDSessions** sessions) {
    if (failsAsPlanned("IQDRoot::get_Sessions")) return platform::kFail;
    return handOut(sessions_, sessions);
}

Status HostHook::GetRoot(platform::IUnknown** root) {
    if (failsAsPlanned("IQDAddOnHook::GetRoot")) return platform::kFail;
    if (root == nullptr) return kInvalidPointer;
    *root = static_cast<host::IQDRoot*>(root_.get());
    root_->AddRef();
    return kOk;
}

platform::Status HostRoot::SetStatusText(const platform::AutoString& text) {
    statusText_ = text;
    if (statusShown_) statusShown_(statusText_);
    return platform::kOk;
}

}  // namespace hostapp
