#include "documents/host_geometry.h"

#include "documents/failure_plan.h"

namespace hostapp {

using platform::kInvalidPointer;
using platform::kOk;
using platform::makeRef;
using platform::RefPtr;
using platform::Status;

RefPtr<host::IQDEntity> makeEntity(const DocumentPtr& document, const EntityRef& ref, bool assembly) {
    switch (ref.type) {
        case EntityType::Face:
            return RefPtr<host::IQDEntity>(makeRef<HostFace>(document, ref, assembly).get());
        case EntityType::Edge:
            return RefPtr<host::IQDEntity>(makeRef<HostEdge>(document, ref, assembly).get());
        default:
            return RefPtr<host::IQDEntity>(makeRef<HostVertex>(document, ref, assembly).get());
    }
}

// ---- bodies ----

Status HostBody::get_Key(host::KeyBytes* key) {
    if (failsAsPlanned("IQDBody::get_Key")) return platform::kFail;
    if (key == nullptr) return kInvalidPointer;
    *key = body_ == kWholeDocument ? host::KeyBytes{} : document_->bodyKey(body_);
    return kOk;
}

Status HostBody::list(EntityType type, host::IQDEntities** out) {
    std::vector<EntityRef> refs;
    if (body_ == kWholeDocument) {
        for (int n = 1; n <= document_->totalCount(type); ++n)
            refs.push_back(*document_->fromGlobalNumber(type, n));
    } else {
        for (int i = 0; i < document_->count(body_, type); ++i) refs.push_back({body_, type, i});
    }
    return handOut(makeRef<HostEntities>(document_, std::move(refs), body_ == kWholeDocument), out);
}

Status HostBody::get_Faces(host::IQDEntities** faces) {
    if (failsAsPlanned("IQDBody::get_Faces")) return platform::kFail;
    return list(EntityType::Face, faces);
}
Status HostBody::get_Edges(host::IQDEntities** edges) {
    if (failsAsPlanned("IQDBody::get_Edges")) return platform::kFail;
    return list(EntityType::Edge, edges);
}
Status HostBody::get_Vertices(host::IQDEntities** vertices) {
    if (failsAsPlanned("IQDBody::get_Vertices")) return platform::kFail;
    return list(EntityType::Vertex, vertices);
}

Status HostBodies::get_Count(std::int32_t* count) {
    if (failsAsPlanned("IQDBodies::get_Count")) return platform::kFail;
    if (count == nullptr) return kInvalidPointer;
    *count = document_->bodyCount();
    return kOk;
}

Status HostBodies::Item(std::int32_t index, host::IQDBody** body) {
    if (failsAsPlanned("IQDBodies::Item")) return platform::kFail;
    if (body == nullptr) return kInvalidPointer;
    *body = nullptr;
    if (index < 0 || index >= document_->bodyCount()) return platform::kFail;
    return handOut(makeRef<HostBody>(document_, index), body);
}

Status HostEntities::get_Count(std::int32_t* count) {
    if (failsAsPlanned("IQDEntities::get_Count")) return platform::kFail;
    if (count == nullptr) return kInvalidPointer;
    *count = static_cast<std::int32_t>(refs_.size());
    return kOk;
}

Status HostEntities::Item(std::int32_t index, host::IQDEntity** entity) {
    if (failsAsPlanned("IQDEntities::Item")) return platform::kFail;
    if (entity == nullptr) return kInvalidPointer;
    *entity = nullptr;
    if (index < 0 || index >= static_cast<std::int32_t>(refs_.size())) return platform::kFail;
    return handOut(makeEntity(document_, refs_[static_cast<std::size_t>(index)], assembly_), entity);
}

// ---- entities ----

template <typename I>
Status HostEntityOf<I>::get_Key(host::KeyBytes* key) {
    if (failsAsPlanned("IQDEntity::get_Key")) return platform::kFail;
    if (key == nullptr) return kInvalidPointer;
    *key = document_->entityKey(ref_);
    return kOk;
}

template <typename I>
Status HostEntityOf<I>::get_Body(host::IQDBody** body) {
    if (failsAsPlanned("IQDEntity::get_Body")) return platform::kFail;
    return handOut(makeRef<HostBody>(document_, assembly_ ? kWholeDocument : ref_.body), body);
}

template <typename I>
Status HostEntityOf<I>::GetCorners(host::Point3* low, host::Point3* high) {
    if (failsAsPlanned("IQDEntity::GetCorners")) return platform::kFail;
    if (low == nullptr || high == nullptr) return kInvalidPointer;
    std::tie(*low, *high) = document_->corners(ref_);
    return kOk;
}

template class HostEntityOf<host::IQDFace>;
template class HostEntityOf<host::IQDEdge>;
template class HostEntityOf<host::IQDVertex>;

Status HostFace::get_SurfaceKind(std::int32_t* kind) {
    if (failsAsPlanned("IQDFace::get_SurfaceKind")) return platform::kFail;
    if (kind == nullptr) return kInvalidPointer;
    *kind = document_->surface(ref_).kind;
    return kOk;
}

Status HostFace::GetAxis(host::Point3* origin, host::Point3* direction) {
    if (failsAsPlanned("IQDFace::GetAxis")) return platform::kFail;
    if (origin == nullptr || direction == nullptr) return kInvalidPointer;
    const auto info = document_->surface(ref_);
    if (!info.axis) return platform::kFail;
    std::tie(*origin, *direction) = *info.axis;
    return kOk;
}

Status HostEdge::get_Faces(host::IQDEntities** faces) {
    if (failsAsPlanned("IQDEdge::get_Faces")) return platform::kFail;
    return handOut(makeRef<HostEntities>(document_, document_->edgeFaces(ref_), assembly_), faces);
}

Status HostVertex::GetPoint(host::Point3* position) {
    if (failsAsPlanned("IQDVertex::GetPoint")) return platform::kFail;
    if (position == nullptr) return kInvalidPointer;
    *position = document_->vertexPoint(ref_);
    return kOk;
}

}  // namespace hostapp
