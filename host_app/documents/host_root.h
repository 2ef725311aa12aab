#pragma once
// The top of the host's object tree: the hook handed to AddOnLoad, the root object and the
// collection of open sessions.
#include <functional>
#include <string>
#include <vector>

#include "documents/host_session.h"
#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace hostapp {

class HostSessions : public platform::ImplementsDispatch<host::IQDSessions> {
  public:
    void add(platform::RefPtr<HostSession> session) { sessions_.push_back(std::move(session)); }
    void remove(const std::string& name);
    HostSession* find(const std::string& name) const;
    const std::vector<platform::RefPtr<HostSession>>& all() const { return sessions_; }

    platform::Status get_Count(std::int32_t* count) override;
    // Only a string variant naming an open session finds one.
    platform::Status Item(const platform::Variant& name, host::IQDSession** session) override;

  private:
    std::vector<platform::RefPtr<HostSession>> sessions_;
};

// The root also holds the status bar's add-on line: a window host shows it as it changes.
class HostRoot : public platform::ImplementsDispatch<host::IQDRoot, host::IQDStatusBar> {
  public:
    HostRoot() : sessions_(platform::makeRef<HostSessions>()) {}
    HostSessions& sessions() const { return *sessions_; }
    platform::Status get_Sessions(host::IQDSessions** sessions) override;

    platform::Status SetStatusText(const platform::AutoString& text) override;
    const std::string& statusText() const { return statusText_; }
    void onStatusText(std::function<void(const std::string&)> shown) { statusShown_ = std::move(shown); }

  private:
    platform::RefPtr<HostSessions> sessions_;
    std::string statusText_;
    std::function<void(const std::string&)> statusShown_;
};

class HostHook : public platform::Implements<host::IQDAddOnHook> {
  public:
    explicit HostHook(platform::RefPtr<HostRoot> root) : root_(std::move(root)) {}
    platform::Status GetRoot(platform::IUnknown** root) override;

  private:
    platform::RefPtr<HostRoot> root_;
};

}  // namespace hostapp
