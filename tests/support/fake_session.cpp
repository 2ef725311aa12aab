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

// ---- IQDDesignSession ----

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

}  // namespace testhost
