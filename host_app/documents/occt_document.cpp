#include "documents/occt_document.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <STEPControl_Reader.hxx>
#include <STEPControl_Writer.hxx>
#include <Standard_Failure.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopoDS.hxx>

#include "documents/entity_signature.h"

namespace hostapp {

using host::Point3;

namespace {

Point3 toPoint(const gp_Pnt& p) {
    return {p.X(), p.Y(), p.Z()};
}
Point3 toPoint(const gp_Dir& d) {
    return {d.X(), d.Y(), d.Z()};
}

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

std::pair<Point3, Point3> tightBox(const TopoDS_Shape& shape) {
    Bnd_Box box;
    // Without triangulation and without the shape's tolerance: the box of the geometry itself.
    BRepBndLib::AddOptimal(shape, box, false, false);
    if (box.IsVoid()) return {};
    double x0, y0, z0, x1, y1, z1;
    box.Get(x0, y0, z0, x1, y1, z1);
    return {{x0, y0, z0}, {x1, y1, z1}};
}

double diagonal(const std::pair<Point3, Point3>& box) {
    const double dx = box.second.x - box.first.x, dy = box.second.y - box.first.y,
                 dz = box.second.z - box.first.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void addBox(Signature& s, const TopoDS_Shape& shape) {
    const auto box = tightBox(shape);
    s.add(box.first).add(box.second);
}

std::uint64_t solidHash(const TopoDS_Shape& solid, double quantum) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(solid, props);
    Signature s(quantum);
    s.add(std::int64_t{'B'}).add(props.Mass()).add(toPoint(props.CentreOfMass()));
    addBox(s, solid);
    return s.hash();
}

std::uint64_t faceHash(const TopoDS_Face& face, double quantum) {
    GProp_GProps props;
    BRepGProp::SurfaceProperties(face, props);
    Signature s(quantum);
    s.add(std::int64_t{'F'}).add(static_cast<std::int64_t>(BRepAdaptor_Surface(face).GetType()));
    s.add(props.Mass()).add(toPoint(props.CentreOfMass()));
    addBox(s, face);
    return s.hash();
}

std::uint64_t edgeHash(const TopoDS_Edge& edge, double quantum) {
    Signature s(quantum);
    s.add(std::int64_t{'E'});
    if (BRep_Tool::Degenerated(edge)) {
        // A degenerated edge (a cone's apex) has no 3-D curve; its vertex is all there is.
        s.add(std::int64_t{-1}).add(toPoint(BRep_Tool::Pnt(TopExp::FirstVertex(edge))));
        return s.hash();
    }
    GProp_GProps props;
    BRepGProp::LinearProperties(edge, props);
    s.add(static_cast<std::int64_t>(BRepAdaptor_Curve(edge).GetType()));
    s.add(props.Mass()).add(toPoint(props.CentreOfMass()));
    addBox(s, edge);
    return s.hash();
}

std::uint64_t vertexHash(const TopoDS_Vertex& vertex, double quantum) {
    Signature s(quantum);
    s.add(std::int64_t{'V'}).add(toPoint(BRep_Tool::Pnt(vertex)));
    return s.hash();
}

TopoDS_Shape readStep(const std::string& path, std::int32_t unit) {
    STEPControl_Reader reader;
    Interface_Static::SetCVal("xstep.cascade.unit", occtUnitName(unit));
    if (reader.ReadFile(path.c_str()) != IFSelect_RetDone)
        throw DocumentError("cannot read STEP file " + path);
    if (reader.TransferRoots() == 0) throw DocumentError("no shape in STEP file " + path);
    return reader.OneShape();
}

TopoDS_Shape readBrep(const std::string& path) {
    TopoDS_Shape shape;
    BRep_Builder builder;
    if (!BRepTools::Read(shape, path.c_str(), builder)) throw DocumentError("cannot read BREP file " + path);
    return shape;
}

}  // namespace

const char* occtUnitName(std::int32_t unit) {
    switch (unit) {
        case host::kUnitCm:
            return "CM";
        case host::kUnitM:
            return "M";
        case host::kUnitIn:
            return "INCH";
        case host::kUnitFt:
            return "FT";
        default:
            return "MM";
    }
}

void silenceOcctMessages() {
    Message::DefaultMessenger()->ChangePrinters().Clear();
}

std::shared_ptr<OcctDocument> OcctDocument::open(const std::string& path, std::int32_t unit) {
    if (!std::filesystem::is_regular_file(path)) throw DocumentError("no such file: " + path);
    const std::string ext = lowerExtension(path);
    try {
        if (ext == ".step" || ext == ".stp")
            return std::make_shared<OcctDocument>(readStep(path, unit), unit);
        if (ext == ".brep" || ext == ".brp") return std::make_shared<OcctDocument>(readBrep(path), unit);
    } catch (const Standard_Failure& failure) {
        throw DocumentError("cannot read " + path + ": " + failure.GetMessageString());
    }
    throw DocumentError("not a STEP or BREP file: " + path);
}

OcctDocument::OcctDocument(TopoDS_Shape shape, std::int32_t unit) : shape_(std::move(shape)), unit_(unit) {
    splitBodies();
    makeKeys();
}

void OcctDocument::splitBodies() {
    TopTools_IndexedMapOfShape solids;
    TopExp::MapShapes(shape_, TopAbs_SOLID, solids);
    std::vector<TopoDS_Shape> parts;
    for (int i = 1; i <= solids.Extent(); ++i) parts.push_back(solids(i));
    // A file of faces only (a sheet) still makes one body, so that its faces can be picked.
    if (parts.empty() && !shape_.IsNull()) {
        TopTools_IndexedMapOfShape faces;
        TopExp::MapShapes(shape_, TopAbs_FACE, faces);
        if (faces.Extent() > 0) parts.push_back(shape_);
    }
    for (auto& part : parts) {
        Body body;
        body.solid = part;
        TopExp::MapShapes(part, TopAbs_FACE, body.faces);
        TopExp::MapShapes(part, TopAbs_EDGE, body.edges);
        TopExp::MapShapes(part, TopAbs_VERTEX, body.vertices);
        bodies_.push_back(std::move(body));
    }
}

void OcctDocument::makeKeys() {
    const double quantum = 1e-6 * std::max(1.0, diagonal(boundingBox()));
    OccurrenceCounter bodyOccurrences;
    for (auto& body : bodies_) {
        std::uint64_t bodyHash = solidHash(body.solid, quantum);
        const int occurrence = bodyOccurrences.next(bodyHash);
        body.key = makeBodyKey(bodyHash, occurrence);
        // Twin bodies differ only by their occurrence; their entities must differ as well.
        if (occurrence > 0)
            bodyHash = Signature(quantum)
                           .add(static_cast<std::int64_t>(bodyHash))
                           .add(std::int64_t{occurrence})
                           .hash();
        OccurrenceCounter occurrences;
        auto keyOf = [&](char letter, std::uint64_t hash) {
            return makeEntityKey(letter, bodyHash, hash, occurrences.next(hash));
        };
        for (int i = 1; i <= body.faces.Extent(); ++i)
            body.faceKeys.push_back(keyOf('F', faceHash(TopoDS::Face(body.faces(i)), quantum)));
        for (int i = 1; i <= body.edges.Extent(); ++i)
            body.edgeKeys.push_back(keyOf('E', edgeHash(TopoDS::Edge(body.edges(i)), quantum)));
        for (int i = 1; i <= body.vertices.Extent(); ++i)
            body.vertexKeys.push_back(keyOf('V', vertexHash(TopoDS::Vertex(body.vertices(i)), quantum)));
    }
}

const TopTools_IndexedMapOfShape& OcctDocument::map(const Body& body, EntityType type) const {
    switch (type) {
        case EntityType::Face:
            return body.faces;
        case EntityType::Edge:
            return body.edges;
        default:
            return body.vertices;
    }
}

const std::vector<host::KeyBytes>& OcctDocument::keys(const Body& body, EntityType type) const {
    switch (type) {
        case EntityType::Face:
            return body.faceKeys;
        case EntityType::Edge:
            return body.edgeKeys;
        default:
            return body.vertexKeys;
    }
}

void OcctDocument::checkRef(const EntityRef& ref) const {
    if (ref.body < 0 || ref.body >= bodyCount() || ref.index < 0 || ref.index >= count(ref.body, ref.type))
        throw DocumentError("no such entity");
}

int OcctDocument::count(int body, EntityType type) const {
    return map(bodies_.at(body), type).Extent();
}

int OcctDocument::totalCount(EntityType type) const {
    int total = 0;
    for (int b = 0; b < bodyCount(); ++b) total += count(b, type);
    return total;
}

const TopoDS_Shape& OcctDocument::entity(const EntityRef& ref) const {
    checkRef(ref);
    return map(bodies_[ref.body], ref.type)(ref.index + 1);
}

int OcctDocument::globalNumber(const EntityRef& ref) const {
    checkRef(ref);
    int earlier = 0;
    for (int b = 0; b < ref.body; ++b) earlier += count(b, ref.type);
    return earlier + ref.index + 1;
}

std::optional<EntityRef> OcctDocument::fromGlobalNumber(EntityType type, int number) const {
    if (number < 1) return std::nullopt;
    int left = number - 1;
    for (int b = 0; b < bodyCount(); ++b) {
        if (left < count(b, type)) return EntityRef{b, type, left};
        left -= count(b, type);
    }
    return std::nullopt;
}

const host::KeyBytes& OcctDocument::entityKey(const EntityRef& ref) const {
    checkRef(ref);
    return keys(bodies_[ref.body], ref.type)[ref.index];
}

std::optional<int> OcctDocument::findBody(const host::KeyBytes& key) const {
    for (int b = 0; b < bodyCount(); ++b) {
        if (bodies_[b].key == key) return b;
    }
    return std::nullopt;
}

std::optional<EntityRef> OcctDocument::findEntity(const host::KeyBytes& key, std::optional<int> body) const {
    if (key.empty()) return std::nullopt;
    EntityType type;
    switch (key[0]) {
        case 'F':
            type = EntityType::Face;
            break;
        case 'E':
            type = EntityType::Edge;
            break;
        case 'V':
            type = EntityType::Vertex;
            break;
        default:
            return std::nullopt;
    }
    for (int b = 0; b < bodyCount(); ++b) {
        if (body && *body != b) continue;
        const auto& list = keys(bodies_[b], type);
        auto it = std::find(list.begin(), list.end(), key);
        if (it != list.end()) return EntityRef{b, type, static_cast<int>(it - list.begin())};
    }
    return std::nullopt;
}

std::pair<Point3, Point3> OcctDocument::boundingBox() const {
    if (shape_.IsNull()) return {};
    return tightBox(shape_);
}

std::pair<Point3, Point3> OcctDocument::corners(const EntityRef& ref) const {
    if (ref.type == EntityType::Vertex) {
        const Point3 p = vertexPoint(ref);
        return {p, p};
    }
    return tightBox(entity(ref));
}

Point3 OcctDocument::vertexPoint(const EntityRef& ref) const {
    if (ref.type != EntityType::Vertex) throw DocumentError("not a vertex");
    return toPoint(BRep_Tool::Pnt(TopoDS::Vertex(entity(ref))));
}

SurfaceInfo OcctDocument::surface(const EntityRef& face) const {
    if (face.type != EntityType::Face) throw DocumentError("not a face");
    BRepAdaptor_Surface s(TopoDS::Face(entity(face)));
    SurfaceInfo info;
    auto axisOf = [](const gp_Ax1& a) {
        return std::make_pair(toPoint(a.Location()), toPoint(a.Direction()));
    };
    switch (s.GetType()) {
        case GeomAbs_Plane:
            info.kind = host::kSurfacePlane;
            break;
        case GeomAbs_Cylinder:
            info.kind = host::kSurfaceCylinder;
            info.axis = axisOf(s.Cylinder().Axis());
            break;
        case GeomAbs_Cone:
            info.kind = host::kSurfaceCone;
            info.axis = axisOf(s.Cone().Axis());
            break;
        case GeomAbs_SurfaceOfRevolution:
            info.kind = host::kSurfaceRevolution;
            info.axis = axisOf(s.AxeOfRevolution());
            break;
        default:
            info.kind = host::kSurfaceOther;
            break;
    }
    return info;
}

std::vector<EntityRef> OcctDocument::edgeFaces(const EntityRef& edge) const {
    if (edge.type != EntityType::Edge) throw DocumentError("not an edge");
    const Body& body = bodies_.at(edge.body);
    TopTools_IndexedDataMapOfShapeListOfShape ancestors;
    TopExp::MapShapesAndAncestors(body.solid, TopAbs_EDGE, TopAbs_FACE, ancestors);
    std::vector<int> indexes;
    const TopoDS_Shape& shape = entity(edge);
    if (ancestors.Contains(shape)) {
        for (const TopoDS_Shape& face : ancestors.FindFromKey(shape)) {
            const int index = body.faces.FindIndex(face) - 1;
            if (index >= 0 && std::find(indexes.begin(), indexes.end(), index) == indexes.end())
                indexes.push_back(index);
        }
    }
    std::sort(indexes.begin(), indexes.end());
    std::vector<EntityRef> faces;
    for (int index : indexes) faces.push_back({edge.body, EntityType::Face, index});
    return faces;
}

bool OcctDocument::exportStep(const std::string& path) const {
    try {
        STEPControl_Writer writer;
        Interface_Static::SetCVal("xstep.cascade.unit", occtUnitName(unit_));
        Interface_Static::SetCVal("write.step.unit", occtUnitName(unit_));
        if (writer.Transfer(shape_, STEPControl_AsIs) != IFSelect_RetDone) return false;
        return writer.Write(path.c_str()) == IFSelect_RetDone;
    } catch (const Standard_Failure&) {
        return false;
    }
}

}  // namespace hostapp
