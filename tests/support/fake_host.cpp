#include "support/fake_host.h"

namespace testhost {

FakeHost::FakeHost()
    : state_(std::make_shared<HostState>()),
      root_(platform::makeRef<FakeRoot>(state_)),
      hook_(platform::makeRef<FakeHook>(state_, platform::RefPtr<platform::IUnknown>(root_))) {}

FakeSession& FakeHost::addPartSession(const std::string& name) {
    return root_->sessions().add(name, true);
}

FakeSession& FakeHost::addAssemblySession(const std::string& name) {
    return root_->sessions().add(name, false);
}

platform::RefPtr<FakeCommandSite> FakeHost::newCommandSite() const {
    return platform::makeRef<FakeCommandSite>(state_);
}

}  // namespace testhost
