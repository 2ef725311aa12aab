#pragma once
// Base of every object of the fake host: reference counting from the platform, plus the controls
// a test uses to make the object misbehave (failing operations, refused interfaces).
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "platform/unknown.h"
#include "support/host_state.h"

namespace testhost {

// Hands `object` out through an interface out parameter with a new reference.
template <typename I, typename T>
Status handOut(T* object, I** out) {
    if (out == nullptr) return platform::kInvalidPointer;
    *out = object;
    if (object != nullptr) object->AddRef();
    return platform::kOk;
}

class FakeControls {
  public:
    explicit FakeControls(std::shared_ptr<HostState> state);

    // Every call of `operation` ("IQDEntity::get_Key") on this object answers `status`.
    void failOn(const std::string& operation, Status status = platform::kFail);
    void stopFailing(std::string_view operation);
    // QueryInterface for the interface named `name` ("IQDCommandSite") answers "no interface".
    void refuseInterface(const std::string& name);
    bool refuses(std::string_view name) const { return refused_.count(name) != 0; }

    HostState& state() const { return *state_; }
    const std::shared_ptr<HostState>& sharedState() const { return state_; }

  protected:
    // Logs the call and answers the failure planned for it, on this object or host-wide.
    Status gate(std::initializer_list<std::string_view> names);
    Status gate(std::string_view name) { return gate({name}); }
    // A getter: logs the call and, unless it is made to fail, writes `value` to `out`.
    template <typename T, typename V>
    Status answer(std::string_view operation, T* out, const V& value) {
        if (const Status s = gate(operation); platform::failed(s)) return s;
        if (out == nullptr) return platform::kInvalidPointer;
        *out = value;
        return platform::kOk;
    }
    // A getter of an object: clears `out`, logs the call and, unless it is made to fail, hands
    // `object` out with a new reference.
    template <typename I, typename T>
    Status answerObject(std::string_view operation, T* object, I** out) {
        if (out != nullptr) *out = nullptr;
        if (const Status s = gate(operation); platform::failed(s)) return s;
        return handOut(object, out);
    }

  private:
    std::shared_ptr<HostState> state_;
    std::map<std::string, Status, std::less<>> failing_;
    std::set<std::string, std::less<>> refused_;
};

// Joins an implementation of the platform's reference counting with the controls.
template <typename Impl>
class Fake : public Impl, public FakeControls {
  public:
    explicit Fake(std::shared_ptr<HostState> state) : FakeControls(std::move(state)) {}

    platform::Status QueryInterface(platform::InterfaceId iid, void** out) override {
        if (out != nullptr && refuses(iid.name)) {
            *out = nullptr;
            return platform::kNoInterface;
        }
        return Impl::QueryInterface(iid, out);
    }
};

template <typename... Interfaces>
using FakeDispatch = Fake<platform::ImplementsDispatch<Interfaces...>>;

}  // namespace testhost
