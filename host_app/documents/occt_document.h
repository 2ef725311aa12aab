#pragma once
// A CAD document on OpenCASCADE: the shape read from a STEP or BREP file, split into bodies (one
// per solid), with each body's faces, edges and vertices numbered in OpenCASCADE's indexed order
// (TopExp::MapShapes per body) and a persistent key for every body and entity.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>

#include "host/geometry.h"

namespace hostapp {

class DocumentError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class EntityType { Face, Edge, Vertex };

// An entity of a document: its body and its position among the body's entities of its type,
// both counted from 0.
struct EntityRef {
    int body = 0;
    EntityType type = EntityType::Face;
    int index = 0;
    friend bool operator==(const EntityRef&, const EntityRef&) = default;
};

// A face's surface kind in the host's codes, with the axis of the kinds that have one.
struct SurfaceInfo {
    std::int32_t kind = host::kSurfaceOther;
    std::optional<std::pair<host::Point3, host::Point3>> axis;  // a point of the axis, its unit direction
};

class OcctDocument {
  public:
    // Reads a STEP (.step, .stp) or BREP (.brep, .brp) file. STEP coordinates are converted to
    // `unit`; BREP files carry no unit and are taken as they are. Throws DocumentError.
    static std::shared_ptr<OcctDocument> open(const std::string& path, std::int32_t unit = host::kUnitMm);
    // A document of a shape built in memory.
    OcctDocument(TopoDS_Shape shape, std::int32_t unit = host::kUnitMm);

    const TopoDS_Shape& shape() const { return shape_; }
    std::int32_t unit() const { return unit_; }

    int bodyCount() const { return static_cast<int>(bodies_.size()); }
    int count(int body, EntityType type) const;
    // Entities of `type` over all bodies.
    int totalCount(EntityType type) const;
    const TopoDS_Shape& solid(int body) const { return bodies_.at(body).solid; }
    const TopoDS_Shape& entity(const EntityRef& ref) const;

    // Numbering over the whole part, from 1: an entity's position in its body plus the entities
    // of its type in the earlier bodies.
    int globalNumber(const EntityRef& ref) const;
    std::optional<EntityRef> fromGlobalNumber(EntityType type, int number) const;

    const host::KeyBytes& bodyKey(int body) const { return bodies_.at(body).key; }
    const host::KeyBytes& entityKey(const EntityRef& ref) const;
    std::optional<int> findBody(const host::KeyBytes& key) const;
    // The entity with `key` in `body`, or in any body when `body` is not given.
    std::optional<EntityRef> findEntity(const host::KeyBytes& key,
                                        std::optional<int> body = std::nullopt) const;

    // The smallest box holding the whole model; zero when the model is empty.
    std::pair<host::Point3, host::Point3> boundingBox() const;
    // Two opposite corners of an entity's box; a vertex gives its position twice.
    std::pair<host::Point3, host::Point3> corners(const EntityRef& ref) const;
    host::Point3 vertexPoint(const EntityRef& ref) const;
    SurfaceInfo surface(const EntityRef& face) const;
    // The faces of the edge's body that hold the edge, each once, in the body's face order.
    std::vector<EntityRef> edgeFaces(const EntityRef& edge) const;

    // Writes the whole model as STEP, in the document's unit. False when it cannot be written.
    bool exportStep(const std::string& path) const;

  private:
    struct Body {
        TopoDS_Shape solid;
        TopTools_IndexedMapOfShape faces, edges, vertices;
        host::KeyBytes key;
        std::vector<host::KeyBytes> faceKeys, edgeKeys, vertexKeys;
    };

    const TopTools_IndexedMapOfShape& map(const Body& body, EntityType type) const;
    const std::vector<host::KeyBytes>& keys(const Body& body, EntityType type) const;
    void splitBodies();
    void makeKeys();
    void checkRef(const EntityRef& ref) const;

    TopoDS_Shape shape_;
    std::int32_t unit_;
    std::vector<Body> bodies_;
};

// OpenCASCADE's name of a length unit code ("MM", "CM", "M", "INCH", "FT").
const char* occtUnitName(std::int32_t unit);

// Silences OpenCASCADE's console messages (reader and writer statistics).
void silenceOcctMessages();

}  // namespace hostapp
