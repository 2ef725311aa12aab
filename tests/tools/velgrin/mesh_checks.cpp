#include "mesh_checks.h"

#include <algorithm>
#include <cmath>

#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>

#include "formats/face_tables.h"

namespace velgrin_test {

namespace {

using Vec = std::array<double, 3>;

// Barycentric coordinates (L1..L4) that each local node (1..10) depends on: a corner has one
// (a == b), a mid-side node two. Corner 1 -> L1, 3 -> L2, 5 -> L3, 10 -> L4.
constexpr std::array<std::array<int, 2>, 10> kQuadraticNodeL{
    {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}, {3, 3}}};
constexpr std::array<Vec, 4> kdL{{{-1, -1, -1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

double jacobianAt(const mesh_solve::Mesh& mesh, int e, double xi, double eta, double zeta) {
    const auto nodes = mesh.elementNodes(e);
    std::array<Vec, 3> J{};  // J[c][k] = d x_c / d xi_k
    auto add = [&](int local, const Vec& dN) {
        const auto p = mesh.nodePosition(nodes[local]);
        const double x[3] = {p.x, p.y, p.z};
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) J[c][k] += x[c] * dN[k];
    };
    if (mesh.nodesPerElement() == 4) {
        for (int i = 0; i < 4; ++i) add(i, kdL[i]);
    } else {
        const double L[4] = {1 - xi - eta - zeta, xi, eta, zeta};
        for (int i = 0; i < 10; ++i) {
            const auto [a, b] = kQuadraticNodeL[i];
            Vec dN;
            for (int k = 0; k < 3; ++k)
                dN[k] = a == b ? (4 * L[a] - 1) * kdL[a][k] : 4 * (L[b] * kdL[a][k] + L[a] * kdL[b][k]);
            add(i, dN);
        }
    }
    return J[0][0] * (J[1][1] * J[2][2] - J[1][2] * J[2][1]) -
           J[0][1] * (J[1][0] * J[2][2] - J[1][2] * J[2][0]) +
           J[0][2] * (J[1][0] * J[2][1] - J[1][1] * J[2][0]);
}

}  // namespace

double elementVolume(const mesh_solve::Mesh& mesh, int e) {
    // 4-point Gauss-Legendre on [0, 1] in each direction of the collapsed cube.
    static const double x[4] = {0.0694318442029737, 0.3300094782075719, 0.6699905217924281,
                                0.9305681557970263};
    static const double w[4] = {0.1739274225687269, 0.3260725774312731, 0.3260725774312731,
                                0.1739274225687269};
    double volume = 0;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) {
                const double u = x[i], v = x[j], t = x[k];
                const double xi = u * (1 - v) * (1 - t), eta = v * (1 - t), zeta = t;
                volume +=
                    w[i] * w[j] * w[k] * (1 - v) * (1 - t) * (1 - t) * jacobianAt(mesh, e, xi, eta, zeta);
            }
    return volume;
}

double smallestJacobian(const mesh_solve::Mesh& mesh, int e) {
    static const double points[10][3] = {{0, 0, 0},  {.5, 0, 0}, {1, 0, 0},   {.5, .5, 0}, {0, 1, 0},
                                         {0, .5, 0}, {0, 0, .5}, {.5, 0, .5}, {0, .5, .5}, {0, 0, 1}};
    double smallest = jacobianAt(mesh, e, .25, .25, .25);
    for (const auto& p : points) smallest = std::min(smallest, jacobianAt(mesh, e, p[0], p[1], p[2]));
    return smallest;
}

std::vector<std::array<double, 3>> facetNodes(const mesh_solve::Mesh& mesh, int f) {
    const auto nodes = mesh.elementNodes(mesh.facetElements()[f]);
    std::vector<std::array<double, 3>> out;
    for (const std::int32_t local :
         mesh_solve::localFaceNodes(mesh.nodesPerElement(), mesh.facetFaces()[f])) {
        const auto p = mesh.nodePosition(nodes[local - 1]);
        out.push_back({p.x, p.y, p.z});
    }
    return out;
}

double distanceTo(const TopoDS_Shape& shape, const std::array<double, 3>& point) {
    const TopoDS_Shape vertex = BRepBuilderAPI_MakeVertex(gp_Pnt(point[0], point[1], point[2])).Shape();
    BRepExtrema_DistShapeShape distance(vertex, shape);
    return distance.IsDone() ? distance.Value() : 1e300;
}

double cadVolume(const TopoDS_Shape& shape) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(shape, props);
    return props.Mass();
}

std::vector<TopoDS_Shape> hostFaces(const TopoDS_Shape& shape) {
    std::vector<TopoDS_Shape> out;
    TopTools_IndexedMapOfShape solids;
    TopExp::MapShapes(shape, TopAbs_SOLID, solids);
    for (int s = 1; s <= solids.Extent(); ++s) {
        TopTools_IndexedMapOfShape faces;
        TopExp::MapShapes(solids(s), TopAbs_FACE, faces);
        for (int f = 1; f <= faces.Extent(); ++f) out.push_back(faces(f));
    }
    return out;
}

}  // namespace velgrin_test
