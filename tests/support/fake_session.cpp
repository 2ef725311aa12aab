#include "support/fake_session.h"

#include <fstream>
#include <tuple>

namespace testhost {

using platform::kFail;
using platform::kInvalidPointer;
using platform::kOk;

FakeSession::FakeSession(std::shared_ptr<HostState> state, std::string name, bool part)
    : Fake(std::move(state)),
      name_(std::move(name)),
      kind_(part ? host::kPartSessionKind : host::kAssemblySessionKind),
      bodies_(platform::makeRef<FakeBodies>(sharedState())),
      selection_(platform::makeRef<FakeSelection>(sharedState())) {
    refuseInterface(std::string(part ? host::IQDAssemblySession::iid.name : host::IQDPartSession::iid.name));
}

FakeSession& FakeSession::setUnits(std::int32_t model, std::int32_t display) {
    modelUnit_ = model;
    displayUnit_ = display;
    return *this;
}

FakeSession& FakeSession::setBoundingBox(Point3 low, Point3 high) {
    box_ = {low, high};
    return *this;
}

FakeSession& FakeSession::setTransformation(const host::Transform& transform) {
    transform_ = transform;
    return *this;
}

FakeDesignPoint& FakeSession::addDesignPoint(Point3 position) {
    const auto number = static_cast<std::int32_t>(points_.size() + 1);
    points_.push_back(platform::makeRef<FakeDesignPoint>(sharedState(), number, position));
    return *points_.back();
}

FakePlane& FakeSession::addPlane(std::string name, double a, double b, double c) {
    planes_.push_back(platform::makeRef<FakePlane>(sharedState(), std::move(name), a, b, c));
    return *planes_.back();
}

std::pair<Point3, Point3> FakeSession::modelBox() const {
    if (box_) return *box_;
    bool any = false;
    Point3 low, high;
    auto take = [&](const auto& entity) {
        if (!any) {
            low = entity.low();
            high = entity.high();
            any = true;
        }
        widenBox(low, high, entity.low());
        widenBox(low, high, entity.high());
    };
    for (std::size_t b = 0; b < bodies_->size(); ++b) {
        const FakeBody& body = bodies_->at(b);
        for (std::size_t i = 0; i < body.faceCount(); ++i) take(body.face(i));
        for (std::size_t i = 0; i < body.edgeCount(); ++i) take(body.edge(i));
        for (std::size_t i = 0; i < body.vertexCount(); ++i) take(body.vertex(i));
    }
    return {low, high};
}

bool FakeSession::writeStepFile(const std::string& path) const {
    std::ofstream out(path, std::ios::trunc);
    out << "ISO-10303-21;\nHEADER;\nFILE_NAME('" << name_
        << "');\nENDSEC;\nDATA;\nENDSEC;\nEND-ISO-10303-21;\n";
    out.close();
    return !out.fail();
}

// ---- IQDSession ----

Status FakeSession::get_Kind(std::int32_t* kind) {
    if (const Status s = gate("IQDSession::get_Kind"); platform::failed(s)) return s;
    if (kind == nullptr) return kInvalidPointer;
    *kind = kind_;
    return kOk;
}

Status FakeSession::get_Name(host::AutoString* name) {
    if (const Status s = gate("IQDSession::get_Name"); platform::failed(s)) return s;
    if (name == nullptr) return kInvalidPointer;
    *name = name_;
    return kOk;
}

Status FakeSession::get_Selection(host::IQDSelection** selection) {
    if (selection != nullptr) *selection = nullptr;
    if (const Status s = gate("IQDSession::get_Selection"); platform::failed(s)) return s;
    return handOut(selection_.get(), selection);
}

// ---- IQDDesignSession ----

Status FakeSession::get_ModelUnits(std::int32_t* unit) {
    if (const Status s = gate("IQDDesignSession::get_ModelUnits"); platform::failed(s)) return s;
    if (unit == nullptr) return kInvalidPointer;
    *unit = modelUnit_;
    return kOk;
}

Status FakeSession::get_DisplayUnits(std::int32_t* unit) {
    if (const Status s = gate("IQDDesignSession::get_DisplayUnits"); platform::failed(s)) return s;
    if (unit == nullptr) return kInvalidPointer;
    *unit = displayUnit_;
    return kOk;
}

Status FakeSession::GetBoundingBox(Point3* low, Point3* high) {
    const Status s = gate({"IQDDesignSession::GetBoundingBox", "IQDPartSession::GetBoundingBox"});
    if (platform::failed(s)) return s;
    if (low == nullptr || high == nullptr) return kInvalidPointer;
    std::tie(*low, *high) = modelBox();
    return kOk;
}

Status FakeSession::ExportStep(const host::AutoString& path, std::int32_t* result) {
    if (const Status s = gate("IQDDesignSession::ExportStep"); platform::failed(s)) return s;
    if (result == nullptr) return kInvalidPointer;
    exported_.push_back(path);
    *result = exportResult_;
    if (exportResult_ == 0 && !writeStepFile(path)) *result = 1;
    return kOk;
}

Status FakeSession::get_DesignPointCount(std::int32_t* count) {
    if (const Status s = gate("IQDDesignSession::get_DesignPointCount"); platform::failed(s)) return s;
    if (count == nullptr) return kInvalidPointer;
    *count = static_cast<std::int32_t>(points_.size());
    return kOk;
}

Status FakeSession::GetDesignPoint(std::int32_t number, Point3* position) {
    if (const Status s = gate("IQDDesignSession::GetDesignPoint"); platform::failed(s)) return s;
    if (position == nullptr) return kInvalidPointer;
    if (number < 1 || static_cast<std::size_t>(number) > points_.size()) return kFail;
    *position = points_[static_cast<std::size_t>(number - 1)]->position();
    return kOk;
}

Status FakeSession::FindEntity(const KeyBytes& entityKey, host::IQDEntity** entity) {
    if (entity != nullptr) *entity = nullptr;
    if (const Status s = gate("IQDDesignSession::FindEntity"); platform::failed(s)) return s;
    for (std::size_t b = 0; b < bodies_->size(); ++b) {
        if (host::IQDEntity* found = bodies_->at(b).findEntity(entityKey)) return handOut(found, entity);
    }
    return kFail;
}

// ---- IQDPartSession ----

Status FakeSession::GetBodies(host::IQDBodies** bodies) {
    if (bodies != nullptr) *bodies = nullptr;
    if (const Status s = gate("IQDPartSession::GetBodies"); platform::failed(s)) return s;
    return handOut(bodies_.get(), bodies);
}

Status FakeSession::GetTransformation(host::Transform* transform) {
    if (const Status s = gate("IQDPartSession::GetTransformation"); platform::failed(s)) return s;
    if (transform == nullptr) return kInvalidPointer;
    *transform = transform_;
    return kOk;
}

Status FakeSession::FindEntity(const KeyBytes& bodyKey, const KeyBytes& entityKey, host::IQDEntity** entity) {
    if (entity != nullptr) *entity = nullptr;
    if (const Status s = gate("IQDPartSession::FindEntity"); platform::failed(s)) return s;
    for (std::size_t b = 0; b < bodies_->size(); ++b) {
        const FakeBody& body = bodies_->at(b);
        if (body.key() != bodyKey) continue;
        if (host::IQDEntity* found = body.findEntity(entityKey)) return handOut(found, entity);
    }
    return kFail;
}

// ---- IQDAssemblySession ----

Status FakeSession::get_ComponentCount(std::int32_t* count) {
    if (const Status s = gate("IQDAssemblySession::get_ComponentCount"); platform::failed(s)) return s;
    if (count == nullptr) return kInvalidPointer;
    *count = 0;
    return kOk;
}

}  // namespace testhost
