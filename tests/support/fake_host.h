#pragma once
// The programmable test host: a fake of the whole host contract for the add-on's tests.
//
//   testhost::FakeHost host;
//   auto& part = host.addPartSession("Bracket");
//   auto& body = part.addBody().addBox({0, 0, 0}, {10, 20, 30});
//   part.selection().select(body.face(2));
//   host.failNext("IQDSessions::Item");
//   ... hand host.hook() to AddOnLoad, drive the add-on, then look at what it asked:
//   part.selection().filters(), site->names(), host.callCount(...), part.exportedPaths() ...
//
// Lookups of things that are not there (a session name, a key, an index, a design point number)
// fail with the general failure status, as the host's do. Every object counts its references like
// the host's own, so a test can also check that the add-on releases what it takes.
#include <memory>
#include <string>

#include "support/fake_command_site.h"
#include "support/fake_geometry.h"
#include "support/fake_points.h"
#include "support/fake_root.h"
#include "support/fake_selection.h"
#include "support/fake_session.h"
#include "support/host_state.h"

namespace testhost {

class FakeHost {
  public:
    FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    FakeSession& addPartSession(const std::string& name);
    FakeSession& addAssemblySession(const std::string& name);
    void closeSession(const std::string& name) { root_->sessions().remove(name); }

    FakeRoot& root() const { return *root_; }
    FakeHook& hookObject() const { return *hook_; }
    // The hook as AddOnLoad receives it.
    host::IQDAddOnHook* hook() const { return hook_.get(); }

    // A new command site sharing this host's failure plan and call log.
    platform::RefPtr<FakeCommandSite> newCommandSite() const;

    // Host-wide failure plan (see HostState); objects have failOn for their own.
    void failNext(const std::string& operation, Status status = platform::kFail) {
        state_->failNext(operation, status);
    }
    void failAfter(const std::string& operation, int succeeding, Status status = platform::kFail) {
        state_->failAfter(operation, succeeding, status);
    }
    void failAlways(const std::string& operation, Status status = platform::kFail) {
        state_->failAlways(operation, status);
    }
    void clearFailures() { state_->clearFailures(); }

    // How often a host operation ("IQDSessions::Item", ...) was called.
    int callCount(std::string_view operation) const { return state_->callCount(operation); }

    const std::shared_ptr<HostState>& state() const { return state_; }

  private:
    std::shared_ptr<HostState> state_;
    platform::RefPtr<FakeRoot> root_;
    platform::RefPtr<FakeHook> hook_;
};

}  // namespace testhost
