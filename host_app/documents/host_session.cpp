#include "documents/host_session.h"

#include <tuple>

#include "documents/failure_plan.h"

namespace hostapp {

using platform::kFail;
using platform::kInvalidPointer;
using platform::kOk;
using platform::makeRef;
using platform::Status;

HostSession::HostSession(std::string name, DocumentPtr document, SessionOptions options)
    : name_(std::move(name)),
      document_(std::move(document)),
      options_(options),
      selection_(makeRef<HostSelection>()) {
    addPlane("XY", 0, 0, 1);
    addPlane("YZ", 1, 0, 0);
    addPlane("ZX", 0, 1, 0);
}

HostDesignPoint& HostSession::addDesignPoint(host::Point3 position) {
    points_.push_back(makeRef<HostDesignPoint>(static_cast<std::int32_t>(points_.size() + 1), position));
    return *points_.back();
}

HostPlane& HostSession::addPlane(const std::string& name, double a, double b, double c) {
    for (auto& p : planes_) {
        if (p->name() == name) {
            p = makeRef<HostPlane>(name, a, b, c);
            return *p;
        }
    }
    planes_.push_back(makeRef<HostPlane>(name, a, b, c));
    return *planes_.back();
}

HostPlane* HostSession::plane(const std::string& name) const {
    for (const auto& p : planes_) {
        if (p->name() == name) return p.get();
    }
    return nullptr;
}

Status HostSession::QueryInterface(platform::InterfaceId iid, void** out) {
    // A part session is no assembly and the other way round.
    const platform::InterfaceId refused =
        isPart() ? host::IQDAssemblySession::iid : host::IQDPartSession::iid;
    if (out != nullptr && iid == refused) {
        *out = nullptr;
        return platform::kNoInterface;
    }
    return ImplementsDispatch::QueryInterface(iid, out);
}

// ---- IQDSession ----

Status HostSession::get_Kind(std::int32_t* kind) {
    if (failsAsPlanned("IQDSession::get_Kind")) return platform::kFail;
    if (kind == nullptr) return kInvalidPointer;
    *kind = isPart() ? host::kPartSessionKind : host::kAssemblySessionKind;
    return kOk;
}

Status HostSession::get_Name(host::AutoString* name) {
    if (failsAsPlanned("IQDSession::get_Name")) return platform::kFail;
    if (name == nullptr) return kInvalidPointer;
    *name = name_;
    return kOk;
}

Status HostSession::get_Selection(host::IQDSelection** selection) {
    if (failsAsPlanned("IQDSession::get_Selection")) return platform::kFail;
    return handOut(selection_, selection);
}

// ---- IQDDesignSession ----

Status HostSession::get_ModelUnits(std::int32_t* unit) {
    if (failsAsPlanned("IQDDesignSession::get_ModelUnits")) return platform::kFail;
    if (unit == nullptr) return kInvalidPointer;
    *unit = options_.modelUnit;
    return kOk;
}

Status HostSession::get_DisplayUnits(std::int32_t* unit) {
    if (failsAsPlanned("IQDDesignSession::get_DisplayUnits")) return platform::kFail;
    if (unit == nullptr) return kInvalidPointer;
    *unit = options_.displayUnit;
    return kOk;
}

Status HostSession::GetBoundingBox(host::Point3* low, host::Point3* high) {
    if (failsAsPlanned({"IQDDesignSession::GetBoundingBox", "IQDPartSession::GetBoundingBox"}))
        return platform::kFail;
    if (low == nullptr || high == nullptr) return kInvalidPointer;
    std::tie(*low, *high) = document_->boundingBox();
    return kOk;
}

Status HostSession::ExportStep(const host::AutoString& path, std::int32_t* result) {
    if (failsAsPlanned("IQDDesignSession::ExportStep")) return platform::kFail;
    if (result == nullptr) return kInvalidPointer;
    *result = document_->exportStep(path) ? 0 : 1;
    return kOk;
}

Status HostSession::get_DesignPointCount(std::int32_t* count) {
    if (failsAsPlanned("IQDDesignSession::get_DesignPointCount")) return platform::kFail;
    if (count == nullptr) return kInvalidPointer;
    *count = static_cast<std::int32_t>(points_.size());
    return kOk;
}

Status HostSession::GetDesignPoint(std::int32_t number, host::Point3* position) {
    if (failsAsPlanned("IQDDesignSession::GetDesignPoint")) return platform::kFail;
    if (position == nullptr) return kInvalidPointer;
    if (number < 1 || number > static_cast<std::int32_t>(points_.size())) return kFail;
    *position = points_[static_cast<std::size_t>(number - 1)]->position();
    return kOk;
}

Status HostSession::FindEntity(const host::KeyBytes& entityKey, host::IQDEntity** entity) {
    if (failsAsPlanned("IQDDesignSession::FindEntity")) return platform::kFail;
    if (entity == nullptr) return kInvalidPointer;
    *entity = nullptr;
    const auto ref = document_->findEntity(entityKey);
    if (!ref) return kFail;
    return handOut(makeEntity(document_, *ref, !isPart()), entity);
}

// ---- IQDPartSession ----

Status HostSession::GetBodies(host::IQDBodies** bodies) {
    if (failsAsPlanned("IQDPartSession::GetBodies")) return platform::kFail;
    return handOut(makeRef<HostBodies>(document_), bodies);
}

Status HostSession::GetTransformation(host::Transform* transform) {
    if (failsAsPlanned("IQDPartSession::GetTransformation")) return platform::kFail;
    if (transform == nullptr) return kInvalidPointer;
    *transform = options_.placement;
    return kOk;
}

Status HostSession::FindEntity(const host::KeyBytes& bodyKey, const host::KeyBytes& entityKey,
                               host::IQDEntity** entity) {
    if (failsAsPlanned("IQDPartSession::FindEntity")) return platform::kFail;
    if (entity == nullptr) return kInvalidPointer;
    *entity = nullptr;
    const auto body = document_->findBody(bodyKey);
    if (!body) return kFail;
    const auto ref = document_->findEntity(entityKey, *body);
    if (!ref) return kFail;
    return handOut(makeEntity(document_, *ref), entity);
}

// ---- IQDAssemblySession ----

Status HostSession::get_ComponentCount(std::int32_t* count) {
    if (failsAsPlanned("IQDAssemblySession::get_ComponentCount")) return platform::kFail;
    if (count == nullptr) return kInvalidPointer;
    *count = document_->bodyCount();
    return kOk;
}

}  // namespace hostapp
