#pragma once
// What the user has picked in a session: faces, edges, vertices, design points or planes, each
// held as the item it is and the host object handed to the add-on for it, wrapped in a picked
// object.
#include <vector>

#include "documents/pick_item.h"
#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace hostapp {

class HostSession;

class HostPickedObject : public platform::ImplementsDispatch<host::IQDPickedObject> {
  public:
    explicit HostPickedObject(platform::RefPtr<platform::IUnknown> object) : object_(std::move(object)) {}
    platform::Status get_Object(platform::IUnknown** object) override;
    platform::IUnknown* object() const { return object_.get(); }

  private:
    platform::RefPtr<platform::IUnknown> object_;
};

// One pick: the item and the session's object for it (a face, edge or vertex automation object,
// a design point or a plane).
struct SelectedItem {
    PickItem item;
    platform::RefPtr<platform::IUnknown> object;
};

// The selected item for `item` of `session`. Throws PickError when the session has no such item.
SelectedItem selectedItem(const HostSession& session, const PickItem& item);

class HostSelection : public platform::ImplementsDispatch<host::IQDSelection> {
  public:
    void replace(std::vector<SelectedItem> picks);
    std::size_t size() const { return picked_.size(); }
    // What is picked, in order.
    std::vector<PickItem> items() const;
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
    struct Picked {
        PickItem item;
        platform::RefPtr<HostPickedObject> object;
    };
    std::vector<Picked> picked_;
    int handBacks_ = 0;
    std::vector<std::int32_t> filters_;
};

}  // namespace hostapp
