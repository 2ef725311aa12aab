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
    bool isPart() const { return part_; }
    // The session as the host hands it out (the object has several IUnknown bases).
    host::IQDSession* asSession() { return this; }
    // The kind code get_Kind answers (2 for parts, 3 for assemblies unless changed here); the
    // interfaces offered stay those of the session's sort.
    FakeSession& setKindCode(std::int32_t kind);

    FakeSession& setUnits(std::int32_t model, std::int32_t display);
    // Without an explicit box, the box holds every vertex and entity corner of the bodies
    // (zero when there are none).
    FakeSession& setBoundingBox(Point3 low, Point3 high);
    FakeSession& setTransformation(const host::Transform& transform);
    FakeSession& setComponentCount(std::int32_t count);

    // Geometry.
    FakeBody& addBody() { return bodies_->add(); }
    FakeBody& body(std::size_t i) const { return bodies_->at(i); }
    std::size_t bodyCount() const { return bodies_->size(); }
    // The list GetBodies hands out (to make it fail).
    FakeBodies& bodyList() const { return *bodies_; }
    // Number (from 1) of an entity counted over all bodies in order, as the solver input numbers
    // faces, edges and vertices: its position in its body plus the entities of its sort in the
    // earlier bodies. 0 when the entity is in no body of this session.
    int numberOf(const FakeFace& face) const;
    int numberOf(const FakeEdge& edge) const;
    int numberOf(const FakeVertex& vertex) const;

    // Design points, numbered from 1 in the order added.
    FakeDesignPoint& addDesignPoint(Point3 position);
    FakeDesignPoint& designPoint(std::int32_t number) const;
    FakePlane& addPlane(std::string name, double a, double b, double c);

    FakeSelection& selection() const { return *selection_; }

    // STEP export: every path asked for, in order. The answer is `setExportResult`'s value (0 by
    // default); with 0 the fake writes a small STEP text to the path and answers 1 when that
    // fails, unless file writing is switched off.
    const std::vector<std::string>& exportedPaths() const { return exported_; }
    void setExportResult(std::int32_t result) { exportResult_ = result; }
    void setWriteStepFiles(bool write) { writeStepFiles_ = write; }

    // IQDSession
    Status get_Kind(std::int32_t* kind) override;
    Status get_Name(host::AutoString* name) override;
    Status get_Selection(host::IQDSelection** selection) override;
    // IQDDesignSession
    Status get_ModelUnits(std::int32_t* unit) override;
    Status get_DisplayUnits(std::int32_t* unit) override;
    // Shared by IQDPartSession and IQDDesignSession: either operation name makes it fail.
    Status GetBoundingBox(Point3* low, Point3* high) override;
    Status ExportStep(const host::AutoString& path, std::int32_t* result) override;
    Status get_DesignPointCount(std::int32_t* count) override;
    Status GetDesignPoint(std::int32_t number, Point3* position) override;
    Status FindEntity(const KeyBytes& entityKey, host::IQDEntity** entity) override;
    // IQDPartSession
    Status GetBodies(host::IQDBodies** bodies) override;
    Status GetTransformation(host::Transform* transform) override;
    Status FindEntity(const KeyBytes& bodyKey, const KeyBytes& entityKey, host::IQDEntity** entity) override;
    // IQDAssemblySession
    Status get_ComponentCount(std::int32_t* count) override;

  private:
    std::pair<Point3, Point3> modelBox() const;
    bool writeStepFile(const std::string& path) const;
    template <typename Entity>
    int countedNumber(const Entity& entity, Entity& (FakeBody::*at)(std::size_t) const,
                      std::size_t (FakeBody::*count)() const) const;

    std::string name_;
    bool part_;
    std::int32_t kind_;
    std::int32_t modelUnit_ = host::kUnitMm;
    std::int32_t displayUnit_ = host::kUnitMm;
    std::optional<std::pair<Point3, Point3>> box_;
    host::Transform transform_;
    std::int32_t componentCount_ = 0;
    platform::RefPtr<FakeBodies> bodies_;
    std::vector<platform::RefPtr<FakeDesignPoint>> points_;
    std::vector<platform::RefPtr<FakePlane>> planes_;
    platform::RefPtr<FakeSelection> selection_;
    std::vector<std::string> exported_;
    std::int32_t exportResult_ = 0;
    bool writeStepFiles_ = true;
};

}  // namespace testhost
