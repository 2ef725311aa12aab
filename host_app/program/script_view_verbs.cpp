// Verbs of the host's 3-D view: picking with the mouse, the standard views, and checks of what the
// view shows at a picked item.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "program/host_application.h"
#include "program/script_runner.h"
#include "program/script_verbs.h"

namespace hostapp {

namespace {

// The ten band colours of the contours as 0xRRGGBB, lowest band first.
constexpr std::array<unsigned, 10> kBandColours = {0x0000FF, 0x00A0FF, 0x00FFFF, 0x2E8B57, 0x00FF64,
                                                   0xAAFF32, 0xD2D2D2, 0xFFFF00, 0xFFA500, 0xFF0000};

struct Rgb {
    int r = 0, g = 0, b = 0;
};

Rgb rgbOf(render::Colour bgr) {
    return {static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
            static_cast<int>((bgr >> 16) & 0xFF)};
}

Rgb fromHex(unsigned rgb) {
    return {static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
            static_cast<int>(rgb & 0xFF)};
}

bool near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// The band whose colour `p` is, lit more or less brightly; -1 when it is none of them.
int bandOf(const Rgb& p) {
    for (std::size_t band = 0; band < kBandColours.size(); ++band) {
        const Rgb c = fromHex(kBandColours[band]);
        const double k = static_cast<double>(std::max({p.r, p.g, p.b})) / std::max({c.r, c.g, c.b});
        if (k < 0.25 || k > 1.1) continue;
        const Rgb lit{static_cast<int>(k * c.r), static_cast<int>(k * c.g), static_cast<int>(k * c.b)};
        if (near(p, lit, 24)) return static_cast<int>(band);
    }
    return -1;
}

}  // namespace

void ScriptRunner::addViewVerbs(VerbTable& table) {
    table.insert(
        {"pick", {1, 2, "pick face:N|edge:N|vertex:N|point:N|plane:NAME|none [add]", &ScriptRunner::pick}});
    table.insert({"view", {1, 1, "view iso|front|top|right|fit", &ScriptRunner::view}});
    table.insert({"expect-pixel", {2, 3, "expect-pixel ITEM RRGGBB [RADIUS]", &ScriptRunner::expectPixel}});
    table.insert({"view-frame-rate", {1, 1, "view-frame-rate SECONDS", &ScriptRunner::viewFrameRate}});
    table.insert({"expect-contour-at", {1, 1, "expect-contour-at ITEM", &ScriptRunner::expectContourAt}});
}

void ScriptRunner::pick(const Words& args) {
    if (args.size() == 2 && args[1] != "add") throw LineError("usage: pick ITEM [add]");
    std::optional<PickItem> item;
    try {
        if (args[0] != "none") item = parsePickItem(args[0]);
        const double milliseconds = person_.pick(app_, item, args.size() == 2);
        char line[96];
        std::snprintf(line, sizeof line, "picked %s: shown %.1f ms after the click", args[0].c_str(),
                      milliseconds);
        out_ << line << std::endl;
    } catch (const PickError& e) {
        throw LineError(e.what());
    }
}

void ScriptRunner::view(const Words& args) {
    static const std::map<std::string, std::optional<StandardView>> views = {{"iso", StandardView::Iso},
                                                                             {"front", StandardView::Front},
                                                                             {"top", StandardView::Top},
                                                                             {"right", StandardView::Right},
                                                                             {"fit", std::nullopt}};
    const auto it = views.find(args[0]);
    if (it == views.end()) throw LineError("usage: view iso|front|top|right|fit");
    app_.showView(it->second);
}

ViewPoint ScriptRunner::projectedCentre(const std::string& itemText) {
    HostSession& session = app_.requireSession();
    PickItem item;
    try {
        item = parsePickItem(itemText);
    } catch (const PickError& e) {
        throw LineError(e.what());
    }
    host::Point3 centre;
    if (item.kind == PickKind::Point || item.kind == PickKind::Plane)
        throw LineError("expect-pixel takes a face, an edge or a vertex");
    const EntityType type = item.kind == PickKind::Face   ? EntityType::Face
                            : item.kind == PickKind::Edge ? EntityType::Edge
                                                          : EntityType::Vertex;
    const auto ref = session.document().fromGlobalNumber(type, item.number);
    if (!ref) throw LineError("the part has no " + itemText);
    // The middle of the entity's box, where the overlay marks draw its centre.
    const auto [low, high] = session.document().corners(*ref);
    centre = {(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
    return app_.camera().project(centre);
}

// Draws the view again and again for SECONDS and prints how many frames a second it drew.
void ScriptRunner::viewFrameRate(const Words& args) {
    const double seconds = parseNumber(args[0]);
    if (!(seconds > 0 && seconds <= 600)) throw LineError("usage: view-frame-rate SECONDS (up to 600)");
    app_.requireSession();
    const auto start = std::chrono::steady_clock::now();
    const auto until = start + std::chrono::duration<double>(seconds);
    int frames = 0;
    while (std::chrono::steady_clock::now() < until) {
        app_.paintView();
        ++frames;
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char line[160];
    std::snprintf(line, sizeof line, "view: %d frames in %.2f s, %.1f frames per second at %d x %d", frames,
                  elapsed, frames / elapsed, app_.camera().width(), app_.camera().height());
    out_ << line << std::endl;
}

// Some pixel within RADIUS (6 unless given) of the projected middle of ITEM's box has the colour.
void ScriptRunner::expectPixel(const Words& args) {
    const ViewPoint at = projectedCentre(args[0]);
    char* end = nullptr;
    const unsigned long hex = std::strtoul(args[1].c_str(), &end, 16);
    if (args[1].size() != 6 || *end != '\0') throw LineError("not a colour RRGGBB: " + args[1]);
    const int radius = args.size() == 3 ? static_cast<int>(parseNumber(args[2])) : 6;
    const RasterImage picture = app_.viewPicture(app_.camera().width(), app_.camera().height());
    const Rgb wanted = fromHex(static_cast<unsigned>(hex));
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int x = static_cast<int>(std::lround(at.x)) + dx,
                      y = static_cast<int>(std::lround(at.y)) + dy;
            if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height()) continue;
            if (near(rgbOf(picture.at(x, y)), wanted, 48)) return;
        }
    throw LineError("no pixel of colour " + args[1] + " within " + std::to_string(radius) + " pixels of " +
                    args[0] + "'s middle at (" + std::to_string(std::lround(at.x)) + ", " +
                    std::to_string(std::lround(at.y)) + ")");
}

// The view shows contours over ITEM: the pixel at the projected middle of its box has a band's
// colour, and the view holds at least four of the bands (the contours and their legend).
void ScriptRunner::expectContourAt(const Words& args) {
    const ViewPoint at = projectedCentre(args[0]);
    const RasterImage picture = app_.viewPicture(app_.camera().width(), app_.camera().height());
    const int x = static_cast<int>(std::lround(at.x)), y = static_cast<int>(std::lround(at.y));
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
        throw LineError(args[0] + " is outside the view");
    if (bandOf(rgbOf(picture.at(x, y))) < 0)
        throw LineError("no contour colour at " + args[0] + "'s middle (" + std::to_string(x) + ", " +
                        std::to_string(y) + ")");
    std::set<int> bands;
    for (int py = 0; py < picture.height(); py += 2)
        for (int px = 0; px < picture.width(); px += 2) bands.insert(bandOf(rgbOf(picture.at(px, py))));
    bands.erase(-1);
    if (bands.size() < 4)
        throw LineError("the view shows " + std::to_string(bands.size()) + " contour bands");
}

}  // namespace hostapp
