#include "support/fake_object.h"

namespace testhost {

FakeControls::FakeControls(std::shared_ptr<HostState> state) : state_(std::move(state)) {
    if (!state_) state_ = std::make_shared<HostState>();
}

void FakeControls::failOn(const std::string& operation, Status status) {
    HostState::checkOperationName(operation);
    failing_[operation] = status;
}

void FakeControls::stopFailing(std::string_view operation) {
    if (auto it = failing_.find(operation); it != failing_.end()) failing_.erase(it);
}

void FakeControls::refuseInterface(const std::string& name) {
    refused_.insert(name);
}

Status FakeControls::gate(std::initializer_list<std::string_view> names) {
    const Status hostWide = state_->enter(names);
    for (std::string_view name : names) {
        if (auto it = failing_.find(name); it != failing_.end()) return it->second;
    }
    return hostWide;
}

}  // namespace testhost
