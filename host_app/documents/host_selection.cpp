#include "documents/host_selection.h"

#include "documents/failure_plan.h"
#include "documents/host_geometry.h"

namespace hostapp {

using platform::kInvalidPointer;
using platform::kOk;
using platform::Status;

Status HostPickedObject::get_Object(platform::IUnknown** object) {
    if (failsAsPlanned("IQDPickedObject::get_Object")) return platform::kFail;
    return handOut(object_, object);
}

void HostSelection::replace(std::vector<platform::RefPtr<platform::IUnknown>> objects,
                            std::vector<std::string> labels) {
    labels.resize(objects.size());
    labels_ = std::move(labels);
    picked_.clear();
    for (auto& object : objects) picked_.push_back(platform::makeRef<HostPickedObject>(std::move(object)));
}

std::vector<platform::IUnknown*> HostSelection::objects() const {
    std::vector<platform::IUnknown*> out;
    for (const auto& picked : picked_) out.push_back(picked->object());
    return out;
}

Status HostSelection::get_Count(std::int32_t filter, std::int32_t* count) {
    filters_.push_back(filter);
    if (failsAsPlanned("IQDSelection::get_Count")) return platform::kFail;
    if (count == nullptr) return kInvalidPointer;
    *count = static_cast<std::int32_t>(picked_.size());
    return kOk;
}

Status HostSelection::Item(std::int32_t index, host::IQDPickedObject** picked) {
    if (failsAsPlanned("IQDSelection::Item")) return platform::kFail;
    if (picked == nullptr) return kInvalidPointer;
    *picked = nullptr;
    if (index < 0 || index >= static_cast<std::int32_t>(picked_.size())) return platform::kFail;
    return handOut(picked_[static_cast<std::size_t>(index)], picked);
}

Status HostSelection::Reset() {
    if (failsAsPlanned("IQDSelection::Reset")) return platform::kFail;
    picked_.clear();
    return kOk;
}

Status HostSelection::HandBack() {
    if (failsAsPlanned("IQDSelection::HandBack")) return platform::kFail;
    ++handBacks_;
    return kOk;
}

}  // namespace hostapp
