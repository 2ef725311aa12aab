#pragma once
// A document open in the fake host. A part session (kind 2) offers IQDPartSession and
// IQDDesignSession; an assembly session offers IQDAssemblySession and IQDDesignSession.
#include <optional>
#include <string>
#include <vector>

#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"
#include "support/fake_geometry.h"
#include "support/fake_object.h"
#include "support/fake_points.h"
#include "support/fake_selection.h"

namespace testhost {

class FakeSession : public FakeDispatch<host::IQDSession, host::IQDPartSession, host::IQDAssemblySession,
                                        host::IQDDesignSession> {
  public:
    FakeSession(std::shared_ptr<HostState> state, std::string name, bool part);

    const std::string& name() const { return name_; }

    FakeSession& setUnits(std::int32_t model, std::int32_t display);
    // Without an explicit box, the box holds every vertex and entity corner of the bodies
    // (zero when there are none).
    FakeSession& setBoundingBox(Point3 low, Point3 high);
    FakeSession& setTransformation(const host::Transform& transform);

    // Geometry.
    FakeBody& addBody() { return bodies_->add(); }
    FakeBody& body(std::size_t i) const { return bodies_->at(i); }
    std::size_t bodyCount() const { return bodies_->size(); }

    // Design points, numbered from 1 in the order added.
    FakeDesignPoint& addDesignPoint(Point3 position);
    FakePlane& addPlane(std::string name, double a, double b, double c);

    FakeSelection& selection() const { return *selection_; }

    // STEP export: every path asked for, in order. The answer is `setExportResult`'s value (0 by
    // default); with 0 the fake writes a small STEP text to the path and answers 1 when that
    // fails.
    const std::vector<std::string>& exportedPaths() const { return exported_; }
    void setExportResult(std::int32_t result) { exportResult_ = result; }

    // IQDSession
    Status get_Kind(std::int32_t* kind) override { return answer("IQDSession::get_Kind", kind, kind_); }
    Status get_Name(host::AutoString* name) override { return answer("IQDSession::get_Name", name, name_); }
    Status get_Selection(host::IQDSelection** selection) override {
        return answerObject("IQDSession::get_Selection", selection_.get(), selection);
    }
    // IQDDesignSession
    Status get_ModelUnits(std::int32_t* unit) override {
        return answer("IQDDesignSession::get_ModelUnits", unit, modelUnit_);
    }
    Status get_DisplayUnits(std::int32_t* unit) override {
        return answer("IQDDesignSession::get_DisplayUnits", unit, displayUnit_);
    }
    // Shared by IQDPartSession and IQDDesignSession: either operation name makes it fail.
    Status GetBoundingBox(Point3* low, Point3* high) override;
    Status ExportStep(const host::AutoString& path, std::int32_t* result) override;
    Status get_DesignPointCount(std::int32_t* count) override {
        return answer("IQDDesignSession::get_DesignPointCount", count, static_cast<std::int32_t>(points_.size()));
    }
    Status GetDesignPoint(std::int32_t number, Point3* position) override;
    Status FindEntity(const KeyBytes& entityKey, host::IQDEntity** entity) override;
    // IQDPartSession
    Status GetBodies(host::IQDBodies** bodies) override {
        return answerObject("IQDPartSession::GetBodies", bodies_.get(), bodies);
    }
    Status GetTransformation(host::Transform* transform) override {
        return answer("IQDPartSession::GetTransformation", transform, transform_);
    }
    Status FindEntity(const KeyBytes& bodyKey, const KeyBytes& entityKey, host::IQDEntity** entity) override;
    // IQDAssemblySession: no components.
    Status get_ComponentCount(std::int32_t* count) override {
        return answer("IQDAssemblySession::get_ComponentCount", count, 0);
    }

  private:
    std::pair<Point3, Point3> modelBox() const;
    bool writeStepFile(const std::string& path) const;

    std::string name_;
    std::int32_t kind_;
    std::int32_t modelUnit_ = host::kUnitMm;
    std::int32_t displayUnit_ = host::kUnitMm;
    std::optional<std::pair<Point3, Point3>> box_;
    host::Transform transform_;
    platform::RefPtr<FakeBodies> bodies_;
    std::vector<platform::RefPtr<FakeDesignPoint>> points_;
    std::vector<platform::RefPtr<FakePlane>> planes_;
    platform::RefPtr<FakeSelection> selection_;
    std::vector<std::string> exported_;
    std::int32_t exportResult_ = 0;
};

}  // namespace testhost
