#include "program/view_directions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "program/tessellated_items.h"
#include "program/vector_math.h"

namespace hostapp {

namespace {

using host::Point3;
using namespace vec;

// The normal of the tessellation at the face's node nearest `p`.
std::optional<Point3> normalNear(const TessellatedFace& f, const Point3& p) {
    if (f.positions.empty()) return std::nullopt;
    std::size_t best = 0;
    double bestDistance = std::numeric_limits<double>::max();
    for (std::size_t k = 0; k < f.positions.size() / 3; ++k) {
        const Point3 q{f.positions[3 * k], f.positions[3 * k + 1], f.positions[3 * k + 2]};
        if (const double d = length(minus(q, p)); d < bestDistance) {
            bestDistance = d;
            best = k;
        }
    }
    return unit({f.normals[3 * best], f.normals[3 * best + 1], f.normals[3 * best + 2]});
}

// The normals of the given faces nearest `p`, their mean first when there are several.
std::vector<Point3> normalsNear(const ViewTessellation& tessellation, const Point3& p,
                                const std::vector<int>& faces) {
    std::vector<Point3> bases;
    for (const int number : faces) {
        const auto* f = numbered(tessellation.faces(), number);
        if (f == nullptr) continue;
        if (const auto n = normalNear(*f, p)) bases.push_back(*n);
    }
    if (bases.size() > 1) {
        Point3 sum{};
        for (const auto& n : bases) sum = plus(sum, n);
        if (length(sum) > 1e-6) bases.insert(bases.begin(), unit(sum));
    }
    return bases;
}

// The normals of the face's largest triangles, a handful spread over the face.
std::vector<Point3> faceNormals(const ViewTessellation& tessellation, int number) {
    std::vector<Point3> bases;
    const auto* f = numbered(tessellation.faces(), number);
    if (f == nullptr) return bases;
    std::vector<std::pair<double, std::size_t>> triangles;
    for (std::size_t t = 0; t < f->positions.size() / 9; ++t) {
        const Point3 a = corner(*f, t, 0);
        triangles.push_back({length(cross(minus(corner(*f, t, 1), a), minus(corner(*f, t, 2), a))), t});
    }
    std::sort(triangles.begin(), triangles.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t i = 0; i < std::min<std::size_t>(6, triangles.size()); ++i)
        bases.push_back(triangleNormal(*f, triangles[i].second));
    return bases;
}

// The normals of the edge's faces at the middle of the edge.
std::vector<Point3> edgeNormals(const OcctDocument& document, const ViewTessellation& tessellation,
                                int number) {
    const auto ref = document.fromGlobalNumber(EntityType::Edge, number);
    const auto* e = numbered(tessellation.edges(), number);
    if (!ref || !e || e->points.empty()) return {};
    std::vector<int> faces;
    for (const auto& face : document.edgeFaces(*ref)) faces.push_back(document.globalNumber(face));
    return normalsNear(tessellation, e->points[e->points.size() / 2], faces);
}

// The normals at the vertex of the faces with a node there.
std::vector<Point3> vertexNormals(const ViewTessellation& tessellation, int number) {
    const auto* v = numbered(tessellation.vertices(), number);
    if (v == nullptr) return {};
    std::vector<int> faces;
    for (const auto& f : tessellation.faces()) {
        for (std::size_t k = 0; k < f.positions.size() / 3; ++k) {
            const Point3 q{f.positions[3 * k], f.positions[3 * k + 1], f.positions[3 * k + 2]};
            if (length(minus(q, v->point)) <= 1e-3 * tessellation.modelSize()) {
                faces.push_back(f.number);
                break;
            }
        }
    }
    return normalsNear(tessellation, v->point, faces);
}

std::vector<Point3> itemNormals(const HostSession& session, const ViewTessellation& tessellation,
                                const PickItem& item) {
    switch (item.kind) {
        case PickKind::Face:
            return faceNormals(tessellation, item.number);
        case PickKind::Edge:
            return edgeNormals(session.document(), tessellation, item.number);
        case PickKind::Vertex:
            return vertexNormals(tessellation, item.number);
        case PickKind::Plane:
            if (const HostPlane* plane = session.plane(item.plane); plane && length(plane->normal()) > 0)
                return {unit(plane->normal())};
            return {};
        case PickKind::Point:
            return {};
    }
    return {};
}

// `base` itself, then tilted towards each axis direction.
void addTilted(std::vector<Point3>& to, const Point3& base) {
    to.push_back(base);
    static const Point3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const double angle : {0.6, 1.05}) {
        for (const auto& axis : axes) {
            const Point3 side = minus(axis, plus({}, base, dot(axis, base)));
            if (length(side) < 0.1) continue;
            to.push_back(plus(plus({}, base, std::cos(angle)), unit(side), std::sin(angle)));
        }
    }
}

// Evenly spread directions over the whole sphere.
std::vector<Point3> allRound(int count) {
    std::vector<Point3> out;
    const double golden = std::numbers::pi * (3.0 - std::sqrt(5.0));
    for (int i = 0; i < count; ++i) {
        const double z = 1.0 - (2.0 * i + 1.0) / count;
        const double r = std::sqrt(1.0 - z * z);
        out.push_back({r * std::cos(golden * i), r * std::sin(golden * i), z});
    }
    return out;
}

// Each direction once, made unit length.
std::vector<Point3> distinct(const std::vector<Point3>& directions) {
    std::vector<Point3> out;
    for (const auto& d : directions) {
        const Point3 u = unit(d);
        if (std::none_of(out.begin(), out.end(), [&](const Point3& e) { return dot(e, u) > 0.9995; }))
            out.push_back(u);
    }
    return out;
}

}  // namespace

std::vector<Point3> viewDirections(const HostSession& session, const ViewTessellation& tessellation,
                                   const PickItem& item) {
    std::vector<Point3> directions;
    for (const auto& n : itemNormals(session, tessellation, item)) addTilted(directions, n);
    const auto round = allRound(150);
    directions.insert(directions.end(), round.begin(), round.end());
    return distinct(directions);
}

// From the front view (looking along +Y, Z up), a turn about the vertical axis and then one about
// the horizontal axis. The drag's pixels per radian are measured on a copy, so this holds whatever
// the camera's drag speed.
bool lookFrom(ViewCamera& camera, const Point3& toward) {
    const Point3 t = unit(toward);
    ViewCamera probe = camera;
    probe.setStandardView(StandardView::Front);
    probe.rotate(100.0, 0.0);
    const Point3 turned = probe.towardsViewer();
    const double radiansPerPixel = std::atan2(turned.x, -turned.y) / 100.0;
    if (!(std::abs(radiansPerPixel) > 0)) return false;
    camera.setStandardView(StandardView::Front);
    const double turnAcross = std::atan2(t.x, -t.y);
    const double turnUp = -std::asin(std::clamp(t.z, -1.0, 1.0));
    camera.rotate(turnAcross / radiansPerPixel, turnUp / radiansPerPixel);
    return dot(camera.towardsViewer(), t) > 0.9999;
}

}  // namespace hostapp
