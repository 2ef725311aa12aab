// Picking in the host view on the sample bracket (an L of a base 80 x 40 x 8 and an upright
// 8 x 40 x 60, two holes through the base, one through the upright).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "documents/host_session.h"
#include "program/host_application.h"
#include "program/pick_targeting.h"
#include "program/view_picker.h"
#include "program/view_renderer.h"
#include "sample_parts.h"

namespace {

using hostapp::EntityRef;
using hostapp::EntityType;
using hostapp::HostSession;
using hostapp::OcctDocument;
using hostapp::PickItem;
using hostapp::PickKind;
using hostapp::ViewCamera;
using hostapp::ViewPicker;

class ViewPickerTest : public ::testing::Test {
  protected:
    ViewPickerTest()
        : session(platform::makeRef<HostSession>("bracket", OcctDocument::open(samplePath("bracket.step")),
                                                 hostapp::SessionOptions{})),
          tessellation(session->document()),
          picker(*session, tessellation),
          targeting(*session, tessellation, picker) {
        fitTo(hostapp::StandardView::Iso);
    }

    void fitTo(hostapp::StandardView view) {
        const auto box = session->document().boundingBox();
        camera.setStandardView(view);
        camera.fit(box.first, box.second, 800, 600);
    }

    // The number of the only entity of `type` whose box lies within the given ranges.
    int entityIn(EntityType type, host::Point3 low, host::Point3 high) const {
        const OcctDocument& doc = session->document();
        int found = 0;
        for (int i = 0; i < doc.count(0, type); ++i) {
            const auto [a, b] = doc.corners({0, type, i});
            const auto inside = [&](const host::Point3& p) {
                return p.x >= low.x - 1e-3 && p.x <= high.x + 1e-3 && p.y >= low.y - 1e-3 &&
                       p.y <= high.y + 1e-3 && p.z >= low.z - 1e-3 && p.z <= high.z + 1e-3;
            };
            if (inside(a) && inside(b)) {
                EXPECT_EQ(found, 0) << "more than one entity in the box";
                found = doc.globalNumber({0, type, i});
            }
        }
        return found;
    }

    std::optional<PickItem> pickNear(const host::Point3& p, double dx = 0, double dy = 0) const {
        const auto v = camera.project(p);
        return picker.pickAt(camera, v.x + dx, v.y + dy);
    }

    platform::RefPtr<HostSession> session;
    hostapp::ViewTessellation tessellation;
    ViewPicker picker;
    hostapp::PickTargeting targeting;
    ViewCamera camera;
};

PickItem item(PickKind kind, int number) {
    return {kind, number, {}};
}

// Every face, edge and vertex can be brought into view and picked back at the pixel offered for
// it; each item's text reads back as the same item.
TEST_F(ViewPickerTest, EveryFaceEdgeAndVertexIsShownAndPickedBack) {
    const OcctDocument& doc = session->document();
    ASSERT_GT(doc.totalCount(EntityType::Face), 10);
    for (const auto& [kind, type] :
         {std::pair{PickKind::Face, EntityType::Face}, std::pair{PickKind::Edge, EntityType::Edge},
          std::pair{PickKind::Vertex, EntityType::Vertex}}) {
        for (int number = 1; number <= doc.totalCount(type); ++number) {
            const PickItem wanted = item(kind, number);
            SCOPED_TRACE(wanted.text());
            EXPECT_EQ(hostapp::parsePickItem(wanted.text()), wanted);
            ASSERT_TRUE(targeting.turnToShow(camera, wanted));
            const auto pixel = targeting.visiblePixel(camera, wanted);
            ASSERT_TRUE(pixel.has_value());
            EXPECT_EQ(picker.pickAt(camera, pixel->x, pixel->y), wanted);
        }
    }
    const auto toward = camera.towardsViewer();
    EXPECT_FALSE(targeting.turnToShow(camera, item(PickKind::Face, doc.totalCount(EntityType::Face) + 1)));
    EXPECT_EQ(camera.towardsViewer().z, toward.z) << "the camera stays where it was";
    EXPECT_EQ(hostapp::parsePickItem("plane:XY"), (PickItem{PickKind::Plane, 0, "XY"}));
    EXPECT_THROW(hostapp::parsePickItem("face:x"), hostapp::PickError);
    EXPECT_THROW(hostapp::parsePickItem("side:3"), hostapp::PickError);
    EXPECT_THROW(hostapp::parsePickItem("face3"), hostapp::PickError);
    EXPECT_THROW(hostapp::selectedItem(*session, item(PickKind::Face, doc.totalCount(EntityType::Face) + 1)),
                 hostapp::PickError);
}

// Faces are picked in front of the part only; an edge wins over its faces close to it; off the
// part nothing is picked.
TEST_F(ViewPickerTest, PicksTheFaceInFrontAndEdgesNearThem) {
    const int baseTop = entityIn(EntityType::Face, {8, 0, 8}, {80, 40, 8});
    const int bottom = entityIn(EntityType::Face, {0, 0, 0}, {80, 40, 0});
    const int back = entityIn(EntityType::Face, {0, 40, 0}, {80, 40, 60});
    const int backTopEdge = entityIn(EntityType::Edge, {8, 40, 8}, {80, 40, 8});
    ASSERT_GT(baseTop * bottom * back * backTopEdge, 0);

    fitTo(hostapp::StandardView::Top);
    EXPECT_EQ(pickNear({70, 35, 0}), item(PickKind::Face, baseTop)) << "the bottom is behind the base";
    EXPECT_FALSE(targeting.visiblePixel(camera, item(PickKind::Face, bottom)).has_value());
    EXPECT_EQ(pickNear({55, 12, 0}), std::nullopt) << "through the hole";
    EXPECT_EQ(picker.pickAt(camera, 790, 10), std::nullopt);

    // In the iso view the edge along the back of the base's top runs between the top and the back.
    fitTo(hostapp::StandardView::Iso);
    const auto a = camera.project({30, 40, 8}), b = camera.project({50, 40, 8});
    const double across = std::hypot(b.x - a.x, b.y - a.y);
    const double nx = -(b.y - a.y) / across, ny = (b.x - a.x) / across;
    const host::Point3 middle{40, 40, 8};
    EXPECT_EQ(pickNear(middle), item(PickKind::Edge, backTopEdge));
    EXPECT_EQ(pickNear(middle, 3 * nx, 3 * ny), item(PickKind::Edge, backTopEdge));
    EXPECT_EQ(pickNear(middle, -3 * nx, -3 * ny), item(PickKind::Edge, backTopEdge));
    const auto beyond1 = pickNear(middle, 7 * nx, 7 * ny), beyond2 = pickNear(middle, -7 * nx, -7 * ny);
    ASSERT_TRUE(beyond1 && beyond2);
    EXPECT_EQ(std::minmax(beyond1->number, beyond2->number), std::minmax(baseTop, back));
    EXPECT_EQ(beyond1->kind, PickKind::Face);
    EXPECT_EQ(beyond2->kind, PickKind::Face);
    // The hidden edge at the front of the base's bottom lies under faces: not picked through them.
    const int hiddenEdge = entityIn(EntityType::Edge, {0, 0, 0}, {80, 0, 0});
    EXPECT_FALSE(targeting.visiblePixel(camera, item(PickKind::Edge, hiddenEdge)).has_value());
}

// A design point is picked at its mark, a plane at its frame, over the part as well as off it.
TEST_F(ViewPickerTest, PicksDesignPointsAndPlanesByTheirMarks) {
    session->addDesignPoint({40, 20, 30});
    const auto frame = hostapp::planeFrame({0, 0, 1}, session->document().boundingBox());
    const double half = 0.3 * std::sqrt(80.0 * 80 + 40 * 40 + 60 * 60);
    EXPECT_NEAR(frame[0].x, 40 - half, 1e-3);
    EXPECT_NEAR(frame[0].y, 20 - half, 1e-3);
    EXPECT_NEAR(frame[2].x, 40 + half, 1e-3);
    EXPECT_NEAR(frame[2].y, 20 + half, 1e-3);
    for (const auto& corner : frame) EXPECT_NEAR(corner.z, 0.0, 1e-9);

    EXPECT_EQ(pickNear({40, 20, 30}, 3, -3), item(PickKind::Point, 1));
    EXPECT_NE(pickNear({40, 20, 30}, 8, 0), item(PickKind::Point, 1));
    const PickItem xy{PickKind::Plane, 0, "XY"};
    EXPECT_EQ(pickNear({40, 20 - half, 0}, 0, 3), xy) << "the frame's side off the part";
    EXPECT_NE(pickNear({40, 20 - half, 0}, 0, 10), xy);
    // Seen from its side the plane is a line, still picked.
    fitTo(hostapp::StandardView::Right);
    EXPECT_EQ(pickNear({40, 48, 0}, 0, 2), xy);
    EXPECT_NE(pickNear({40, 48, 0}, 0, 6), xy);
}

}  // namespace

namespace {

// Clicks in the host's view build its selection: a click replaces the picks, with Ctrl it adds an
// item or takes it out again, a click on nothing clears them (with Ctrl it keeps them); the view's
// picture marks what is picked.
TEST(HostPicks, ClicksReplaceAddOrTakeOutAndTheViewMarksThem) {
    hostapp::HostApplication app;
    app.openDocument(samplePath("bracket.step"), hostapp::SessionOptions{});
    const auto& selection = app.requireSession().selection();
    auto click = [&](const std::optional<PickItem>& item, bool add) {
        const hostapp::ViewPixel at = app.pixelToPick(item);
        app.pickInView(at.x, at.y, add);
        return selection.items();
    };
    // The marked colour, lit: red and blue well over green.
    auto marked = [&] {
        const hostapp::RasterImage picture =
            hostapp::drawView(app, app.camera().width(), app.camera().height());
        int count = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const auto c = picture.at(x, y);
                const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
                count += r > g + 60 && b > g + 40;
            }
        return count;
    };
    const PickItem top{PickKind::Face, 8, ""}, back{PickKind::Face, 1, ""};
    using Picks = std::vector<PickItem>;
    EXPECT_EQ(click(top, false), Picks{top});
    EXPECT_GT(marked(), 1000);
    EXPECT_EQ(click(back, true), (Picks{top, back}));
    EXPECT_EQ(click(back, true), Picks{top});
    EXPECT_EQ(click(back, false), Picks{back});
    EXPECT_EQ(click(std::nullopt, true), Picks{back});
    // The add-on resetting the picks leaves nothing for a Ctrl-click to add to.
    app.requireSession().selection().Reset();
    EXPECT_EQ(click(top, true), Picks{top});
    EXPECT_EQ(click(std::nullopt, false), Picks{});
    EXPECT_EQ(marked(), 0);
    EXPECT_EQ(app.picks(), 7);
}

}  // namespace
