#include "support/fake_root.h"

#include <algorithm>

namespace testhost {

using platform::kFail;
using platform::kInvalidPointer;
using platform::kOk;

FakeSession& FakeSessions::add(std::string name, bool part) {
    sessions_.push_back(platform::makeRef<FakeSession>(sharedState(), std::move(name), part));
    return *sessions_.back();
}

void FakeSessions::remove(const std::string& name) {
    std::erase_if(sessions_, [&](const auto& s) { return s->name() == name; });
}

FakeSession* FakeSessions::find(const std::string& name) const {
    for (const auto& s : sessions_) {
        if (s->name() == name) return s.get();
    }
    return nullptr;
}

Status FakeSessions::Item(const host::Variant& name, host::IQDSession** session) {
    if (session != nullptr) *session = nullptr;
    if (const Status s = gate("IQDSessions::Item"); platform::failed(s)) return s;
    if (session == nullptr) return kInvalidPointer;
    FakeSession* found = name.isString() ? find(name.text()) : nullptr;
    if (found == nullptr) return kFail;
    return handOut(static_cast<host::IQDSession*>(found), session);
}

FakeRoot::FakeRoot(std::shared_ptr<HostState> state)
    : Fake(std::move(state)), sessions_(platform::makeRef<FakeSessions>(sharedState())) {}

}  // namespace testhost
