#pragma once
// A document open in the host as a part session (kind 2: IQDPartSession) or an assembly session
// (IQDAssemblySession); both offer IQDDesignSession. Besides the geometry it holds the design
// points, the reference planes (XY, YZ and ZX, plus named ones), the units and the selection.
#include <string>
#include <vector>

#include "documents/host_geometry.h"
#include "documents/host_points.h"
#include "documents/host_selection.h"
#include "host/host_interfaces.h"
#include "platform/ref_ptr.h"

namespace hostapp {

struct SessionOptions {
    bool assembly = false;
    std::int32_t modelUnit = host::kUnitMm;
    std::int32_t displayUnit = host::kUnitMm;
    host::Transform placement{};  // where the part sits; by default where its file puts it
};

class HostSession : public platform::ImplementsDispatch<host::IQDSession, host::IQDPartSession,
                                                        host::IQDAssemblySession, host::IQDDesignSession> {
  public:
    HostSession(std::string name, DocumentPtr document, SessionOptions options);

    const std::string& name() const { return name_; }
    const OcctDocument& document() const { return *document_; }
    const DocumentPtr& documentPtr() const { return document_; }
    bool isPart() const { return !options_.assembly; }
    const SessionOptions& options() const { return options_; }
    HostSelection& selection() const { return *selection_; }

    HostDesignPoint& addDesignPoint(host::Point3 position);
    // Adds a named plane, or changes the components of the plane of that name.
    HostPlane& addPlane(const std::string& name, double a, double b, double c);
    const std::vector<platform::RefPtr<HostDesignPoint>>& designPoints() const { return points_; }
    HostPlane* plane(const std::string& name) const;
    const std::vector<platform::RefPtr<HostPlane>>& planes() const { return planes_; }

    platform::Status QueryInterface(platform::InterfaceId iid, void** out) override;

    // IQDSession
    platform::Status get_Kind(std::int32_t* kind) override;
    platform::Status get_Name(host::AutoString* name) override;
    platform::Status get_Selection(host::IQDSelection** selection) override;
    // IQDDesignSession
    platform::Status get_ModelUnits(std::int32_t* unit) override;
    platform::Status get_DisplayUnits(std::int32_t* unit) override;
    platform::Status GetBoundingBox(host::Point3* low, host::Point3* high) override;
    platform::Status ExportStep(const host::AutoString& path, std::int32_t* result) override;
    platform::Status get_DesignPointCount(std::int32_t* count) override;
    platform::Status GetDesignPoint(std::int32_t number, host::Point3* position) override;
    platform::Status FindEntity(const host::KeyBytes& entityKey, host::IQDEntity** entity) override;
    // IQDPartSession
    platform::Status GetBodies(host::IQDBodies** bodies) override;
    platform::Status GetTransformation(host::Transform* transform) override;
    platform::Status FindEntity(const host::KeyBytes& bodyKey, const host::KeyBytes& entityKey,
                                host::IQDEntity** entity) override;
    // IQDAssemblySession
    platform::Status get_ComponentCount(std::int32_t* count) override;

  private:
    std::string name_;
    DocumentPtr document_;
    SessionOptions options_;
    std::vector<platform::RefPtr<HostDesignPoint>> points_;
    std::vector<platform::RefPtr<HostPlane>> planes_;
    platform::RefPtr<HostSelection> selection_;
};

}  // namespace hostapp
