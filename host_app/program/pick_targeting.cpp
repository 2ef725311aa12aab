#include "program/pick_targeting.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "program/screen_point.h"
#include "program/tessellated_items.h"
#include "program/vector_math.h"
#include "program/view_directions.h"

namespace hostapp {

namespace {

using host::Point3;
using namespace vec;

std::optional<long> wholeNumber(const std::string& word) {
    long value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return value;
}

std::optional<PickKind> numberedKind(const std::string& word) {
    for (const PickKind kind : {PickKind::Face, PickKind::Edge, PickKind::Vertex, PickKind::Point})
        if (word == pickKindWord(kind)) return kind;
    return std::nullopt;
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

// The offsets within a mark's reach of 5 pixels, nearest first.
const std::vector<std::pair<int, int>>& nudges() {
    static const std::vector<std::pair<int, int>> offsets = [] {
        std::vector<std::pair<int, int>> out;
        for (int dy = -5; dy <= 5; ++dy)
            for (int dx = -5; dx <= 5; ++dx)
                if (dx * dx + dy * dy <= 25) out.push_back({dx, dy});
        std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
            return a.first * a.first + a.second * a.second < b.first * b.first + b.second * b.second;
        });
        return out;
    }();
    return offsets;
}

// Lengths along a line of length `total` about 3 pixels apart, nearest its middle first.
std::vector<double> samplesFromMiddle(double total) {
    const int count = std::clamp(static_cast<int>(total / 3.0), 1, 200);
    std::vector<double> lengths;
    for (int k = 1; k <= count; ++k) lengths.push_back(total * k / (count + 1));
    std::stable_sort(lengths.begin(), lengths.end(),
                     [&](double a, double b) { return std::abs(a - total / 2) < std::abs(b - total / 2); });
    return lengths;
}

// The face's triangles facing the viewer of at least a pixel on the screen, largest first: their
// middles lie well inside the face's visible part more often than not.
std::vector<std::size_t> trianglesFacingViewer(const ViewCamera& camera, const TessellatedFace& f) {
    const Point3 toward = camera.towardsViewer();
    std::vector<std::pair<double, std::size_t>> triangles;
    for (std::size_t t = 0; t < f.positions.size() / 9; ++t) {
        if (dot(triangleNormal(f, t), toward) <= 0) continue;
        const ScreenPoint a = onScreen(camera, corner(f, t, 0)), b = onScreen(camera, corner(f, t, 1)),
                          c = onScreen(camera, corner(f, t, 2));
        const double area = std::abs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2;
        if (area >= 1.0) triangles.push_back({area, t});
    }
    std::sort(triangles.begin(), triangles.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::size_t> out;
    for (const auto& [area, t] : triangles) out.push_back(t);
    return out;
}

}  // namespace

PickItem parsePickItem(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        throw PickError("not a pick: " + text + " (face:N, edge:N, vertex:N, point:N, plane:NAME)");
    const std::string what = text.substr(0, colon);
    const std::string which = text.substr(colon + 1);
    if (what == pickKindWord(PickKind::Plane)) return {PickKind::Plane, 0, which};
    const auto kind = numberedKind(what);
    if (!kind) throw PickError("not a pick: " + text);
    const auto number = wholeNumber(which);
    if (!number || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max())
        throw PickError("not a number: " + which);
    return {*kind, static_cast<int>(*number), {}};
}

PickTargeting::PickTargeting(const HostSession& session, const ViewTessellation& tessellation,
                             const ViewPicker& picker)
    : session_(session),
      tessellation_(tessellation),
      picker_(picker),
      box_(session.document().boundingBox()) {}

std::optional<ViewPixel> PickTargeting::picksBack(const ViewCamera& camera, const Point3& p,
                                                  const PickItem& item) const {
    const ViewPoint v = camera.project(p);
    const auto pixel = pixelOf(camera, v.x, v.y);
    if (pixel && picker_.pickAt(camera, pixel->x, pixel->y) == item) return pixel;
    return std::nullopt;
}

std::optional<ViewPixel> PickTargeting::nudgedPixel(const ViewCamera& camera, const Point3& p,
                                                    const PickItem& item) const {
    const ViewPoint v = camera.project(p);
    // Marks off the view by more than the nudge have no pixel.
    if (!(std::abs(v.x) < 1e7 && std::abs(v.y) < 1e7)) return std::nullopt;
    const int cx = static_cast<int>(std::lround(v.x)), cy = static_cast<int>(std::lround(v.y));
    for (const auto& [dx, dy] : nudges()) {
        const int x = cx + dx, y = cy + dy;
        if (offeredPixel(camera, x, y) && picker_.pickAt(camera, x, y) == item) return ViewPixel{x, y};
    }
    return std::nullopt;
}

std::optional<ViewPixel> PickTargeting::alongLine(const ViewCamera& camera, const std::vector<Point3>& points,
                                                  const PickItem& item) const {
    std::vector<double> at{0.0};  // the screen length up to each point
    for (std::size_t i = 1; i < points.size(); ++i) {
        const ScreenPoint a = onScreen(camera, points[i - 1]), b = onScreen(camera, points[i]);
        at.push_back(at.back() + std::hypot(b.x - a.x, b.y - a.y));
    }
    if (!(at.back() > 0)) return std::nullopt;
    for (const double s : samplesFromMiddle(at.back())) {
        const auto i = static_cast<std::size_t>(std::upper_bound(at.begin(), at.end(), s) - at.begin());
        if (i == 0 || i >= at.size()) continue;
        const double t = (s - at[i - 1]) / (at[i] - at[i - 1]);
        if (auto pixel = picksBack(camera, lerp(points[i - 1], points[i], t), item)) return pixel;
    }
    return std::nullopt;
}

std::optional<ViewPixel> PickTargeting::planePixel(const ViewCamera& camera, const PickItem& item) const {
    const HostPlane* plane = session_.plane(item.plane);
    if (plane == nullptr) return std::nullopt;
    const auto frame = planeFrame(plane->normal(), box_);
    for (int side = 0; side < 4; ++side) {
        if (auto pixel = alongLine(camera, {frame[side], frame[(side + 1) % 4]}, item)) return pixel;
    }
    return std::nullopt;
}

std::optional<ViewPixel> PickTargeting::facePixel(const ViewCamera& camera, const PickItem& item) const {
    const auto* f = numbered(tessellation_.faces(), item.number);
    if (f == nullptr) return std::nullopt;
    for (const std::size_t t : trianglesFacingViewer(camera, *f)) {
        const Point3 middle = plus(plus(plus({}, corner(*f, t, 0), 1.0 / 3), corner(*f, t, 1), 1.0 / 3),
                                   corner(*f, t, 2), 1.0 / 3);
        if (auto pixel = picksBack(camera, middle, item)) return pixel;
    }
    return std::nullopt;
}

std::optional<ViewPixel> PickTargeting::visiblePixel(const ViewCamera& camera, const PickItem& item) const {
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
            return e ? alongLine(camera, e->points, item) : std::nullopt;
        }
        case PickKind::Plane:
            return planePixel(camera, item);
        case PickKind::Face:
            return facePixel(camera, item);
    }
    return std::nullopt;
}

bool PickTargeting::turnToShow(ViewCamera& camera, const PickItem& item) const {
    if (visiblePixel(camera, item)) return true;
    const ViewCamera before = camera;
    const int width = camera.width(), height = camera.height();
    for (const auto view : {StandardView::Iso, StandardView::Front, StandardView::Top, StandardView::Right}) {
        camera.setStandardView(view);
        camera.fit(box_.first, box_.second, width, height);
        if (visiblePixel(camera, item)) return true;
    }
    for (const auto& toward : viewDirections(session_, tessellation_, item)) {
        if (!lookFrom(camera, toward)) continue;
        camera.fit(box_.first, box_.second, width, height);
        if (visiblePixel(camera, item)) return true;
    }
    camera = before;
    return false;
}

std::optional<ViewPixel> PickTargeting::emptyPixel(const ViewCamera& camera) const {
    // Searched from the view's corners inwards.
    const int w = camera.width(), h = camera.height();
    for (int inset = 8; inset < std::min(w, h) / 2; inset += 16)
        for (const ViewPixel p : {ViewPixel{w - inset, h - inset}, ViewPixel{w - inset, inset},
                                  ViewPixel{w / 2, h - inset}, ViewPixel{w / 2, inset}})
            if (!picker_.pickAt(camera, p.x, p.y)) return p;
    return std::nullopt;
}

ViewPixel PickTargeting::pixelToPick(ViewCamera& camera, const std::optional<PickItem>& item) const {
    if (!item) {
        if (const auto pixel = emptyPixel(camera)) return *pixel;
        throw PickError("the part covers the whole view");
    }
    if (turnToShow(camera, *item)) {
        if (const auto pixel = visiblePixel(camera, *item)) return *pixel;
    }
    throw PickError("no view shows " + item->text());
}

}  // namespace hostapp
