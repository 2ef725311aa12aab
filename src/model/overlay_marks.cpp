#include "model/overlay_marks.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "addon_base/host_access.h"
#include "addon_base/model_size.h"
#include "loadcase/document_command.h"
#include "platform/host_error.h"

namespace addon {

using host::Point3;
using platform::check;
using platform::RefPtr;

namespace {

// Mark sizes in pixels.
constexpr double kFixityCircle = 3.0;
constexpr double kFixitySquare = 4.0;
constexpr double kForceCircle = 4.0;
// The axis points stand this fraction of the model size away from the box centre.
constexpr double kAxisFraction = 0.005;
// A point is shown as a box this much larger in each direction.
constexpr double kPointWidening = 1.0;

struct Pixel {
    double x = 0.0;
    double y = 0.0;
};

// The twelve points of a mark: eight box corners, the centre, the X, Y and Z axis points.
constexpr std::size_t kCentre = 8;
constexpr std::size_t kAxis = 9;
using MarkPoints = std::array<Point3, 12>;
using MarkPixels = std::array<Pixel, 12>;

struct Box {
    Point3 low;
    Point3 high;
};

Box spanned(const Point3& a, const Point3& b) {
    return {{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)},
            {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}};
}

Box aroundPoint(const Point3& p) {
    const double w = kPointWidening;
    return {{p.x - w, p.y - w, p.z - w}, {p.x + w, p.y + w, p.z + w}};
}

MarkPoints markPoints(const Box& box, double axisLength) {
    const Point3& l = box.low;
    const Point3& h = box.high;
    const Point3 c{(l.x + h.x) / 2, (l.y + h.y) / 2, (l.z + h.z) / 2};
    return {Point3{l.x, l.y, l.z},
            Point3{h.x, l.y, l.z},
            Point3{h.x, h.y, l.z},
            Point3{l.x, h.y, l.z},
            Point3{l.x, l.y, h.z},
            Point3{h.x, l.y, h.z},
            Point3{h.x, h.y, h.z},
            Point3{l.x, h.y, h.z},
            c,
            Point3{c.x + axisLength, c.y, c.z},
            Point3{c.x, c.y + axisLength, c.z},
            Point3{c.x, c.y, c.z + axisLength}};
}

// Which of the X, Y, Z directions a reaction's fixity code restrains.
std::array<bool, 3> fixedDirections(long code) {
    switch (code) {
        case 0:
            return {true, false, false};
        case 1:
            return {false, true, false};
        case 2:
            return {false, false, true};
        case 3:
            return {true, true, false};
        case 4:
            return {false, true, true};
        case 5:
            return {true, false, true};
        case 6:
            return {true, true, true};
        default:
            return {false, false, false};
    }
}

// The number at the start of `text` as the C library reads it: blanks skipped, 0 when none.
double leadingNumber(const std::string& text, std::size_t from) {
    return from < text.size() ? std::strtod(text.c_str() + from, nullptr) : 0.0;
}

// A force or load text's three components: the numbers after "=" and after each following ",".
std::array<double, 3> forceComponents(const std::string& text) {
    std::array<double, 3> out{};
    std::size_t at = text.find('=');
    for (double& component : out) {
        if (at == std::string::npos) break;
        component = leadingNumber(text, at + 1);
        at = text.find(',', at + 1);
    }
    return out;
}

// Design points are named in their entry text ("point<3>;force=...").
bool namesDesignPoint(const std::string& text) {
    return text.rfind("point<", 0) == 0;
}

class OverlayPainter {
  public:
    OverlayPainter(render::Canvas& canvas, loadcase::DocumentOwner& explorer, host::IQDCommandSite& site,
                   model::EntryKind kind, OverlayStyle style)
        : canvas_(canvas), explorer_(explorer), site_(site), kind_(kind), style_(style) {}

    void draw() {
        takeSession();
        canvas_.setPen(style_.colour, kOverlayPenWidth);
        for (const auto& entry : explorer_.document().entries()) {
            if (entry.kind() != kind_) continue;
            std::optional<Box> box = boxOf(entry);
            if (!box) continue;
            drawMark(entry.text(), project(markPoints(*box, axisLength_)));
        }
    }

  private:
    void takeSession() {
        auto session = findSession(explorer_.sessionName());
        design_ = session.require<host::IQDDesignSession>();
        if (explorer_.isPartSession()) {
            part_ = session.require<host::IQDPartSession>();
            check(part_->GetTransformation(&transform_), host::IQDPartSession::iid);
        }
        axisLength_ = kAxisFraction * modelSize(explorer_.sessionName(), explorer_.isPartSession());
    }

    // The entry's box; nothing for an entry that names no design point and no entity.
    std::optional<Box> boxOf(const model::CActions& entry) const {
        if (namesDesignPoint(entry.text())) {
            const auto number = static_cast<std::int32_t>(std::strtol(entry.text().c_str() + 6, nullptr, 10));
            Point3 p;
            check(design_->GetDesignPoint(number, &p), host::IQDDesignSession::iid);
            return aroundPoint(p);
        }
        if (entry.entityKey().empty()) return std::nullopt;
        RefPtr<host::IQDEntity> entity = findEntity(entry);
        if (auto vertex = entity.query<host::IQDVertex>()) {
            Point3 p;
            check(vertex->GetPoint(&p), host::IQDVertex::iid);
            return aroundPoint(p);
        }
        Point3 a;
        Point3 b;
        check(entity->GetCorners(&a, &b), host::IQDEntity::iid);
        return spanned(a, b);
    }

    RefPtr<host::IQDEntity> findEntity(const model::CActions& entry) const {
        RefPtr<host::IQDEntity> entity;
        if (part_) {
            check(part_->FindEntity(entry.bodyKey().bytes(), entry.entityKey().bytes(), entity.put()),
                  host::IQDPartSession::iid);
        } else {
            check(design_->FindEntity(entry.entityKey().bytes(), entity.put()), host::IQDDesignSession::iid);
        }
        platform::require(entity, host::IQDEntity::iid);
        return entity;
    }

    MarkPixels project(MarkPoints points) const {
        MarkPixels out;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point3 p = part_ ? transform_.apply(points[i]) : points[i];
            check(site_.ProjectPoint(p, &out[i].x, &out[i].y), host::IQDCommandSite::iid);
        }
        return out;
    }

    void drawMark(const std::string& text, const MarkPixels& px) {
        canvas_.text(kLabelX, kLabelY, style_.label);
        switch (kind_) {
            case model::kKindMeshSize:
            case model::kKindInteraction:
                drawBox(px);
                break;
            case model::kKindReaction:
                drawFixity(text, px);
                break;
            case model::kKindAction:
                drawForce(text, px);
                break;
            default:
                break;
        }
        const Pixel& c = px[kCentre];
        canvas_.text(c.x, c.y, kind_ == model::kKindMaterial ? text.substr(0, text.rfind(':')) : text);
    }

    void line(const Pixel& a, const Pixel& b) { canvas_.line(a.x, a.y, b.x, b.y); }

    void drawBox(const MarkPixels& px) {
        for (std::size_t i = 0; i < 4; ++i) {
            line(px[i], px[(i + 1) % 4]);
            line(px[4 + i], px[4 + (i + 1) % 4]);
            line(px[i], px[i + 4]);
        }
    }

    // The fixity code is the number after the text's first ","; a held temperature has no fixity
    // (a comma in its formula is none).
    void drawFixity(const std::string& text, const MarkPixels& px) {
        const std::size_t comma = text.find(',');
        if (comma == std::string::npos || text.find(";fix,") == std::string::npos) return;
        const auto fixed = fixedDirections(std::strtol(text.c_str() + comma + 1, nullptr, 10));
        const Pixel& c = px[kCentre];
        for (std::size_t d = 0; d < 3; ++d) {
            if (!fixed[d]) continue;
            const Pixel& a = px[kAxis + d];
            line(c, a);
            canvas_.circle(c.x, c.y, kFixityCircle);
            canvas_.rectangle(a.x - kFixitySquare, a.y - kFixitySquare, a.x + kFixitySquare,
                              a.y + kFixitySquare);
        }
    }

    // Forces and distributed loads show their components; every other action a circle.
    void drawForce(const std::string& text, const MarkPixels& px) {
        const Pixel& c = px[kCentre];
        const std::size_t semicolon = text.find(';');
        const char letter = semicolon + 1 < text.size() ? text[semicolon + 1] : '\0';
        if (semicolon == std::string::npos || (letter != 'f' && letter != 'l')) {
            canvas_.circle(c.x, c.y, kForceCircle);
            return;
        }
        const auto components = forceComponents(text);
        for (std::size_t d = 0; d < 3; ++d) {
            if (components[d] == 0.0) continue;
            const Pixel& a = px[kAxis + d];
            line(c, a);
            const Pixel& at = components[d] > 0 ? c : a;
            canvas_.circle(at.x, at.y, kForceCircle);
        }
    }

    render::Canvas& canvas_;
    loadcase::DocumentOwner& explorer_;
    host::IQDCommandSite& site_;
    model::EntryKind kind_;
    OverlayStyle style_;
    RefPtr<host::IQDDesignSession> design_;
    RefPtr<host::IQDPartSession> part_;
    host::Transform transform_;
    double axisLength_ = 0.0;
};

}  // namespace

std::optional<OverlayStyle> overlayStyle(model::EntryKind kind) {
    switch (kind) {
        case model::kKindMaterial:
            return OverlayStyle{"MATERIALS", 0xFFFF00};
        case model::kKindMeshSize:
            return OverlayStyle{"MESH", 0xFF0000};
        case model::kKindAction:
            return OverlayStyle{"ACTIONS", 0x00FF00};
        case model::kKindReaction:
            return OverlayStyle{"REACTIONS", 0x0000FF};
        case model::kKindInteraction:
            return OverlayStyle{"INTERACTIONS", 0x00FFFF};
        default:
            return std::nullopt;
    }
}

void drawLoadcaseOverlay(render::Canvas& canvas, loadcase::DocumentOwner& explorer,
                         host::IQDCommandSite* site, model::EntryKind kind) {
    const auto style = overlayStyle(kind);
    if (!style || site == nullptr) return;
    if (explorer.document().sectionLines(kind).empty()) return;
    try {
        OverlayPainter(canvas, explorer, *site, kind, *style).draw();
    } catch (const platform::HostError&) {
        // The host could not give an entity, a point or a projection: the rest is not drawn.
    }
}

}  // namespace addon
