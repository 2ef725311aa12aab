#pragma once
// The top of the fake host's object tree: the hook given to AddOnLoad, the root object and the
// collection of open sessions.
#include <string>
#include <vector>

#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"
#include "support/fake_object.h"
#include "support/fake_session.h"

namespace testhost {

class FakeSessions : public FakeDispatch<host::IQDSessions> {
  public:
    using Fake::Fake;

    FakeSession& add(std::string name, bool part);
    // Closes the document: later lookups by its name fail.
    void remove(const std::string& name);
    FakeSession* find(const std::string& name) const;

    Status get_Count(std::int32_t* count) override {
        return answer("IQDSessions::get_Count", count, static_cast<std::int32_t>(sessions_.size()));
    }
    // Only a string variant naming an open session finds one.
    Status Item(const host::Variant& name, host::IQDSession** session) override;

  private:
    std::vector<platform::RefPtr<FakeSession>> sessions_;
};

class FakeRoot : public FakeDispatch<host::IQDRoot> {
  public:
    explicit FakeRoot(std::shared_ptr<HostState> state);

    FakeSessions& sessions() const { return *sessions_; }

    Status get_Sessions(host::IQDSessions** sessions) override {
        return answerObject("IQDRoot::get_Sessions", sessions_.get(), sessions);
    }

  private:
    platform::RefPtr<FakeSessions> sessions_;
};

class FakeHook : public Fake<platform::Implements<host::IQDAddOnHook>> {
  public:
    FakeHook(std::shared_ptr<HostState> state, platform::RefPtr<platform::IUnknown> root)
        : Fake(std::move(state)), root_(std::move(root)) {}

    // What GetRoot hands out; null makes the hook give no root.
    void setRoot(platform::RefPtr<platform::IUnknown> root) { root_ = std::move(root); }

    Status GetRoot(platform::IUnknown** root) override {
        return answerObject("IQDAddOnHook::GetRoot", root_.get(), root);
    }

  private:
    platform::RefPtr<platform::IUnknown> root_;
};

}  // namespace testhost
