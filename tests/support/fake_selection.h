#pragma once
// The user's picks in a session: any host objects (faces, edges, vertices, design points, planes,
// or anything else), each wrapped in a picked object as the host hands them out. Every call is
// recorded in order, with the filter each count was asked with.
#include <optional>
#include <string>
#include <vector>

#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"
#include "support/fake_object.h"

namespace testhost {

class FakePickedObject : public FakeDispatch<host::IQDPickedObject> {
  public:
    FakePickedObject(std::shared_ptr<HostState> state, platform::RefPtr<platform::IUnknown> object)
        : Fake(std::move(state)), object_(std::move(object)) {}

    Status get_Object(platform::IUnknown** object) override {
        return answerObject("IQDPickedObject::get_Object", object_.get(), object);
    }

  private:
    platform::RefPtr<platform::IUnknown> object_;
};

class FakeSelection : public FakeDispatch<host::IQDSelection> {
  public:
    using Fake::Fake;

    // Replaces the picks with `objects`, in order (fake faces, edges, points, planes...).
    template <typename... Objects>
    FakeSelection& select(Objects&... objects) {
        clear();
        (add(static_cast<platform::IUnknown*>(&objects)), ...);
        return *this;
    }
    FakeSelection& add(platform::IUnknown* object);
    FakeSelection& clear();

    // The wrapper of pick `i` (to make its get_Object fail).
    FakePickedObject& picked(std::size_t i) const { return *picked_.at(i); }

    // Makes get_Count answer `count` whatever is picked (e.g. 0 or -1 with picks present).
    void overrideCount(std::int32_t count) { countOverride_ = count; }

    // Calls in order: "get_Count(<filter>)", "Item(<index>)", "Reset", "HandBack".
    const std::vector<std::string>& calls() const { return calls_; }
    // The filter argument of every get_Count, in order.
    const std::vector<std::int32_t>& filters() const { return filters_; }
    int resetCount() const;
    int handBackCount() const;

    Status get_Count(std::int32_t filter, std::int32_t* count) override;
    Status Item(std::int32_t index, host::IQDPickedObject** picked) override;
    // Empties the selection.
    Status Reset() override;
    Status HandBack() override;

  private:
    std::vector<platform::RefPtr<FakePickedObject>> picked_;
    std::vector<std::string> calls_;
    std::vector<std::int32_t> filters_;
    std::optional<std::int32_t> countOverride_;
};

}  // namespace testhost
