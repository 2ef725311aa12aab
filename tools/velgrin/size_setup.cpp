#include "size_setup.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Vertex.hxx>

#include "gmsh_api.h"
#include "refinement_field.h"
#include "velgrin_error.h"

namespace velgrin {

double gradingSlope(double grading) {
    return 0.1 + 0.9 * std::clamp(grading, 0.0, 1.0);
}

int elementsPerTurn(int curveElements, double fineness) {
    if (curveElements <= 0) return 0;
    return static_cast<int>(
        std::lround(2 * std::numbers::pi * curveElements * (0.5 + std::clamp(fineness, 0.0, 1.0))));
}

int smoothingPasses(int surfaceSteps) {
    return surfaceSteps <= 0 ? 0 : (surfaceSteps + 2) / 3;
}

namespace {

void setGlobalOptions(const MesherSettings& s, const ModelSizes& sizes) {
    gmsh::option::setNumber("Mesh.MeshSizeMax", sizes.upper);
    gmsh::option::setNumber("Mesh.MeshSizeMin", sizes.lower);
    gmsh::option::setNumber("Mesh.MeshSizeFromCurvature", elementsPerTurn(s.curveElements, s.fineness));
    gmsh::option::setNumber("Mesh.MinimumCurvePoints", std::max(3, s.edgeElements + 1));
    gmsh::option::setNumber("Mesh.MinimumCirclePoints", std::max(7, s.edgeElements + 1));
    gmsh::option::setNumber("Mesh.MeshSizeExtendFromBoundary", 1);
    gmsh::option::setNumber("Mesh.MeshSizeFromPoints", 1);
    gmsh::option::setNumber("Mesh.Smoothing", smoothingPasses(s.surfaceSteps));
    // The volume passes are run one by one after generation, while they improve the mesh.
    gmsh::option::setNumber("Mesh.Optimize", 0);
    gmsh::option::setNumber("Mesh.HighOrderOptimize", 0);
    gmsh::option::setNumber("Mesh.SecondOrderLinear", 0);
}

double edgeLength(const TopoDS_Shape& edge) {
    GProp_GProps props;
    BRepGProp::LinearProperties(edge, props);
    return props.Mass();
}

// Sizes at the CAD vertices: at most 1/edgeElements of each edge that ends there, and, with a
// close-edge factor c, at most 1/c of the distance to the nearest other vertex of the same body.
void setPointSizes(const MesherSettings& s, const ModelSizes& sizes, const CadModel& model,
                   const EntityMap& map) {
    std::map<int, double> pointSize;  // Gmsh point tag -> size
    auto bound = [&](int point, double size) {
        if (point <= 0 || size <= 0) return;
        size = std::max(size, sizes.lower);
        auto [it, added] = pointSize.try_emplace(point, size);
        if (!added) it->second = std::min(it->second, size);
    };
    for (const CadBody& body : model.bodies()) {
        TopTools_IndexedMapOfShape vertexIndex;
        TopExp::MapShapes(body.solid, TopAbs_VERTEX, vertexIndex);
        auto pointOf = [&](const TopoDS_Vertex& v) {
            const int local = vertexIndex.FindIndex(v);
            return local > 0 ? map.pointOfVertex(body.firstVertex - 1 + local) : 0;
        };
        if (s.edgeElements > 0) {
            for (const TopoDS_Shape& edge : body.edges) {
                if (BRep_Tool::Degenerated(TopoDS::Edge(edge))) continue;
                const double size = edgeLength(edge) / s.edgeElements;
                if (size >= sizes.upper) continue;
                TopoDS_Vertex first, last;
                TopExp::Vertices(TopoDS::Edge(edge), first, last);
                bound(pointOf(first), size);
                bound(pointOf(last), size);
            }
        }
        if (s.closeEdgeFactor > 0) {
            std::vector<gp_Pnt> points;
            for (const TopoDS_Shape& v : body.vertices) points.push_back(BRep_Tool::Pnt(TopoDS::Vertex(v)));
            for (std::size_t i = 0; i < points.size(); ++i) {
                double nearest = 0;
                for (std::size_t j = 0; j < points.size(); ++j) {
                    const double d = points[i].Distance(points[j]);
                    if (j != i && d > 0 && (nearest == 0 || d < nearest)) nearest = d;
                }
                if (nearest > 0 && nearest / s.closeEdgeFactor < sizes.upper)
                    bound(map.pointOfVertex(body.firstVertex + static_cast<int>(i)),
                          nearest / s.closeEdgeFactor);
            }
        }
    }
    for (const auto& [point, size] : pointSize) gmsh::model::mesh::setSize({{0, point}}, size);
}

// A field that is `size` on the target and grows at the grading slope up to the upper size.
int thresholdAround(int distanceField, double size, const ModelSizes& sizes, double slope) {
    const int field = gmsh::model::mesh::field::add("Threshold");
    gmsh::model::mesh::field::setNumber(field, "InField", distanceField);
    gmsh::model::mesh::field::setNumber(field, "SizeMin", size);
    gmsh::model::mesh::field::setNumber(field, "SizeMax", sizes.upper);
    gmsh::model::mesh::field::setNumber(field, "DistMin", 0);
    gmsh::model::mesh::field::setNumber(field, "DistMax", std::max((sizes.upper - size) / slope, size));
    return field;
}

int distanceTo(const LocalSize& local, const EntityMap& map, double displayPerMillimetre) {
    if (local.target == LocalSizeTarget::Point) {
        const int field = gmsh::model::mesh::field::add("MathEval");
        char expression[256];
        const auto& p = local.point;
        std::snprintf(expression, sizeof expression, "Sqrt((x-(%.17g))^2+(y-(%.17g))^2+(z-(%.17g))^2)",
                      p[0] / displayPerMillimetre, p[1] / displayPerMillimetre, p[2] / displayPerMillimetre);
        gmsh::model::mesh::field::setString(field, "F", expression);
        return field;
    }
    const int field = gmsh::model::mesh::field::add("Distance");
    if (local.target == LocalSizeTarget::Face) {
        gmsh::model::mesh::field::setNumbers(field, "FacesList", {double(map.surfaceOfFace(local.entity))});
    } else {
        gmsh::model::mesh::field::setNumbers(field, "EdgesList", {double(map.curveOfEdge(local.entity))});
    }
    gmsh::model::mesh::field::setNumber(field, "NumPointsPerCurve", 40);
    return field;
}

void checkEntity(const LocalSize& local, const CadModel& model, const EntityMap& map) {
    if (local.target == LocalSizeTarget::Point) return;
    const bool face = local.target == LocalSizeTarget::Face;
    const int count = face ? model.faceCount() : model.edgeCount();
    const std::string what = face ? "face" : "edge";
    if (local.entity > count)
        throw VelgrinError(ExitCode::BadInput, "ESIZE line " + std::to_string(local.line) + " names " + what +
                                                   " " + std::to_string(local.entity) +
                                                   ", but the model has " + std::to_string(count) + " " +
                                                   what + "s.");
    if ((face ? map.surfaceOfFace(local.entity) : map.curveOfEdge(local.entity)) == 0)
        throw VelgrinError(ExitCode::BadModel, "ESIZE line " + std::to_string(local.line) + ": " + what +
                                                   " " + std::to_string(local.entity) +
                                                   " could not be found in the mesher's model.");
}

// The background field: the Min of the local sizes and of the refinement's sizes, if any.
void setBackgroundField(const MeshJob& job, const CadModel& model, const EntityMap& map,
                        const ModelSizes& sizes, double displayPerMillimetre,
                        std::vector<std::string>& notes) {
    std::vector<double> thresholds;
    if (!job.sizeFieldPath.empty()) {
        thresholds.push_back(addRefinementField(job.sizeFieldPath, displayPerMillimetre, sizes, notes));
        // The volume follows the refinement's sizes, finer or coarser than its faces' mesh.
        gmsh::option::setNumber("Mesh.MeshSizeExtendFromBoundary", 0);
    }
    const double slope = gradingSlope(job.settings.grading);
    for (const LocalSize& local : job.localSizes) {
        checkEntity(local, model, map);
        const double size = std::clamp(local.size / displayPerMillimetre, sizes.lower, sizes.upper);
        thresholds.push_back(
            thresholdAround(distanceTo(local, map, displayPerMillimetre), size, sizes, slope));
    }
    if (thresholds.empty()) return;
    const int minimum = gmsh::model::mesh::field::add("Min");
    gmsh::model::mesh::field::setNumbers(minimum, "FieldsList", thresholds);
    gmsh::model::mesh::field::setAsBackgroundMesh(minimum);
}

}  // namespace

ModelSizes applySizes(const MeshJob& job, const CadModel& model, const EntityMap& map,
                      double displayPerMillimetre, std::vector<std::string>& notes) {
    const MesherSettings& s = job.settings;
    ModelSizes sizes;
    sizes.upper = s.upperSize / displayPerMillimetre;
    if (sizes.upper <= 0) {
        // The add-on's own default: a quarter of the model's diagonal.
        sizes.upper = 0.25 * model.diagonal();
        notes.push_back("no upper size given: " + std::to_string(sizes.upper * displayPerMillimetre) +
                        " used");
    }
    sizes.lower = std::min(s.lowerSize / displayPerMillimetre, sizes.upper);
    setGlobalOptions(s, sizes);
    setPointSizes(s, sizes, model, map);
    setBackgroundField(job, model, map, sizes, displayPerMillimetre, notes);
    return sizes;
}

}  // namespace velgrin
