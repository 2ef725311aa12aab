#include "program/view_picker.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <IntCurvesFace_ShapeIntersector.hxx>
#include <Precision.hxx>
#include <gp_Lin.hxx>

#include "documents/host_geometry.h"
#include "program/screen_point.h"
#include "program/vector_math.h"

namespace hostapp {

namespace {

using host::Point3;

constexpr double kVertexPixels = 6.0;
constexpr double kPointPixels = 6.0;
constexpr double kEdgePixels = 4.0;
constexpr double kPlanePixels = 4.0;
// Candidates this close on the screen count as equally near: the one nearer the viewer wins.
constexpr double kSamePixel = 0.5;
// A vertex or edge further than this fraction of the model's size behind the first face along
// its line of sight is hidden by it. It covers the gap between the drawn polylines and the exact
// surfaces (the view's meshing keeps within 0.2 % of the size) and stays well below the walls of
// thin parts (1.6 mm for a plate 300 mm long and 5 mm thick).
constexpr double kHiddenFraction = 0.005;
constexpr double kFrameFraction = 0.6;

using namespace vec;

// Distance from (x, y) to the screen segment a-b, and the segment's parameter of the nearest point.
std::pair<double, double> segmentDistance(ScreenPoint a, ScreenPoint b, double x, double y) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return {std::hypot(a.x + t * dx - x, a.y + t * dy - y), t};
}

// Nearest on the screen, and of those about as near, the one nearer the viewer.
template <class Candidate>
const Candidate* nearest(const std::vector<Candidate>& candidates) {
    const Candidate* best = nullptr;
    for (const auto& c : candidates) {
        if (best == nullptr || c.distance < best->distance - kSamePixel ||
            (std::abs(c.distance - best->distance) <= kSamePixel && c.depth > best->depth))
            best = &c;
    }
    return best;
}

}  // namespace

std::array<Point3, 4> planeFrame(const Point3& normal, const std::pair<Point3, Point3>& box) {
    const Point3 middle = lerp(box.first, box.second, 0.5);
    if (length(normal) == 0) return {middle, middle, middle, middle};
    const Point3 n = unit(normal);
    const Point3 centre = plus(middle, n, -dot(middle, n));
    // The frame's sides run along the axis least across the normal and the one square to both,
    // so that the standard planes' frames are square to the model's axes.
    const double ax[3] = {std::abs(n.x), std::abs(n.y), std::abs(n.z)};
    const int least = static_cast<int>(std::min_element(ax, ax + 3) - ax);
    const Point3 axis{least == 0 ? 1.0 : 0.0, least == 1 ? 1.0 : 0.0, least == 2 ? 1.0 : 0.0};
    const Point3 u = unit(plus(axis, n, -dot(axis, n)));
    const Point3 v = cross(n, u);
    const double half = kFrameFraction * length(minus(box.second, box.first)) / 2;
    return {plus(plus(centre, u, -half), v, -half), plus(plus(centre, u, half), v, -half),
            plus(plus(centre, u, half), v, half), plus(plus(centre, u, -half), v, half)};
}

ViewPicker::ViewPicker(const HostSession& session, const ViewTessellation& tessellation)
    : session_(session),
      tessellation_(tessellation),
      box_(session.document().boundingBox()),
      tolerance_(kHiddenFraction * tessellation.modelSize()),
      intersector_(std::make_unique<IntCurvesFace_ShapeIntersector>()) {
    const OcctDocument& document = session.document();
    if (!document.shape().IsNull()) intersector_->Load(document.shape(), Precision::Confusion());
    for (int body = 0; body < document.bodyCount(); ++body) {
        for (int i = 0; i < document.count(body, EntityType::Face); ++i) {
            const EntityRef ref{body, EntityType::Face, i};
            faceNumbers_.Bind(document.entity(ref), document.globalNumber(ref));
        }
    }
}

ViewPicker::~ViewPicker() = default;

ViewPicker::Ray ViewPicker::rayThrough(const ViewCamera& camera, double x, double y) const {
    const ViewRay ray = camera.rayAt(x, y);
    // Starts in front of every corner of the model's box, whatever the camera was fitted to.
    double nearest = std::numeric_limits<double>::max();
    for (int i = 0; i < 8; ++i) {
        const Point3 c{(i & 1) ? box_.second.x : box_.first.x, (i & 2) ? box_.second.y : box_.first.y,
                       (i & 4) ? box_.second.z : box_.first.z};
        nearest = std::min(nearest, dot(minus(c, ray.origin), ray.direction));
    }
    return {plus(ray.origin, ray.direction, nearest - tolerance_), ray.direction};
}

std::optional<ViewPicker::Hit> ViewPicker::firstHit(const Ray& ray, double until) const {
    if (session_.document().shape().IsNull() || !(until > 0)) return std::nullopt;
    const gp_Lin line(gp_Pnt(ray.origin.x, ray.origin.y, ray.origin.z),
                      gp_Dir(ray.direction.x, ray.direction.y, ray.direction.z));
    intersector_->PerformNearest(line, 0.0, until);
    if (!intersector_->IsDone() || intersector_->NbPnt() < 1) return std::nullopt;
    const Standard_Integer* number = faceNumbers_.Seek(intersector_->Face(1));
    return Hit{intersector_->WParameter(1), number ? *number : 0};
}

bool ViewPicker::hidden(const ViewCamera& camera, const Point3& p) const {
    const ViewPoint v = camera.project(p);
    const Ray ray = rayThrough(camera, v.x, v.y);
    return firstHit(ray, dot(minus(p, ray.origin), ray.direction) - tolerance_).has_value();
}

std::optional<PickItem> ViewPicker::pickAt(const ViewCamera& camera, double x, double y) const {
    using Stage = void (ViewPicker::*)(Candidates&, const ViewCamera&, double, double) const;
    // Each kind only where none of the kinds before it is within reach.
    Candidates candidates;
    for (const Stage stage : {&ViewPicker::addVertices, &ViewPicker::addDesignPoints, &ViewPicker::addEdges,
                              &ViewPicker::addPlanes}) {
        (this->*stage)(candidates, camera, x, y);
        if (const Candidate* c = nearest(candidates)) return c->item;
    }
    return faceAt(camera, x, y);
}

void ViewPicker::addVertices(Candidates& to, const ViewCamera& camera, double x, double y) const {
    for (const auto& v : tessellation_.vertices()) {
        const ViewPoint p = camera.project(v.point);
        const double d = std::hypot(p.x - x, p.y - y);
        if (d <= kVertexPixels && !hidden(camera, v.point))
            to.push_back({d, p.depth, {PickKind::Vertex, v.number, {}}});
    }
}

void ViewPicker::addDesignPoints(Candidates& to, const ViewCamera& camera, double x, double y) const {
    for (const auto& point : session_.designPoints()) {
        const ViewPoint p = camera.project(point->position());
        const double d = std::hypot(p.x - x, p.y - y);
        if (d <= kPointPixels) to.push_back({d, p.depth, {PickKind::Point, point->number(), {}}});
    }
}

void ViewPicker::addEdges(Candidates& to, const ViewCamera& camera, double x, double y) const {
    std::vector<ScreenPoint> screen;
    std::vector<std::pair<double, Point3>> near;  // one edge's segments within reach
    for (const auto& edge : tessellation_.edges()) {
        screen.clear();
        near.clear();
        for (const auto& p : edge.points) screen.push_back(onScreen(camera, p));
        for (std::size_t i = 1; i < screen.size(); ++i) {
            const auto [d, t] = segmentDistance(screen[i - 1], screen[i], x, y);
            if (d <= kEdgePixels) near.push_back({d, lerp(edge.points[i - 1], edge.points[i], t)});
        }
        // The edge's nearest point on the screen that no face hides.
        std::sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [d, p] : near) {
            if (hidden(camera, p)) continue;
            to.push_back({d, camera.project(p).depth, {PickKind::Edge, edge.number, {}}});
            break;
        }
    }
}

void ViewPicker::addPlanes(Candidates& to, const ViewCamera& camera, double x, double y) const {
    for (const auto& plane : session_.planes()) {
        const auto frame = planeFrame(plane->normal(), box_);
        for (int i = 0; i < 4; ++i) {
            const Point3& a = frame[i];
            const Point3& b = frame[(i + 1) % 4];
            const auto [d, t] = segmentDistance(onScreen(camera, a), onScreen(camera, b), x, y);
            if (d <= kPlanePixels)
                to.push_back({d, camera.project(lerp(a, b, t)).depth, {PickKind::Plane, 0, plane->name()}});
        }
    }
}

std::optional<PickItem> ViewPicker::faceAt(const ViewCamera& camera, double x, double y) const {
    const Ray ray = rayThrough(camera, x, y);
    const auto hit = firstHit(ray, 2 * tessellation_.modelSize() + 4 * tolerance_);
    if (hit && hit->face > 0) return PickItem{PickKind::Face, hit->face, {}};
    return std::nullopt;
}

}  // namespace hostapp
