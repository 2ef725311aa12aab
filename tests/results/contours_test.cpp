// The Plot command on the recording device: triangle lists, normals, colours, slicing, the dialog's
// texts and limits, the legend, animation and the messages.
#include <gtest/gtest.h>

#include <cmath>

#include "contour_fixture.h"
#include "mesh_solve/mesh.h"
#include "results/contour_colours.h"
#include "results/slice_flags.h"
#include "results/triangle_list.h"

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
    // Element 1 face 1 is (1, 3, 2): drawn (2, 1, 3); element 2 (nodes 5 3 2 4) face 2 is (5, 3, 4): (4, 5, 3).
    EXPECT_EQ(std::vector<std::int32_t>(list.nodes.begin(), list.nodes.begin() + 3), (std::vector<std::int32_t>{2, 1, 3}));
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
    mesh_test::MeshFileContent c;
    c.nodes = 6;
    c.elements = 2;
    c.coordinates = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0.3, 1, 1, 1};
    c.connectivity = {1, 2, 3, 4, 2, 5, 3, 6};
    c.facets = 3;
    c.facetRecords = {0, 1, 1, 0, 2, 1, 0, 1, 2};
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

TEST(ContourColours, TextureCoordinatesAtBandEdgesOutsideAndForEqualValues) {
    const BandLimits limits = evenLimits(0, 100);
    EXPECT_FLOAT_EQ(contourTexV(0, limits), 0.99f);
    EXPECT_FLOAT_EQ(contourTexV(10, limits), 0.9f);
    EXPECT_FLOAT_EQ(contourTexV(55, limits), 0.45f);
    EXPECT_FLOAT_EQ(contourTexV(95, limits), 0.05f);
    EXPECT_FLOAT_EQ(contourTexV(100, limits), 0.01f);
    EXPECT_EQ(bandOf(150, limits), 10);
    EXPECT_FLOAT_EQ(contourTexV(150, limits), 0.01f);
    EXPECT_FLOAT_EQ(contourTexV(-50, limits), 0.99f);
    const BandLimits flat = evenLimits(7, 7);
    EXPECT_EQ(bandOf(7, flat), 1);
    EXPECT_FLOAT_EQ(contourTexV(7, flat), 0.99f);
    BandLimits edited = limits;
    edited[1] = 5;
    edited[9] = 85;
    spaceInnerLimits(edited);
    EXPECT_EQ(edited, (BandLimits{0, 5, 15, 25, 35, 45, 55, 65, 75, 85, 100}));
}

TEST(SliceFlags, SlidersCutNodesAndElements) {
    auto mesh = meshOf(twoTetrahedra());
    const BoundingBox box = boundingBox(mesh);
    computeSliceFlags(mesh, box, {100, 100, 100});
    EXPECT_EQ(mesh.elementStates().substr(1), "vv");
    EXPECT_EQ(mesh.nodeStates().substr(1), "vvvvv");
    // X at 0: only nodes at the smallest x stay; both elements keep some of them.
    computeSliceFlags(mesh, box, {0, 100, 100});
    EXPECT_EQ(mesh.nodeStates().substr(1), "vivvi");
    EXPECT_EQ(mesh.elementStates().substr(1), "cc");
    // All three at 0: only node 1 stays, and element 2 is cut away.
    computeSliceFlags(mesh, box, {0, 0, 0});
    EXPECT_EQ(mesh.nodeStates().substr(1), "viiii");
    EXPECT_EQ(mesh.elementStates().substr(1), "ci");
    computeSliceFlags(mesh, box, {50, 100, 100});
    EXPECT_EQ(mesh.elementStates().substr(1), "cc");
}

class PlotCommand : public ::testing::Test, public results_test::ContourFixture {};

TEST_F(PlotCommand, OpeningFillsTheListAndTellsTheSite) {
    auto& d = start();
    EXPECT_EQ(d.windowText(), "Results");
    EXPECT_EQ(d.itemCount(C::kQuantityList), 25);
    EXPECT_TRUE(d.isChecked(C::kLighting));
    EXPECT_EQ(d.position(C::kSliderX), 100);
    EXPECT_FALSE(d.isEnabled(C::kSliderY));
    EXPECT_EQ(site->count("SetOption"), 2);
    EXPECT_EQ(site->option(2), -1);
    // "check.mes" is written beside the loadcase.
    EXPECT_TRUE(std::filesystem::exists(addon::library().projectFolder + "/check.mes"));
    EXPECT_EQ(displayState().triangles.triangleCount(), 6u);
}

TEST_F(PlotCommand, MeshOnlyDrawsTheMeshTextureAndMakesTheResourcesOnce) {
    start();
    render();
    EXPECT_EQ(device->count("createVertexBuffer"), 1);
    EXPECT_EQ(device->count("createFont"), 2);
    EXPECT_EQ(device->count("createTexture"), 3);
    EXPECT_EQ(device->fontHeight(device->texts().front().font), 20);
    ASSERT_EQ(device->draws().size(), 1u);
    EXPECT_EQ(device->draws()[0].triangleCount, 6u);
    EXPECT_EQ(device->draws()[0].texture, device->textureOf(render::BuiltInTexture::MeshTexture));
    EXPECT_EQ(device->draws()[0].format, render::kFormatPositionNormalTex1);
    EXPECT_EQ(texts(), std::vector<std::string>{"Mesh"});
    const auto vertices = device->vertices(device->draws()[0].streams.at(0));
    ASSERT_EQ(vertices.size(), 18u);
    EXPECT_EQ(std::make_tuple(vertices[1].u, vertices[1].v), std::make_tuple(1.0f, 0.0f));
    EXPECT_EQ(std::make_tuple(vertices[2].u, vertices[2].v), std::make_tuple(1.0f, 1.0f));
    // The background right of the dialog strip is cleared to white at depth 1.
    EXPECT_EQ(device->count("clear"), 1);
    for (const auto& call : device->calls())
        if (call.name == "clear") { EXPECT_EQ(call.args, (std::vector<double>{120, 0, 800, 600, 0x00FFFFFF, 1})); }
    // The next frame reuses them.
    render();
    EXPECT_EQ(device->count("createVertexBuffer") + device->count("createFont") + device->count("createTexture"), 0);
}

TEST_F(PlotCommand, VonMisesFillsTextsLimitsAndLegend) {
    auto& d = start();
    plot(d, "Von Mises Stress");
    EXPECT_EQ(d.text(C::kMax), "Max. 100 N/mm2");
    EXPECT_EQ(d.text(C::kMin), "Min. 10");
    EXPECT_EQ(d.text(C::kLimitEdits[8]), "19");  // L1
    EXPECT_EQ(d.text(C::kLimitEdits[0]), "91");  // L9
    EXPECT_TRUE(d.isEnabled(C::kPlot));
    ASSERT_EQ(device->draws().size(), 1u);
    EXPECT_EQ(device->draws()[0].texture, device->textureOf(render::BuiltInTexture::BandedBar));
    const auto t = texts();
    ASSERT_EQ(t.size(), 21u);
    EXPECT_EQ(t[0], "I");
    EXPECT_EQ(t[1], "100 von Mises Stress: N/mm2");
    EXPECT_EQ(t[3], "91");
    EXPECT_EQ(t.back(), "10");
    EXPECT_EQ(device->texts()[0].colour, kBandColours[9]);
    EXPECT_EQ(device->fontHeight(device->texts()[0].font), 72);
    EXPECT_EQ(device->fontFace(device->texts()[0].font), "Arial Black");
    EXPECT_EQ(device->texts()[18].colour, kBandColours[0]);
    EXPECT_EQ(device->texts().back().rect.top, 410);
    // Node 5 (value 100) is red at the top of the bar; node 1 (10) blue at the bottom.
    const auto vertices = device->vertices(device->draws()[0].streams.at(0));
    const auto& nodes = displayState().triangles.nodes;
    for (std::size_t v = 0; v < nodes.size(); ++v) {
        if (nodes[v] == 5) { EXPECT_FLOAT_EQ(vertices[v].v, 0.01f); }
        if (nodes[v] == 1) { EXPECT_FLOAT_EQ(vertices[v].v, 0.99f); }
    }
    // Smooth switches to the smooth bar; Wireframe draws again in wireframe over it.
    d.userClick(C::kSmooth);
    d.userClick(C::kWireframe);
    render();
    ASSERT_EQ(device->draws().size(), 2u);
    EXPECT_EQ(device->draws()[0].texture, device->textureOf(render::BuiltInTexture::SmoothBar));
    EXPECT_EQ(device->draws()[1].states.at(render::RenderState::FillMode), render::kFillWireframe);
    EXPECT_EQ(device->draws()[1].states.at(render::RenderState::Lighting), 0.0f);
}

TEST_F(PlotCommand, LinearAndApplyChangeTheInnerLimits) {
    auto& d = start();
    plot(d, "X Stress");
    d.userType(C::kLimitEdits[8], "20");
    d.userType(C::kLimitEdits[0], "60");
    d.userClick(C::kLinear);
    EXPECT_EQ(d.text(C::kLimitEdits[4]), "40");  // L5
    EXPECT_EQ(displayState().limits[0], 10);
    EXPECT_EQ(displayState().limits[10], 100);
    d.userType(C::kLimitEdits[4], "45");
    d.userClick(C::kApply);
    EXPECT_EQ(displayState().limits[5], 45);
}

TEST_F(PlotCommand, DisplacementScaleMovesTheVertices) {
    auto& d = start();
    d.userType(C::kScale, "10");
    plot(d, "X Stress");
    const auto vertices = device->vertices(device->draws()[0].streams.at(0));
    const auto& nodes = displayState().triangles.nodes;
    for (std::size_t v = 0; v < nodes.size(); ++v)
        if (nodes[v] == 5) { EXPECT_FLOAT_EQ(vertices[v].x, 2.0f); }  // 1 + 10 x 0.1
}

TEST_F(PlotCommand, GapsAndMissingFilesShowZeros) {
    auto& lib = addon::library();
    writeFile(lib.jobBasePath + ".out", "DISP 2\n1 1 1 1\n2 1 1 1\n3 1 1 1\n4 1 1 1\n5 1 1 1\n");
    auto& d = start();
    plot(d, "X Displacement");
    EXPECT_EQ(d.windowText(), "modenumber too high");
    EXPECT_EQ(d.text(C::kMax), "Max. 0 mm");
    std::filesystem::remove(lib.jobBasePath + ".out");
    plot(d, "Von Mises Stress");
    EXPECT_EQ(d.text(C::kMin), "Min. 0");
    EXPECT_EQ(texts()[1], "0 von Mises Stress: N/mm2");
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
    for (std::size_t v = 12; v < 24; ++v) EXPECT_EQ(std::make_tuple(vertices[v].x, vertices[v].y, vertices[v].z),
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
}

TEST_F(PlotCommand, NumbersAreWrittenAtVerticesFacingTheViewer) {
    auto& d = start();
    d.userClick(C::kNumeric);
    render();
    // With identity transforms, vertices whose normal points along -z face away and get no number.
    std::vector<std::string> expected;
    const auto& list = displayState().triangles;
    for (std::size_t v = 0; v < list.vertexCount(); ++v)
        if (list.normals[v].z >= 0) expected.push_back(std::to_string(list.nodes[v]));
    std::vector<std::string> numbers;
    for (const auto& t : device->texts()) {
        if (t.text == "Mesh") continue;
        numbers.push_back(t.text);
        EXPECT_EQ(t.colour, kTextColour);
        EXPECT_EQ(t.rect.right - t.rect.left, 100);
    }
    EXPECT_EQ(numbers, expected);
    EXPECT_LT(numbers.size(), list.vertexCount());  // the z = 0 face is left out
}

TEST_F(PlotCommand, TimeGraphRefusesQuantitiesWithoutHistory) {
    auto& d = start();
    d.userClick(C::kTimeGraph);  // "Mesh"
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"No graph of this type"});
    d.userChoose(C::kQuantityList, d.findItemExact(C::kQuantityList, "Von Mises Stress"));
    d.userClick(C::kTimeGraph);
    EXPECT_EQ(prompts->modalRuns(), std::vector<std::string>{"Time History Graph"});
    d.userChoose(C::kQuantityList, d.findItemExact(C::kQuantityList, "Plastic Strain"));
    d.userClick(C::kTimeGraph);
    EXPECT_EQ(prompts->messageTexts().size(), 2u);
}

TEST_F(PlotCommand, ExitEndsTheCommandThroughTheSite) {
    auto& d = start();
    plot(d, "X Stress");
    site->clearCalls();
    d.userClick(C::kExit);
    EXPECT_EQ(site->calls(), (std::vector<std::string>{"SetPicking", "ClearStatus", "EndCommand"}));
    command->OnTerminate();
    EXPECT_EQ(displayState().position, -1);
    EXPECT_EQ(command->dialog(), nullptr);
    EXPECT_EQ(explorer->currentCommand(), nullptr);
    command = nullptr;
}

TEST_F(PlotCommand, RenderWithoutADeviceIsReported) {
    start();
    host.setRenderDevice(nullptr);
    command->On3DRender();
    EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"Exception caught in CContoursCommand::On3DRender"});
}

}  // namespace
