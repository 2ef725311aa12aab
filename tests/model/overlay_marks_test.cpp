// The marks the model-definition commands draw over the host view: boxes, fixity and force marks,
// labels and entry texts at projected positions, the part transformation, and host failures.
#include <gtest/gtest.h>

#include <cstdio>

#include "model/model_command.h"
#include "model/overlay_marks.h"
#include "model_command_fixture.h"
#include "render/recording_canvas.h"

namespace {

using host::Point3;
using Strings = std::vector<std::string>;

// A command of a kind whose own command is not in this test (materials, mesh sizes).
template <model::EntryKind Kind>
class CProbe : public CModelCommand {
  public:
    explicit CProbe(CShowUICommand* ex) : CModelCommand(ex, Kind) {}
    std::string className() const override { return "CProbe"; }
    void Start() override {}
};

std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4g", v);
    return buf;
}

// One drawing call as a line of text, so that a whole drawing compares at once.
std::string describe(const render::CanvasCall& c) {
    using K = render::CanvasCall::Kind;
    switch (c.kind) {
        case K::Pen: {
            char colour[16];
            std::snprintf(colour, sizeof colour, "0x%06X", static_cast<unsigned>(c.a));
            return "pen " + std::string(colour) + " " + num(c.b);
        }
        case K::Line:
            return "line " + num(c.a) + " " + num(c.b) + " " + num(c.c) + " " + num(c.d);
        case K::Circle:
            return "circle " + num(c.a) + " " + num(c.b) + " " + num(c.c);
        case K::Rectangle:
            return "rect " + num(c.a) + " " + num(c.b) + " " + num(c.c) + " " + num(c.d);
        case K::Text:
            return "text " + num(c.a) + " " + num(c.b) + " " + c.text;
    }
    return {};
}

class Overlay : public ModelCommandTest {
  protected:
    Overlay() {
        // Beside the box a small cube makes the model 200 across (120 x 96 x 128): the axis points
        // stand 0.005 * 200 = 1 away from the centre.
        part.setDocument(testhost::partOf(
            {testhost::box({0, 0, 0}, {10, 20, 30}), testhost::box({119, 95, 127}, {120, 96, 128})}));
    }

    Strings draw(std::int32_t menuId) {
        if (!command) start(menuId);
        render::RecordingCanvas canvas;
        EXPECT_EQ(command->OnDrawOverlay(&canvas), platform::kOk);
        Strings out;
        for (const auto& call : canvas.calls()) out.push_back(describe(call));
        return out;
    }
    void add(const hostapp::HostFace& face, const std::string& text, model::EntryKind kind) {
        explorer->document().addEntry(bodyKey(), face.key(), text, kind);
    }

    // Pixel positions as the site projects a model point.
    std::string px(Point3 p) const {
        return num(host.projection.pixelX(p)) + " " + num(host.projection.pixelY(p));
    }
    std::string line(Point3 a, Point3 b) const { return "line " + px(a) + " " + px(b); }
    std::string circle(Point3 p, double r) const { return "circle " + px(p) + " " + num(r); }
    std::string square(Point3 p) const {
        const double x = host.projection.pixelX(p);
        const double y = host.projection.pixelY(p);
        return "rect " + num(x - 4) + " " + num(y - 4) + " " + num(x + 4) + " " + num(y + 4);
    }
    std::string text(Point3 p, const std::string& s) const { return "text " + px(p) + " " + s; }
};

// A part moved by its transformation is mapped by it before projection.
TEST_F(Overlay, AReactionMarksEachFixedDirectionFromTheFaceCentre) {
    add(box().face(5), "face;fix,5=XZ", model::kKindReaction);  // the face z = 30
    for (const double shift : {0.0, 100.0}) {
        host::Transform placement;
        placement.m[0][3] = shift;
        part.setPlacement(placement);
        const Point3 c{5 + shift, 10, 30};
        EXPECT_EQ(draw(addon::kMenuReactions),
                  (Strings{"pen 0x0000FF 3", "text 60 10 REACTIONS", line(c, {6 + shift, 10, 30}),
                           circle(c, 3), square({6 + shift, 10, 30}), line(c, {5 + shift, 10, 31}),
                           circle(c, 3), square({5 + shift, 10, 31}), text(c, "face;fix,5=XZ")}))
            << "moved " << shift;
    }
}

// Each fixity code marks the directions it restrains, and a code outside 0 to 6 none.
TEST_F(Overlay, EachFixityCodeMarksItsDirections) {
    const Point3 c{5, 10, 30};
    const Point3 axis[3] = {{6, 10, 30}, {5, 11, 30}, {5, 10, 31}};
    const std::vector<std::vector<int>> directions = {{0}, {1}, {2}, {0, 1}, {1, 2}, {0, 2}, {0, 1, 2}, {}};
    start(addon::kMenuReactions);
    for (int code = 0; code <= 7; ++code) {
        explorer->document().removeKind(model::kKindReaction);
        const int written = code == 7 ? -1 : code;
        add(box().face(5), "face;fix," + std::to_string(written) + "=", model::kKindReaction);
        Strings lines;
        for (const auto& call : draw(addon::kMenuReactions))
            if (call.rfind("line", 0) == 0) lines.push_back(call);
        Strings expected;
        for (int d : directions[static_cast<std::size_t>(code)]) expected.push_back(line(c, axis[d]));
        EXPECT_EQ(lines, expected) << "code " << written;
    }
}

TEST_F(Overlay, ForcesShowTheirNonZeroComponentsAndSignsAtTheirVertexOrPointOtherActionsACircle) {
    explorer->document().addEntry(bodyKey(), box().vertex(1).key(), "vertex;force=10, 0, -5",
                                  model::kKindAction);
    add(box().face(5), "face;pressure=2", model::kKindAction);
    add(box().face(4), "accel=0, 0, -9.81", model::kKindAction);
    add(box().face(5), "face;load=tabl1, 3", model::kKindAction);
    part.addDesignPoint({50, 60, 70});
    explorer->document().addEntry({}, {}, "point<1>;force=0,-3,0", model::kKindAction);
    const Point3 v{0, 0, 0};  // the vertex, widened by 1: the box centre stays on it
    const Point3 top{5, 10, 30}, p{50, 60, 70};
    EXPECT_EQ(draw(addon::kMenuActions), (Strings{"pen 0x00FF00 3",
                                                  "text 60 10 ACTIONS",
                                                  line(v, {1, 0, 0}),
                                                  circle(v, 4),
                                                  line(v, {0, 0, 1}),
                                                  circle({0, 0, 1}, 4),
                                                  text(v, "vertex;force=10, 0, -5"),
                                                  "text 60 10 ACTIONS",
                                                  circle(top, 4),
                                                  text(top, "face;pressure=2"),
                                                  "text 60 10 ACTIONS",
                                                  circle({5, 10, 0}, 4),
                                                  text({5, 10, 0}, "accel=0, 0, -9.81"),
                                                  "text 60 10 ACTIONS",
                                                  line(top, {5, 11, 30}),
                                                  circle(top, 4),
                                                  text(top, "face;load=tabl1, 3"),
                                                  "text 60 10 ACTIONS",
                                                  line(p, {50, 61, 70}),
                                                  circle({50, 61, 70}, 4),
                                                  text(p, "point<1>;force=0,-3,0")}))
        << "a table name reads as 0: only the second component is drawn; a design point's force at the point";
}

// An interaction marks its entity's box; an entry without an entity is passed over.
TEST_F(Overlay, InteractionsDrawTheEntitysBox) {
    explorer->document().addEntry({}, {}, "face;normal_gap=1", model::kKindInteraction);
    add(box().face(1), "face;interface", model::kKindInteraction);  // the face x = 10
    const Point3 l{10, 0, 0}, h{10, 20, 30};
    const auto calls = draw(addon::kMenuInteractions);
    ASSERT_EQ(calls.size(), 15u);
    EXPECT_EQ(calls[0], "pen 0x00FFFF 3");
    EXPECT_EQ(calls[2], line(l, {h.x, l.y, l.z}));
    EXPECT_EQ(calls[13], line({l.x, h.y, l.z}, {l.x, h.y, h.z}));
    EXPECT_EQ(calls[14], text({10, 10, 15}, "face;interface"));
}

TEST_F(Overlay, MaterialsShowTheirNameOnly) {
    command = platform::makeRef<CProbe<model::kKindMaterial>>(explorer.get());
    command->putref_CommandSite(site.get());
    add(box().face(0), "Steel: 210000,0.3,1.2e-05,7.85e-09", model::kKindMaterial);
    EXPECT_EQ(draw(0), (Strings{"pen 0xFFFF00 3", "text 60 10 MATERIALS", text({0, 10, 15}, "Steel")}));
}

TEST_F(Overlay, AReactionOnAVertexIsFoundByItsKeysNotAsADesignPoint) {
    explorer->document().addEntry(bodyKey(), box().vertex(6).key(), "point;fix,0=X", model::kKindReaction);
    const Point3 v{10, 20, 30};
    const auto calls = draw(addon::kMenuReactions);
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[2], line(v, {11, 20, 30}));
    EXPECT_EQ(calls[5], text(v, "point;fix,0=X"));
}

TEST_F(Overlay, NothingIsDrawnWithoutSectionLinesOrASite) {
    add(box().face(5), "face;fix,6=XYZ", model::kKindReaction);
    start(addon::kMenuReactions);
    explorer->document().deleteSection(model::kKindReaction);
    EXPECT_TRUE(draw(addon::kMenuReactions).empty()) << "the section shows no lines";
    add(box().face(4), "face;fix,6=XYZ", model::kKindReaction);
    command->putref_CommandSite(nullptr);
    prompts->clearMessages();
    EXPECT_TRUE(draw(addon::kMenuReactions).empty()) << "no site to project with";
    EXPECT_EQ(command->OnDrawOverlay(nullptr), platform::kOk);
}

TEST_F(Overlay, AHostFailureEndsTheDrawingOfThatCall) {
    add(box().face(5), "face;fix,0=X", model::kKindReaction);
    add(box().face(4), "face;fix,1=Y", model::kKindReaction);
    host.failNth("IQDPartSession::FindEntity", 2);
    const auto first = draw(addon::kMenuReactions);
    ASSERT_EQ(first.size(), 6u) << "the first mark is drawn, the second entity is not found";
    EXPECT_EQ(first.back(), text({5, 10, 30}, "face;fix,0=X"));
    host.failNth("IQDCommandSite::ProjectPoint", 4);
    EXPECT_EQ(draw(addon::kMenuReactions), Strings{"pen 0x0000FF 3"});
    EXPECT_EQ(draw(addon::kMenuReactions).size(), 11u) << "the next call draws everything again";
    EXPECT_TRUE(prompts->messageTexts().empty());
}

TEST_F(Overlay, AnAssemblyFindsEntitiesThroughItsDesignSession) {
    inAssembly("Rig", 4, addon::kMenuReactions).putref_CommandSite(site.get());
    otherExplorer->document().addEntry({}, assembly->body(0).face(5).key(), "face;fix,2=Z",
                                       model::kKindReaction);
    render::RecordingCanvas canvas;
    other->OnDrawOverlay(&canvas);
    // An assembly's model size is 1000: the axis point stands 5 away.
    const Point3 c{2, 2, 4};
    ASSERT_EQ(canvas.calls().size(), 6u);
    EXPECT_EQ(describe(canvas.calls()[2]), line(c, {2, 2, 9}));
    EXPECT_EQ(host.callCount("IQDDesignSession::FindEntity"), 1);
}

TEST_F(Overlay, TheRedrawRequestAsksTheSiteToRedrawNow) {
    start(addon::kMenuActions);
    EXPECT_EQ(command->OnRedraw(), platform::kOk);
    EXPECT_EQ(site->calls().back(), "Redraw");
    host.failNext("IQDCommandSite::Redraw");
    EXPECT_EQ(command->OnRedraw(), platform::kOk);
    EXPECT_TRUE(prompts->messageTexts().empty());
}

}  // namespace
