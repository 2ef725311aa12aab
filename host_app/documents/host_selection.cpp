#include "documents/host_selection.h"

#include "documents/failure_plan.h"
#include "documents/host_geometry.h"
#include "documents/host_session.h"

namespace hostapp {

using platform::kInvalidPointer;
using platform::kOk;
using platform::Status;

Status HostPickedObject::get_Object(platform::IUnknown** object) {
    if (failsAsPlanned("IQDPickedObject::get_Object")) return platform::kFail;
    return handOut(object_, object);
}

namespace {

EntityType entityType(PickKind kind) {
    return kind == PickKind::Edge     ? EntityType::Edge
           : kind == PickKind::Vertex ? EntityType::Vertex
                                      : EntityType::Face;
}

platform::RefPtr<platform::IUnknown> pickedObject(const HostSession& session, const PickItem& item) {
    if (item.kind == PickKind::Plane) {
        HostPlane* plane = session.plane(item.plane);
        if (plane == nullptr) throw PickError("no plane " + item.plane);
        return platform::RefPtr<platform::IUnknown>(plane);
    }
    if (item.kind == PickKind::Point) {
        const auto& points = session.designPoints();
        if (item.number < 1 || item.number > static_cast<int>(points.size()))
            throw PickError("no design point " + std::to_string(item.number));
        return platform::RefPtr<platform::IUnknown>(points[static_cast<std::size_t>(item.number - 1)].get());
    }
    const auto ref = session.document().fromGlobalNumber(entityType(item.kind), item.number);
    if (!ref)
        throw PickError(std::string("the part has no ") + pickKindWord(item.kind) + " " +
                        std::to_string(item.number));
    return platform::RefPtr<platform::IUnknown>(
        makeEntity(session.documentPtr(), *ref, !session.isPart()).get());
}

}  // namespace

SelectedItem selectedItem(const HostSession& session, const PickItem& item) {
    return {item, pickedObject(session, item)};
}

void HostSelection::replace(std::vector<SelectedItem> picks) {
    picked_.clear();
    for (auto& pick : picks)
        picked_.push_back(
            {std::move(pick.item), platform::makeRef<HostPickedObject>(std::move(pick.object))});
}

std::vector<PickItem> HostSelection::items() const {
    std::vector<PickItem> out;
    for (const auto& picked : picked_) out.push_back(picked.item);
    return out;
}

std::vector<platform::IUnknown*> HostSelection::objects() const {
    std::vector<platform::IUnknown*> out;
    for (const auto& picked : picked_) out.push_back(picked.object->object());
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
    return handOut(picked_[static_cast<std::size_t>(index)].object, picked);
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
