#pragma once
// What the user has picked in a session: faces, edges, vertices, design points or planes, each
// handed to the add-on wrapped in a picked object.
#include <string>
#include <vector>

#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace hostapp {

class HostPickedObject : public platform::ImplementsDispatch<host::IQDPickedObject> {
  public:
    explicit HostPickedObject(platform::RefPtr<platform::IUnknown> object) : object_(std::move(object)) {}
    platform::Status get_Object(platform::IUnknown** object) override;
    platform::IUnknown* object() const { return object_.get(); }

  private:
    platform::RefPtr<platform::IUnknown> object_;
};

class HostSelection : public platform::ImplementsDispatch<host::IQDSelection> {
  public:
    // `labels` name the objects as the scripts and the status bar do ("face:3"), one per object.
    void replace(std::vector<platform::RefPtr<platform::IUnknown>> objects,
                 std::vector<std::string> labels = {});
    const std::vector<std::string>& labels() const { return labels_; }
    std::size_t size() const { return picked_.size(); }
    // The picked objects themselves, in order (the view highlights them).
    std::vector<platform::IUnknown*> objects() const;
    // How often the add-on handed the selection back (the end of a command's picking).
    int handBacks() const { return handBacks_; }
    // The filter of every count asked, in order: the asking command's code.
    const std::vector<std::int32_t>& filters() const { return filters_; }

    // The filter is the asking command's code; this host picks before the command asks, so it
    // answers what is picked whatever the filter.
    platform::Status get_Count(std::int32_t filter, std::int32_t* count) override;
    platform::Status Item(std::int32_t index, host::IQDPickedObject** picked) override;
    platform::Status Reset() override;
    platform::Status HandBack() override;

  private:
    std::vector<platform::RefPtr<HostPickedObject>> picked_;
    std::vector<std::string> labels_;
    int handBacks_ = 0;
    std::vector<std::int32_t> filters_;
};

}  // namespace hostapp
