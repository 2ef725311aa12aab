#include "support/fake_selection.h"

#include <algorithm>

namespace testhost {

using platform::kFail;
using platform::kInvalidPointer;
using platform::kOk;

FakeSelection& FakeSelection::add(platform::IUnknown* object) {
    picked_.push_back(
        platform::makeRef<FakePickedObject>(sharedState(), platform::RefPtr<platform::IUnknown>(object)));
    return *this;
}

FakeSelection& FakeSelection::clear() {
    picked_.clear();
    return *this;
}

int FakeSelection::resetCount() const {
    return static_cast<int>(std::count(calls_.begin(), calls_.end(), "Reset"));
}

int FakeSelection::handBackCount() const {
    return static_cast<int>(std::count(calls_.begin(), calls_.end(), "HandBack"));
}

Status FakeSelection::get_Count(std::int32_t filter, std::int32_t* count) {
    calls_.push_back("get_Count(" + std::to_string(filter) + ")");
    filters_.push_back(filter);
    if (const Status s = gate("IQDSelection::get_Count"); platform::failed(s)) return s;
    if (count == nullptr) return kInvalidPointer;
    *count = countOverride_ ? *countOverride_ : static_cast<std::int32_t>(picked_.size());
    return kOk;
}

Status FakeSelection::Item(std::int32_t index, host::IQDPickedObject** picked) {
    if (picked != nullptr) *picked = nullptr;
    calls_.push_back("Item(" + std::to_string(index) + ")");
    if (const Status s = gate("IQDSelection::Item"); platform::failed(s)) return s;
    if (index < 0 || static_cast<std::size_t>(index) >= picked_.size()) return kFail;
    return handOut(picked_[static_cast<std::size_t>(index)].get(), picked);
}

Status FakeSelection::Reset() {
    calls_.push_back("Reset");
    if (const Status s = gate("IQDSelection::Reset"); platform::failed(s)) return s;
    picked_.clear();
    return kOk;
}

Status FakeSelection::HandBack() {
    calls_.push_back("HandBack");
    return gate("IQDSelection::HandBack");
}

}  // namespace testhost
