// The Plot command on the recording device: triangle lists, normals, both colour scales, slicing,
// the drawn passes, the legend, animation, exit and a failed render.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "contour_fixture.h"
#include "formats/mesh.h"
#include "results/contour_colours.h"
#include "results/contour_renderer.h"
#include "results/gl_scene_arrays.h"
#include "results/slice_flags.h"
#include "results/triangle_list.h"
#include "results/velocity_arrows.h"
#include "ui/message_pump.h"

namespace {

using namespace results;
using namespace results_test;
using C = CContours;
using render::Float3;

void expectNear(const Float3& a, const Float3& b) {
    EXPECT_NEAR(a.x, b.x, 1e-5);
    EXPECT_NEAR(a.y, b.y, 1e-5);
    EXPECT_NEAR(a.z, b.z, 1e-5);
}

TEST(TriangleList, LinearFacesTakeTheThirdNodeFirst) {
    const auto mesh = meshOf(twoTetrahedra());
    const TriangleList list = buildTriangleList(mesh, false);
    ASSERT_EQ(list.triangleCount(), 6u);
    // Element 1 face 1 is (1, 3, 2): drawn (2, 1, 3); element 2 (nodes 5 3 2 4) face 2 is (5, 3, 4): (4, 5,
    // 3).
    EXPECT_EQ(std::vector<std::int32_t>(list.nodes.begin(), list.nodes.begin() + 3),
              (std::vector<std::int32_t>{2, 1, 3}));
    EXPECT_EQ(std::vector<std::int32_t>(list.nodes.begin() + 12, list.nodes.begin() + 15),
              (std::vector<std::int32_t>{4, 5, 3}));
    EXPECT_EQ(list.elements, (std::vector<std::int32_t>{1, 1, 1, 2, 2, 2}));
    // All four faces of both elements for a slice view.
    EXPECT_EQ(buildTriangleList(mesh, true).triangleCount(), 8u);
}

TEST(TriangleList, QuadraticFacesMakeFourTrianglesWithTheCentralOneLast) {
    // Face 2: (1, 2, 3, 8, 10, 7).
    const TriangleList list = buildTriangleList(meshOf(quadraticTetrahedron({2})), false);
    ASSERT_EQ(list.triangleCount(), 4u);
    EXPECT_EQ(list.nodes, (std::vector<std::int32_t>{7, 1, 2, 2, 3, 8, 8, 10, 7, 2, 8, 7}));
    EXPECT_EQ(list.central, (std::vector<std::uint8_t>{0, 0, 0, 1}));
    // The face lies in y = 0; every triangle's normal is the same unit vector along y.
    for (const Float3& n : list.normals) EXPECT_NEAR(std::fabs(n.y), 1.0, 1e-6);
}

TEST(TriangleList, NormalsAreSmoothedAcrossShallowEdgesAndKeptAtCreases) {
    // Element 1 face 1 lies in z = 0; element 2 face 1 is tilted a little out of it by node 5.
    ViewMesh c;
    c.arrays.coordinates = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0.3, 1, 1, 1};
    c.arrays.connectivity = {1, 2, 3, 4, 2, 5, 3, 6};
    c.setFacets({0, 1, 1, 0, 2, 1, 0, 1, 2});
    const TriangleList list = buildTriangleList(meshOf(c), false);
    ASSERT_EQ(list.triangleCount(), 3u);
    const Float3 flat = list.normals[0];
    expectNear(flat, {0, 0, -1});
    // Triangle 2 is (5, 2, 3): node 5 keeps its own normal, nodes 2 and 3 take the mean of both.
    ASSERT_EQ(list.nodes[3], 5);
    const Float3 own = list.normals[3];
    EXPECT_NEAR(own.x * own.x + own.y * own.y + own.z * own.z, 1.0, 1e-5);
    EXPECT_LT(own.z, -0.9f);
    expectNear(list.normals[4], {(flat.x + own.x) / 2, (flat.y + own.y) / 2, (flat.z + own.z) / 2});
    expectNear(list.normals[5], list.normals[4]);
    // Triangle 3, face 2 of element 1 (y = 0), meets the z = 0 face at 90 degrees: a crease.
    for (int v = 6; v < 9; ++v) expectNear(list.normals[v], {0, -1, 0});
}

// Where a value lands on the host view's colour bars (v from the top, red at 0) and on the results
// window's ramp texture (band b at texel 3 + b of 16), for limits 0 to 100 in steps of 10.
TEST(ContourColours, ValuesLandOnBothColourScales) {
    struct Case {
        double value;
        int band;
        float texV;
        float ramp;
    };
    const BandLimits limits = evenLimits(0, 100);
    for (const Case& c :
         {Case{0, 1, 0.99f, 3.0f / 16}, Case{10, 1, 0.9f, 4.0f / 16}, Case{55, 6, 0.45f, 8.5f / 16},
          Case{95, 10, 0.05f, 12.5f / 16}, Case{100, 10, 0.01f, 13.0f / 16},
          // Outside the limits (after APPLY): band 10, kept at the scales' ends.
          Case{150, 10, 0.01f, 13.0f / 16}, Case{-50, 10, 0.99f, 12.0f / 16}}) {
        EXPECT_EQ(bandOf(c.value, limits), c.band) << c.value;
        EXPECT_FLOAT_EQ(contourTexV(c.value, limits), c.texV) << c.value;
        EXPECT_FLOAT_EQ(rampCoordinate(c.value, limits), c.ramp) << c.value;
    }
    // All values equal: every band has zero width and the value sits at the start of the lowest.
    const BandLimits flat = evenLimits(7, 7);
    EXPECT_EQ(bandOf(7, flat), 1);
    EXPECT_FLOAT_EQ(contourTexV(7, flat), 0.99f);
    EXPECT_FLOAT_EQ(rampCoordinate(7, flat), 3.0f / 16);
}

TEST(SliceFlags, SlidersCutNodesAndElements) {
    struct Case {
        std::array<int, 3> sliders;
        const char* nodes;
        const char* elements;
    };
    auto mesh = meshOf(twoTetrahedra());
    const BoundingBox box = boundingBox(mesh);
    // X at 0 keeps the nodes at the smallest x, and both elements keep some of them; all three at 0
    // keep node 1 only, and element 2 is cut away.
    for (const Case& c : {Case{{100, 100, 100}, "vvvvv", "vv"}, Case{{0, 100, 100}, "vivvi", "cc"},
                          Case{{50, 100, 100}, "vivvi", "cc"}, Case{{0, 0, 0}, "viiii", "ci"}}) {
        computeSliceFlags(mesh, box, c.sliders);
        EXPECT_EQ(mesh.nodeStates().substr(1), c.nodes);
        EXPECT_EQ(mesh.elementStates().substr(1), c.elements);
    }
}

float distance(const Float3& a, const Float3& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

// An arrow leaving the body starts at its node, one entering it ends there (so that it is not
// hidden inside); a node of cut-away elements only, or at rest, has none.
TEST(VelocityArrows, StayOutsideTheBodyAndLeaveCutAwayElements) {
    auto mesh = meshOf(twoTetrahedra());
    const TriangleList list = buildTriangleList(mesh, false);
    const Float3 origin{0, 0, 0};
    std::vector<double> velocity(15, 0.0);
    for (const double sign : {1.0, -1.0}) {
        // Node 1, at the origin corner of element 1 (which fills the positive octant), and node 5.
        std::copy_n(std::array{sign, sign, sign}.begin(), 3, velocity.begin());
        std::copy_n(std::array{0.0, 0.0, 0.5}.begin(), 3, velocity.begin() + 12);
        const auto lines = velocityArrowLines(mesh, list, velocity, 1.0);
        ASSERT_EQ(lines.size(), 2 * 2 * kLinesPerArrow) << "nodes 2 to 4 are at rest";
        const std::size_t first =
            distance(lines[0], origin) == 0 || distance(lines[1], origin) == 0 ? 0 : 2 * kLinesPerArrow;
        const Float3 tail = lines[first], tip = lines[first + 1];
        EXPECT_EQ(distance(sign > 0 ? tip : tail, origin), 0) << sign;
        // The fastest arrow is a tenth of the box diagonal long, node 5's in proportion to its
        // speed; the head lines start at the tip.
        EXPECT_NEAR(distance(tail, tip), 0.1 * std::sqrt(3.0), 1e-6);
        const std::size_t other = 2 * kLinesPerArrow - first;
        EXPECT_NEAR(distance(lines[other], lines[other + 1]), 0.05, 1e-6);
        for (std::size_t k = 1; k < kLinesPerArrow; ++k) EXPECT_EQ(distance(lines[first + 2 * k], tip), 0);
    }
    computeSliceFlags(mesh, boundingBox(mesh), {0, 0, 0});  // element 2, the only one at node 5, goes
    EXPECT_EQ(velocityArrowLines(mesh, list, velocity, 1.0).size(), 2 * kLinesPerArrow);
    EXPECT_TRUE(velocityArrowLines(mesh, list, std::vector<double>(15, 0.0), 1.0).empty());
}

class PlotCommand : public ::testing::Test, public results_test::ContourFixture {};

// Opening tells the site and writes "check.mes" beside the loadcase.
TEST_F(PlotCommand, OpeningTellsTheSiteAndTheMeshOnlyDrawsTheMeshTextureAndMakesTheResourcesOnce) {
    EXPECT_TRUE(start().isChecked(C::kLighting));
    EXPECT_EQ(site->count("SetOption"), 2);
    EXPECT_EQ(site->option(2), -1);
    EXPECT_TRUE(std::filesystem::exists(explorer->document().projectFolder() + "/check.mes"));
    render();
    EXPECT_EQ(device->count("createVertexBuffer"), 1);
    EXPECT_EQ(device->count("createFont"), 2);
    EXPECT_EQ(device->count("createTexture"), 3);
    EXPECT_EQ(device->fontHeight(device->texts().front().font), 20);
    ASSERT_EQ(device->draws().size(), 1u);
    EXPECT_EQ(device->draws()[0].triangleCount, 6u);
    EXPECT_EQ(device->draws()[0].texture, device->textureOf(render::BuiltInTexture::MeshTexture));
    EXPECT_EQ(texts(), std::vector<std::string>{"Mesh"});
    // The whole background is cleared to white at depth 1.
    EXPECT_EQ(device->count("clear"), 1);
    for (const auto& call : device->calls())
        if (call.name == "clear") {
            EXPECT_EQ(call.args, (std::vector<double>{0, 0, 800, 600, 0x00FFFFFF, 1}));
        }
    // The next frame reuses them.
    render();
    EXPECT_EQ(
        device->count("createVertexBuffer") + device->count("createFont") + device->count("createTexture"),
        0);
}

// A legend's first line without a unit ends at the quantity's name (with one: "100 von Mises
// Stress: N/mm2" below, and each quantity of ResultsPanels.TransientRuns...).
TEST(ContourLegend, FirstLineWithoutAUnitEndsAtTheName) {
    ContourFrame frame;
    frame.meshOnly = false;
    frame.limits = evenLimits(0.3, 1.6);
    frame.legend.position = 33;
    frame.legend.label = "Mach number";
    EXPECT_EQ(legendLines(frame)[1].text, "1.6 Mach number");
}

TEST_F(PlotCommand, VonMisesDrawsTheBandsAndTheLegend) {
    auto& d = start();
    plot(d, "Von Mises Stress");
    EXPECT_TRUE(d.isEnabled(C::kPlot));
    ASSERT_EQ(device->draws().size(), 1u);
    EXPECT_EQ(device->draws()[0].texture, device->textureOf(render::BuiltInTexture::BandedBar));
    const auto t = texts();
    ASSERT_EQ(t.size(), 21u);
    EXPECT_EQ(t[0], "I");
    EXPECT_EQ(t[1], "100 von Mises Stress: N/mm2");
    EXPECT_EQ(t[3], "91");
    EXPECT_EQ(t.back(), "10");
    // The swatches' colours and the vertices' are checked at the pixels by the off-screen tests.
    EXPECT_EQ(device->fontFace(device->texts()[0].font), "Arial Black");
    EXPECT_EQ(device->texts().back().rect.top, 410);
    // Smooth switches to the smooth bar; Wireframe draws again in wireframe over it.
    d.userClick(C::kSmooth);
    d.userClick(C::kWireframe);
    render();
    ASSERT_EQ(device->draws().size(), 2u);
    EXPECT_EQ(device->draws()[0].texture, device->textureOf(render::BuiltInTexture::SmoothBar));
    EXPECT_EQ(device->draws()[1].states.at(render::RenderState::FillMode), render::kFillWireframe);
    EXPECT_EQ(device->draws()[1].states.at(render::RenderState::Lighting), 0.0f);
}

// A run with an error estimate offers it last and plots it in per cent; one without does not.
TEST_F(PlotCommand, AnErrorEstimateIsOfferedWhereTheRunWroteOneAndPlottedInPerCent) {
    EXPECT_EQ(start().findItemExact(CContours::kQuantityList, "Error estimate"), -1);
    command->OnTerminate();
    const std::string out = explorer->document().jobBasePath() + ".out";
    writeFile(out, twoTetrahedraStresses() +
                       results::nodeScalarBlock("ERRE", 1, std::vector<double>{0, 5, 10, 20, 40}));
    auto& d = start();
    EXPECT_EQ(d.findItemExact(CContours::kQuantityList, "Error estimate"),
              d.itemCount(CContours::kQuantityList) - 1);
    plot(d, "Error estimate");
    ASSERT_GE(texts().size(), 2u);
    EXPECT_EQ(texts()[1], "40 Error estimate: %");
}

TEST_F(PlotCommand, DisplacementScaleMovesTheVertices) {
    auto& d = start();
    d.userType(C::kScale, "10");
    plot(d, "X Stress");
    const auto vertices = device->vertices(device->draws()[0].streams.at(0));
    const auto& nodes = displayState().triangles.nodes;
    for (std::size_t v = 0; v < nodes.size(); ++v)
        if (nodes[v] == 5) {
            EXPECT_FLOAT_EQ(vertices[v].x, 2.0f);
        }  // 1 + 10 x 0.1
}

// A flow's velocity over its contours: offered to flows only, drawn as black lines after the
// coloured pass, one arrow a moving node; the displacement scale moves no flow.
TEST_F(PlotCommand, AFlowsVelocityIsDrawnAsArrowsOverTheContours) {
    EXPECT_FALSE(start().isVisible(C::kArrows));
    command->OnTerminate();
    makeFlow();
    auto& d = start();
    EXPECT_TRUE(d.isVisible(C::kArrows));
    d.userType(C::kStep, "10");
    d.userType(C::kScale, "10");
    plot(d, "Pressure");
    const auto xOf = [this](std::size_t draw) {
        std::vector<float> x;
        for (const auto& v : device->vertices(device->draws().at(draw).streams.at(0))) x.push_back(v.x);
        return x;
    };
    const auto plain = xOf(0);
    d.userClick(C::kArrows);
    render();
    ASSERT_EQ(device->draws().size(), 2u);
    EXPECT_EQ(xOf(0), plain);
    const auto& arrows = device->draws()[1];
    EXPECT_EQ(arrows.lineCount, 4 * kLinesPerArrow) << "nodes 2 to 5 move";
    EXPECT_EQ(arrows.material, kBlack);
    EXPECT_EQ(arrows.texture, 0u);
    EXPECT_EQ(arrows.states.at(render::RenderState::Lighting), 0.0f);
    // The next frame's colours come from the texture again, not darkened by the arrows' black.
    render();
    EXPECT_EQ(device->draws()[0].material, kWhiteMaterial);
    d.userClick(C::kArrows);
    render();
    EXPECT_EQ(device->draws().size(), 1u);
}

TEST_F(PlotCommand, SliceViewDrawsEveryFaceAndHidesCutElements) {
    auto& d = start();
    render();
    d.userClick(C::kSliceView);
    EXPECT_TRUE(d.isEnabled(C::kSliderX));
    render();
    EXPECT_EQ(device->draws()[0].triangleCount, 8u);
    EXPECT_EQ(device->count("createVertexBuffer"), 1);  // the old buffer was released
    EXPECT_EQ(device->count("releaseVertexBuffer"), 1);
    d.userSlide(C::kSliderX, 0, ui::kScrollThumbTrack);
    d.userSlide(C::kSliderY, 0, ui::kScrollPageDown);
    d.userSlide(C::kSliderZ, 0, ui::kScrollPageUp);
    render();
    const auto vertices = device->vertices(device->draws()[0].streams.at(0));
    // Element 2's four triangles (vertices 12 to 23) collapse to the origin.
    for (std::size_t v = 12; v < 24; ++v)
        EXPECT_EQ(std::make_tuple(vertices[v].x, vertices[v].y, vertices[v].z),
                  std::make_tuple(0.0f, 0.0f, 0.0f));
    // Line steps are ignored.
    d.userSlide(C::kSliderX, 100, ui::kScrollLineDown);
    EXPECT_EQ(mesh_solve::libraryMesh().elementStates()[2], 'i');
}

TEST_F(PlotCommand, AnimationRunsFortyFramesPerCycleAndEndsDeformed) {
    auto& d = start();
    d.userType(C::kScale, "1");
    d.userType(C::kCycles, "1");
    d.userClick(C::kAnimate);
    EXPECT_TRUE(displayState().animate);
    site->clearCalls();
    plot(d, "X Stress");
    EXPECT_EQ(site->count("Redraw"), 42);  // 41 frames and the redraw after them
    EXPECT_EQ(command->phase(), 1.0f);
    ASSERT_EQ(device->draws().size(), 1u);
    const auto& draw = device->draws()[0];
    EXPECT_NE(draw.declaration, 0u);
    EXPECT_EQ(draw.streams.size(), 4u);
    EXPECT_EQ(draw.states.at(render::RenderState::VertexBlend), render::kVertexBlendTweening);
    EXPECT_EQ(draw.states.at(render::RenderState::TweenFactor), 1.0f);
    EXPECT_EQ(draw.states.at(render::RenderState::DepthBias), -10.0f);
    // No cycles: no animation, phase 1.
    d.userType(C::kCycles, "0");
    site->clearCalls();
    plot(d, "X Stress");
    EXPECT_EQ(site->count("Redraw"), 1);
    // EXIT, usable while a long animation runs, stops it at its next frame; the command ends once
    // PLOT has returned.
    d.userType(C::kCycles, "1000");
    site->clearCalls();
    bool exitUsable = false;
    ui::whenBusy([&] {
        ui::whenBusy([&] {
            exitUsable = d.isEnabled(C::kExit);
            d.userClick(C::kExit);
            EXPECT_EQ(site->count("EndCommand"), 0) << "not while PLOT still runs";
        });
    });
    plot(d, "X Stress");
    EXPECT_TRUE(exitUsable);
    EXPECT_EQ(site->count("Redraw"), 2);  // one frame and the redraw after it
    EXPECT_EQ(site->count("EndCommand"), 1);
}

TEST_F(PlotCommand, NumbersAreWrittenAtVerticesFacingTheViewer) {
    auto& d = start();
    d.userClick(C::kNumeric);
    render();
    // With identity transforms the faces whose normals point along -z face away and get no number:
    // the z = 0 face (1, 2, 3) and the face (2, 3, 5) of x + y - z = 1.
    std::vector<std::string> numbers;
    for (const auto& t : device->texts()) {
        if (t.text == "Mesh") continue;
        numbers.push_back(t.text);
        EXPECT_EQ(t.colour, kTextColour);
        EXPECT_EQ(t.rect.right - t.rect.left, 100);
    }
    EXPECT_EQ(numbers,
              (std::vector<std::string>{"4", "1", "2", "4", "3", "1", "4", "5", "3", "4", "2", "5"}));
}

// A render without a device is reported. EXIT ends the command through the site, in the order
// every command shares (ModelCommandProtocol), and the ended command clears the plot.
TEST_F(PlotCommand, ARenderWithoutADeviceIsReportedAndExitEndsTheCommand) {
    auto& d = start();
    plot(d, "X Stress");
    host.setRenderDevice(nullptr);
    command->On3DRender();
    EXPECT_EQ(prompts->messageTexts(),
              std::vector<std::string>{"Exception caught in CContoursCommand::On3DRender"});
    d.userClick(C::kExit);
    EXPECT_EQ(site->count("EndCommand"), 1);
    command->OnTerminate();
    EXPECT_EQ(displayState().position, -1);
    EXPECT_EQ(command->dialog(), nullptr);
    command = nullptr;
}

}  // namespace
