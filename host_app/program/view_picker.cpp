#include "program/view_picker.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

#include <IntCurvesFace_ShapeIntersector.hxx>
#include <Precision.hxx>
#include <gp_Lin.hxx>

#include "documents/host_geometry.h"
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

Point3 lerp(const Point3& a, const Point3& b, double t) {
    return plus(a, minus(b, a), t);
}

struct ScreenPoint {
    double x, y;
};

// Distance from (x, y) to the screen segment a-b, and the segment's parameter of the nearest point.
std::pair<double, double> segmentDistance(ScreenPoint a, ScreenPoint b, double x, double y) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return {std::hypot(a.x + t * dx - x, a.y + t * dy - y), t};
}

ScreenPoint onScreen(const ViewCamera& camera, const Point3& p) {
    const ViewPoint v = camera.project(p);
    return {v.x, v.y};
}

bool offeredPixel(const ViewCamera& camera, int x, int y) {
    const int left = std::min(kAddOnStripWidth, camera.width() / 2);
    return x >= left && x < camera.width() && y >= 0 && y < camera.height();
}

// The pixel holding a projected point, when it lies in the view right of the add-on's strip.
std::optional<ViewPixel> pixelOf(const ViewCamera& camera, double px, double py) {
    if (!(std::abs(px) < 1e7 && std::abs(py) < 1e7)) return std::nullopt;
    const ViewPixel pixel{static_cast<int>(std::lround(px)), static_cast<int>(std::lround(py))};
    if (!offeredPixel(camera, pixel.x, pixel.y)) return std::nullopt;
    return pixel;
}

// A candidate of the screen-distance kinds: how far on the screen, how near the viewer.
struct Candidate {
    double distance = 0.0;
    double depth = 0.0;
    PickItem item;
};

// Nearest on the screen, and of those about as near, the one nearer the viewer.
const Candidate* nearest(const std::vector<Candidate>& candidates) {
    const Candidate* best = nullptr;
    for (const auto& c : candidates) {
        if (best == nullptr || c.distance < best->distance - kSamePixel ||
            (std::abs(c.distance - best->distance) <= kSamePixel && c.depth > best->depth))
            best = &c;
    }
    return best;
}

std::optional<long> wholeNumber(const std::string& word) {
    long value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return value;
}

const char* kindWord(PickKind kind) {
    switch (kind) {
        case PickKind::Face:
            return "face";
        case PickKind::Edge:
            return "edge";
        case PickKind::Vertex:
            return "vertex";
        case PickKind::Point:
            return "point";
        case PickKind::Plane:
            return "plane";
    }
    return "?";
}

EntityType entityType(PickKind kind) {
    return kind == PickKind::Edge     ? EntityType::Edge
           : kind == PickKind::Vertex ? EntityType::Vertex
                                      : EntityType::Face;
}

template <class T>
const T* numbered(const std::vector<T>& list, int number) {
    for (const auto& e : list)
        if (e.number == number) return &e;
    return nullptr;
}

Point3 triangleNormal(const TessellatedFace& face, std::size_t t) {
    const float* n = &face.normals[9 * t];
    return unit({n[0] + n[3] + n[6], n[1] + n[4] + n[7], n[2] + n[5] + n[8]});
}

Point3 corner(const TessellatedFace& face, std::size_t t, int k) {
    const float* p = &face.positions[9 * t + 3 * static_cast<std::size_t>(k)];
    return {p[0], p[1], p[2]};
}

// The directions of view to try for an item seen along `base`: `base` itself, then tilted
// towards each axis direction, which looks into holes and past neighbouring walls.
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

// Turns the camera to look from `toward` (the direction from the model to the viewer): from the
// front view (looking along +Y, Z up), a turn about the vertical axis and then one about the
// horizontal axis, as a drag turns it. The drag's pixels per radian are measured on a copy, so
// this holds whatever the camera's drag speed. False when the camera did not end up there.
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

}  // namespace

std::string PickItem::text() const {
    return std::string(kindWord(kind)) + ":" + (kind == PickKind::Plane ? plane : std::to_string(number));
}

PickItem parsePickItem(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        throw PickError("not a pick: " + text + " (face:N, edge:N, vertex:N, point:N, plane:NAME)");
    const std::string what = text.substr(0, colon);
    const std::string which = text.substr(colon + 1);
    PickItem item;
    if (what == "plane") {
        item.kind = PickKind::Plane;
        item.plane = which;
        return item;
    }
    if (what == "face") {
        item.kind = PickKind::Face;
    } else if (what == "edge") {
        item.kind = PickKind::Edge;
    } else if (what == "vertex") {
        item.kind = PickKind::Vertex;
    } else if (what == "point") {
        item.kind = PickKind::Point;
    } else {
        throw PickError("not a pick: " + text);
    }
    const auto number = wholeNumber(which);
    if (!number || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max())
        throw PickError("not a number: " + which);
    item.number = static_cast<int>(*number);
    return item;
}

platform::RefPtr<platform::IUnknown> pickedObject(const HostSession& session, const PickItem& item) {
    if (item.kind == PickKind::Plane) {
        HostPlane* plane = session.plane(item.plane);
        if (plane == nullptr) throw PickError("no plane " + item.plane);
        return platform::RefPtr<platform::IUnknown>(plane);
    }
    if (item.kind == PickKind::Point) {
        const auto& points = session.designPoints();
        if (item.number < 1 || item.number > static_cast<int>(points.size()))
            throw PickError("no design point " + std::to_string(item.number));
        return platform::RefPtr<platform::IUnknown>(points[static_cast<std::size_t>(item.number - 1)].get());
    }
    const auto ref = session.document().fromGlobalNumber(entityType(item.kind), item.number);
    if (!ref)
        throw PickError(std::string("the part has no ") + kindWord(item.kind) + " " +
                        std::to_string(item.number));
    return platform::RefPtr<platform::IUnknown>(
        makeEntity(session.documentPtr(), *ref, !session.isPart()).get());
}

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
    std::vector<Candidate> candidates;
    for (const auto& v : tessellation_.vertices()) {
        const ViewPoint p = camera.project(v.point);
        const double d = std::hypot(p.x - x, p.y - y);
        if (d <= kVertexPixels && !hidden(camera, v.point))
            candidates.push_back({d, p.depth, {PickKind::Vertex, v.number, {}}});
    }
    if (const Candidate* c = nearest(candidates)) return c->item;

    for (const auto& point : session_.designPoints()) {
        const ViewPoint p = camera.project(point->position());
        const double d = std::hypot(p.x - x, p.y - y);
        if (d <= kPointPixels) candidates.push_back({d, p.depth, {PickKind::Point, point->number(), {}}});
    }
    if (const Candidate* c = nearest(candidates)) return c->item;

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
            candidates.push_back({d, camera.project(p).depth, {PickKind::Edge, edge.number, {}}});
            break;
        }
    }
    if (const Candidate* c = nearest(candidates)) return c->item;

    for (const auto& plane : session_.planes()) {
        const auto frame = planeFrame(plane->normal(), box_);
        for (int i = 0; i < 4; ++i) {
            const auto [d, t] =
                segmentDistance(onScreen(camera, frame[i]), onScreen(camera, frame[(i + 1) % 4]), x, y);
            if (d <= kPlanePixels)
                candidates.push_back({d,
                                      camera.project(lerp(frame[i], frame[(i + 1) % 4], t)).depth,
                                      {PickKind::Plane, 0, plane->name()}});
        }
    }
    if (const Candidate* c = nearest(candidates)) return c->item;

    const Ray ray = rayThrough(camera, x, y);
    const auto hit = firstHit(ray, 2 * tessellation_.modelSize() + 4 * tolerance_);
    if (hit && hit->face > 0) return PickItem{PickKind::Face, hit->face, {}};
    return std::nullopt;
}

std::optional<ViewPixel> ViewPicker::nudgedPixel(const ViewCamera& camera, const Point3& p,
                                                 const PickItem& item) const {
    const ViewPoint v = camera.project(p);
    // Marks off the view by more than the nudge have no pixel.
    if (!(std::abs(v.x) < 1e7 && std::abs(v.y) < 1e7)) return std::nullopt;
    const int cx = static_cast<int>(std::lround(v.x)), cy = static_cast<int>(std::lround(v.y));
    // The pixel nearest the mark first, then ever further ones within the mark's reach.
    std::vector<std::pair<int, int>> offsets;
    for (int dy = -5; dy <= 5; ++dy)
        for (int dx = -5; dx <= 5; ++dx)
            if (dx * dx + dy * dy <= 25) offsets.push_back({dx, dy});
    std::stable_sort(offsets.begin(), offsets.end(), [](const auto& a, const auto& b) {
        return a.first * a.first + a.second * a.second < b.first * b.first + b.second * b.second;
    });
    for (const auto& [dx, dy] : offsets) {
        const int x = cx + dx, y = cy + dy;
        if (offeredPixel(camera, x, y) && pickAt(camera, x, y) == item) return ViewPixel{x, y};
    }
    return std::nullopt;
}

std::optional<ViewPixel> ViewPicker::visiblePixel(const ViewCamera& camera, const PickItem& item) const {
    const auto picksBack = [&](const Point3& p) -> std::optional<ViewPixel> {
        const ViewPoint v = camera.project(p);
        const auto pixel = pixelOf(camera, v.x, v.y);
        if (pixel && pickAt(camera, pixel->x, pixel->y) == item) return pixel;
        return std::nullopt;
    };
    // Points along a screen polyline, from the middle of its length outwards, about 3 pixels apart.
    const auto alongLine = [&](const std::vector<Point3>& points) -> std::optional<ViewPixel> {
        std::vector<double> at{0.0};
        for (std::size_t i = 1; i < points.size(); ++i) {
            const ScreenPoint a = onScreen(camera, points[i - 1]), b = onScreen(camera, points[i]);
            at.push_back(at.back() + std::hypot(b.x - a.x, b.y - a.y));
        }
        const double total = at.back();
        if (!(total > 0)) return std::nullopt;
        // Sample lengths along the line, nearest its middle first.
        const int count = std::clamp(static_cast<int>(total / 3.0), 1, 200);
        std::vector<double> lengths;
        for (int k = 1; k <= count; ++k) lengths.push_back(total * k / (count + 1));
        std::stable_sort(lengths.begin(), lengths.end(), [&](double a, double b) {
            return std::abs(a - total / 2) < std::abs(b - total / 2);
        });
        for (const double s : lengths) {
            const auto i = static_cast<std::size_t>(std::upper_bound(at.begin(), at.end(), s) - at.begin());
            if (i == 0 || i >= at.size()) continue;
            const double t = (s - at[i - 1]) / (at[i] - at[i - 1]);
            if (auto pixel = picksBack(lerp(points[i - 1], points[i], t))) return pixel;
        }
        return std::nullopt;
    };

    switch (item.kind) {
        case PickKind::Vertex: {
            const auto* v = numbered(tessellation_.vertices(), item.number);
            return v ? nudgedPixel(camera, v->point, item) : std::nullopt;
        }
        case PickKind::Point: {
            const auto& points = session_.designPoints();
            if (item.number < 1 || item.number > static_cast<int>(points.size())) return std::nullopt;
            return nudgedPixel(camera, points[static_cast<std::size_t>(item.number - 1)]->position(), item);
        }
        case PickKind::Edge: {
            const auto* e = numbered(tessellation_.edges(), item.number);
            return e ? alongLine(e->points) : std::nullopt;
        }
        case PickKind::Plane: {
            const HostPlane* plane = session_.plane(item.plane);
            if (plane == nullptr) return std::nullopt;
            const auto frame = planeFrame(plane->normal(), box_);
            for (int side = 0; side < 4; ++side) {
                if (auto pixel = alongLine({frame[side], frame[(side + 1) % 4]})) return pixel;
            }
            return std::nullopt;
        }
        case PickKind::Face: {
            const auto* f = numbered(tessellation_.faces(), item.number);
            if (f == nullptr) return std::nullopt;
            // Triangles facing the viewer, largest on the screen first: their middles lie well
            // inside the face's visible part more often than not.
            const Point3 toward = camera.towardsViewer();
            std::vector<std::pair<double, std::size_t>> triangles;
            for (std::size_t t = 0; t < f->positions.size() / 9; ++t) {
                if (dot(triangleNormal(*f, t), toward) <= 0) continue;
                const ScreenPoint a = onScreen(camera, corner(*f, t, 0)),
                                  b = onScreen(camera, corner(*f, t, 1)),
                                  c = onScreen(camera, corner(*f, t, 2));
                const double area = std::abs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2;
                if (area >= 1.0) triangles.push_back({area, t});
            }
            std::sort(triangles.begin(), triangles.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
            for (const auto& [area, t] : triangles) {
                const Point3 middle =
                    plus(plus(plus({}, corner(*f, t, 0), 1.0 / 3), corner(*f, t, 1), 1.0 / 3),
                         corner(*f, t, 2), 1.0 / 3);
                if (auto pixel = picksBack(middle)) return pixel;
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::vector<Point3> ViewPicker::viewDirections(const PickItem& item) const {
    std::vector<Point3> bases;
    // The normals of the tessellation at the nodes nearest `p` of the given faces.
    const auto normalsNear = [&](const Point3& p, const std::vector<int>& faces) {
        for (const int number : faces) {
            const auto* f = numbered(tessellation_.faces(), number);
            if (f == nullptr || f->positions.empty()) continue;
            std::size_t best = 0;
            double bestDistance = std::numeric_limits<double>::max();
            for (std::size_t k = 0; k < f->positions.size() / 3; ++k) {
                const Point3 q{f->positions[3 * k], f->positions[3 * k + 1], f->positions[3 * k + 2]};
                if (const double d = length(minus(q, p)); d < bestDistance) {
                    bestDistance = d;
                    best = k;
                }
            }
            bases.push_back(unit({f->normals[3 * best], f->normals[3 * best + 1], f->normals[3 * best + 2]}));
        }
        if (bases.size() > 1) {
            Point3 sum{};
            for (const auto& n : bases) sum = plus(sum, n);
            if (length(sum) > 1e-6) bases.insert(bases.begin(), unit(sum));
        }
    };
    const OcctDocument& document = session_.document();
    if (item.kind == PickKind::Face) {
        if (const auto* f = numbered(tessellation_.faces(), item.number)) {
            // The normals of the largest triangles, a handful spread over the face.
            std::vector<std::pair<double, std::size_t>> triangles;
            for (std::size_t t = 0; t < f->positions.size() / 9; ++t) {
                const Point3 a = corner(*f, t, 0);
                triangles.push_back(
                    {length(cross(minus(corner(*f, t, 1), a), minus(corner(*f, t, 2), a))), t});
            }
            std::sort(triangles.begin(), triangles.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
            for (std::size_t i = 0; i < std::min<std::size_t>(6, triangles.size()); ++i)
                bases.push_back(triangleNormal(*f, triangles[i].second));
        }
    } else if (item.kind == PickKind::Edge) {
        const auto ref = document.fromGlobalNumber(EntityType::Edge, item.number);
        const auto* e = numbered(tessellation_.edges(), item.number);
        if (ref && e && !e->points.empty()) {
            std::vector<int> faces;
            for (const auto& face : document.edgeFaces(*ref)) faces.push_back(document.globalNumber(face));
            normalsNear(e->points[e->points.size() / 2], faces);
        }
    } else if (item.kind == PickKind::Vertex) {
        if (const auto* v = numbered(tessellation_.vertices(), item.number)) {
            // The faces with a node at the vertex.
            std::vector<int> faces;
            for (const auto& f : tessellation_.faces()) {
                for (std::size_t k = 0; k < f.positions.size() / 3; ++k) {
                    const Point3 q{f.positions[3 * k], f.positions[3 * k + 1], f.positions[3 * k + 2]};
                    if (length(minus(q, v->point)) <= 1e-3 * tessellation_.modelSize()) {
                        faces.push_back(f.number);
                        break;
                    }
                }
            }
            normalsNear(v->point, faces);
        }
    } else if (item.kind == PickKind::Plane) {
        if (const HostPlane* plane = session_.plane(item.plane); plane && length(plane->normal()) > 0)
            bases.push_back(unit(plane->normal()));
    }
    std::vector<Point3> directions;
    for (const auto& n : bases) addTilted(directions, n);
    const auto round = allRound(150);
    directions.insert(directions.end(), round.begin(), round.end());
    // Each direction once.
    std::vector<Point3> distinct;
    for (const auto& d : directions) {
        const Point3 u = unit(d);
        if (std::none_of(distinct.begin(), distinct.end(),
                         [&](const Point3& e) { return dot(e, u) > 0.9995; }))
            distinct.push_back(u);
    }
    return distinct;
}

bool ViewPicker::turnToShow(ViewCamera& camera, const PickItem& item) const {
    if (visiblePixel(camera, item)) return true;
    const ViewCamera before = camera;
    const int width = camera.width(), height = camera.height();
    for (const auto view : {StandardView::Iso, StandardView::Front, StandardView::Top, StandardView::Right}) {
        camera.setStandardView(view);
        camera.fit(box_.first, box_.second, width, height);
        if (visiblePixel(camera, item)) return true;
    }
    for (const auto& toward : viewDirections(item)) {
        if (!lookFrom(camera, toward)) continue;
        camera.fit(box_.first, box_.second, width, height);
        if (visiblePixel(camera, item)) return true;
    }
    camera = before;
    return false;
}

}  // namespace hostapp
