#pragma once
// The host CAD application's automation objects as the add-on sees them. Every operation returns a
// status (negative = failure); results come back through out parameters, interfaces with one
// reference owned by the caller.
#include <cstdint>

#include "host/geometry.h"
#include "platform/automation.h"
#include "platform/unknown.h"

namespace host {

using platform::AutoString;
using platform::IDispatch;
using platform::IUnknown;
using platform::Status;
using platform::Variant;
using platform::VariantBool;

class IQDSessions;
class IQDSession;
class IQDSelection;
class IQDBodies;
class IQDBody;
class IQDEntities;
class IQDEntity;
class IQuarnelAddOnCommand;

// The object handed to AddOnLoad; its first own operation gives the host's root object.
class IQDAddOnHook : public IUnknown {
  public:
    KOLVANE_INTERFACE_ID(IQDAddOnHook);
    using Base = IUnknown;
    virtual Status GetRoot(IUnknown** root) = 0;
};

class IQDRoot : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDRoot);
    using Base = IDispatch;
    virtual Status get_Sessions(IQDSessions** sessions) = 0;
};

// The host's status bar, offered by the root object of a host that has one: the add-on shows the
// progress and the end of the programs it runs there.
class IQDStatusBar : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDStatusBar);
    using Base = IDispatch;
    virtual Status SetStatusText(const AutoString& text) = 0;
};

class IQDSessions : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDSessions);
    using Base = IDispatch;
    virtual Status get_Count(std::int32_t* count) = 0;
    // The session whose name is the string variant `name`.
    virtual Status Item(const Variant& name, IQDSession** session) = 0;
};

// A document open in the host. Query it for IQDPartSession, IQDAssemblySession, IQDDesignSession.
class IQDSession : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDSession);
    using Base = IDispatch;
    virtual Status get_Kind(std::int32_t* kind) = 0;  // kPartSessionKind or another code
    virtual Status get_Name(AutoString* name) = 0;
    virtual Status get_Selection(IQDSelection** selection) = 0;
};

// What part and assembly documents share: units, model box, design points, STEP export, and the
// lookup of an entity by its persistent key.
class IQDDesignSession : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDDesignSession);
    using Base = IDispatch;
    virtual Status get_ModelUnits(std::int32_t* unit) = 0;
    virtual Status get_DisplayUnits(std::int32_t* unit) = 0;
    virtual Status GetBoundingBox(Point3* low, Point3* high) = 0;
    // Writes the document to `path`; `result` 0 is success.
    virtual Status ExportStep(const AutoString& path, std::int32_t* result) = 0;
    virtual Status get_DesignPointCount(std::int32_t* count) = 0;
    // Design point number `number`, counted from 1.
    virtual Status GetDesignPoint(std::int32_t number, Point3* position) = 0;
    // The entity with this persistent key (assembly documents find entities this way).
    virtual Status FindEntity(const KeyBytes& entityKey, IQDEntity** entity) = 0;
};

class IQDPartSession : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDPartSession);
    using Base = IDispatch;
    virtual Status GetBodies(IQDBodies** bodies) = 0;
    virtual Status GetBoundingBox(Point3* low, Point3* high) = 0;
    // The transformation of the part into the view's space.
    virtual Status GetTransformation(Transform* transform) = 0;
    // The entity with `entityKey` in the body with `bodyKey`.
    virtual Status FindEntity(const KeyBytes& bodyKey, const KeyBytes& entityKey, IQDEntity** entity) = 0;
};

class IQDAssemblySession : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDAssemblySession);
    using Base = IDispatch;
    virtual Status get_ComponentCount(std::int32_t* count) = 0;
};

class IQDBodies : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDBodies);
    using Base = IDispatch;
    virtual Status get_Count(std::int32_t* count) = 0;
    virtual Status Item(std::int32_t index, IQDBody** body) = 0;  // index from 0
};

class IQDBody : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDBody);
    using Base = IDispatch;
    virtual Status get_Key(KeyBytes* key) = 0;
    virtual Status get_Faces(IQDEntities** faces) = 0;
    virtual Status get_Edges(IQDEntities** edges) = 0;
    virtual Status get_Vertices(IQDEntities** vertices) = 0;
};

class IQDEntities : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDEntities);
    using Base = IDispatch;
    virtual Status get_Count(std::int32_t* count) = 0;
    virtual Status Item(std::int32_t index, IQDEntity** entity) = 0;  // index from 0
};

// A face, edge or vertex of a body. Query it for IQDFace, IQDEdge or IQDVertex.
class IQDEntity : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDEntity);
    using Base = IDispatch;
    virtual Status get_Key(KeyBytes* key) = 0;
    virtual Status get_Body(IQDBody** body) = 0;
    // Two opposite corners of the entity's box (a vertex gives its position twice).
    virtual Status GetCorners(Point3* low, Point3* high) = 0;
};

class IQDFace : public IQDEntity {
  public:
    KOLVANE_INTERFACE_ID(IQDFace);
    using Base = IQDEntity;
    virtual Status get_SurfaceKind(std::int32_t* kind) = 0;
    // A point of the surface's axis and its direction (kinds with an axis only).
    virtual Status GetAxis(Point3* origin, Point3* direction) = 0;
};

class IQDEdge : public IQDEntity {
  public:
    KOLVANE_INTERFACE_ID(IQDEdge);
    using Base = IQDEntity;
    // The faces that meet at the edge (two on a closed solid; one on a sheet's border).
    virtual Status get_Faces(IQDEntities** faces) = 0;
};

class IQDVertex : public IQDEntity {
  public:
    KOLVANE_INTERFACE_ID(IQDVertex);
    using Base = IQDEntity;
    virtual Status GetPoint(Point3* position) = 0;
};

// A design point of the document, numbered from 1.
class IQDDesignPoint : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDDesignPoint);
    using Base = IDispatch;
    virtual Status get_Number(std::int32_t* number) = 0;
    virtual Status GetPoint(Point3* position) = 0;
};

// The three floating-point components of a plane.
class IQDPlaneValues : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDPlaneValues);
    using Base = IDispatch;
    virtual Status get_A(double* a) = 0;
    virtual Status get_B(double* b) = 0;
    virtual Status get_C(double* c) = 0;
};

// A reference plane of the document.
class IQDPlane : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDPlane);
    using Base = IDispatch;
    virtual Status get_Name(AutoString* name) = 0;
    virtual Status get_Values(IQDPlaneValues** values) = 0;
};

// One object the user picked.
class IQDPickedObject : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDPickedObject);
    using Base = IDispatch;
    // The geometric object: query it for IQDFace, IQDEdge, IQDVertex, IQDDesignPoint or IQDPlane.
    virtual Status get_Object(IUnknown** object) = 0;
};

class IQDSelection : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDSelection);
    using Base = IDispatch;
    // The number of picked objects; `filter` is the asking command's code (the host may prompt).
    virtual Status get_Count(std::int32_t filter, std::int32_t* count) = 0;
    virtual Status Item(std::int32_t index, IQDPickedObject** picked) = 0;  // index from 0
    virtual Status Reset() = 0;
    // Gives the selection back to the session once the command is done with it.
    virtual Status HandBack() = 0;
};

// The host's side of a running command.
class IQDCommandSite : public IDispatch {
  public:
    KOLVANE_INTERFACE_ID(IQDCommandSite);
    using Base = IDispatch;
    // View position in pixels of a model point.
    virtual Status ProjectPoint(const Point3& point, double* x, double* y) = 0;
    virtual Status Redraw(VariantBool now) = 0;
    virtual Status EndCommand() = 0;
    // Called with false before a command ends: the command stops taking picks.
    virtual Status SetPicking(VariantBool enable) = 0;
    // Called before a command ends: the host clears what the command showed in its status area.
    virtual Status ClearStatus() = 0;
    // The view's 3-D render device (`which` 0); the caller releases it.
    virtual Status GetRenderDevice(std::int32_t which, IUnknown** device) = 0;
    // One of the view's options (the contours command sets two of them to -1).
    virtual Status SetOption(std::int32_t option, std::int32_t value) = 0;
    // Hands a further command to the host, which runs it beside this one and gives it its own site.
    virtual Status StartCommand(IQuarnelAddOnCommand* command) = 0;
};

}  // namespace host
