#include "program/view_tessellation.h"

#include <algorithm>
#include <cmath>

#include <BRepAdaptor_Curve.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Tool.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <Poly_Triangulation.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>

namespace hostapp {

namespace {

// Chordal deflection of the view's meshing, as a fraction of the model's size: fine enough that
// round faces look round and picks land on the drawn surface.
constexpr double kDeflection = 0.002;
constexpr double kAngle = 0.3;  // radians between the normals of neighbouring facets

void push(std::vector<float>& to, const gp_XYZ& v) {
    to.push_back(static_cast<float>(v.X()));
    to.push_back(static_cast<float>(v.Y()));
    to.push_back(static_cast<float>(v.Z()));
}

}  // namespace

ViewTessellation::ViewTessellation(const OcctDocument& document) {
    const auto box = document.boundingBox();
    const double dx = box.second.x - box.first.x, dy = box.second.y - box.first.y,
                 dz = box.second.z - box.first.z;
    modelSize_ = std::max(1e-6, std::sqrt(dx * dx + dy * dy + dz * dz));
    if (document.shape().IsNull()) return;
    BRepMesh_IncrementalMesh mesher(document.shape(), kDeflection * modelSize_, false, kAngle, false);
    for (int body = 0; body < document.bodyCount(); ++body) {
        for (int i = 0; i < document.count(body, EntityType::Face); ++i)
            addFace(document, {body, EntityType::Face, i});
        for (int i = 0; i < document.count(body, EntityType::Edge); ++i)
            addEdge(document, {body, EntityType::Edge, i});
        for (int i = 0; i < document.count(body, EntityType::Vertex); ++i) {
            const EntityRef ref{body, EntityType::Vertex, i};
            vertices_.push_back({ref, document.globalNumber(ref), document.vertexPoint(ref)});
        }
    }
}

void ViewTessellation::addFace(const OcctDocument& document, const EntityRef& ref) {
    const TopoDS_Face& face = TopoDS::Face(document.entity(ref));
    TopLoc_Location location;
    const Handle(Poly_Triangulation) mesh = BRep_Tool::Triangulation(face, location);
    TessellatedFace out{ref, document.globalNumber(ref), {}, {}};
    if (!mesh.IsNull()) {
        if (!mesh->HasNormals()) mesh->ComputeNormals();
        const gp_Trsf transform = location.Transformation();
        const bool reversed = face.Orientation() == TopAbs_REVERSED;
        out.positions.reserve(9 * mesh->NbTriangles());
        out.normals.reserve(9 * mesh->NbTriangles());
        for (int t = 1; t <= mesh->NbTriangles(); ++t) {
            int n[3];
            mesh->Triangle(t).Get(n[0], n[1], n[2]);
            if (reversed) std::swap(n[1], n[2]);
            for (int k = 0; k < 3; ++k) {
                push(out.positions, mesh->Node(n[k]).Transformed(transform).XYZ());
                gp_Dir normal = mesh->Normal(n[k]);
                normal.Transform(transform);
                push(out.normals, reversed ? normal.XYZ().Reversed() : normal.XYZ());
            }
        }
    }
    faces_.push_back(std::move(out));
}

void ViewTessellation::addEdge(const OcctDocument& document, const EntityRef& ref) {
    const TopoDS_Edge& edge = TopoDS::Edge(document.entity(ref));
    TessellatedEdge out{ref, document.globalNumber(ref), {}};
    if (!BRep_Tool::Degenerated(edge)) {
        BRepAdaptor_Curve curve(edge);
        GCPnts_TangentialDeflection points(curve, kAngle, kDeflection * modelSize_);
        for (int i = 1; i <= points.NbPoints(); ++i) {
            const gp_Pnt p = points.Value(i);
            out.points.push_back({p.X(), p.Y(), p.Z()});
        }
    }
    edges_.push_back(std::move(out));
}

std::size_t ViewTessellation::triangleCount() const {
    std::size_t count = 0;
    for (const auto& face : faces_) count += face.positions.size() / 9;
    return count;
}

}  // namespace hostapp
