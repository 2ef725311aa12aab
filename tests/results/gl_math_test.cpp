// The results window's plain math: trackball, camera moves, projection, the probe rectangle and the
// client-side arrays (positions with the displacement factor, texture coordinates).
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "formats/mesh.h"
#include "results/contour_fixture.h"
#include "results/gl_camera.h"
#include "results/gl_scene_arrays.h"
#include "results/node_visibility.h"
#include "results/probe_rectangle.h"
#include "results/trackball.h"

namespace {

using namespace results;
using namespace results_test;

std::array<double, 3> rotate(const Matrix16& m, std::array<double, 3> v) {
    std::array<double, 3> r{};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) r[row] += m[col * 4 + row] * v[col];
    return r;
}

double norm(const Quaternion& q) {
    return std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
}

// A drag to the right turns the front towards +x; window y grows downwards, so a drag up in pixels
// turns it up; no move is no rotation.
TEST(Trackball, DragsTurnTheFrontWithThePointerAndNoMoveIsNoRotation) {
    const auto right = rotate(rotationMatrix(dragRotation(0, 0, 0.2, 0)), {0, 0, 1});
    EXPECT_GT(right[0], 0.2);
    EXPECT_NEAR(right[1], 0, 1e-12);
    Trackball ball;
    ball.resize(200, 100);
    ball.drag(100, 50, 100, 50);
    EXPECT_EQ(ball.rotation(), (Quaternion{0, 0, 0, 1}));
    ball.drag(100, 50, 100, 40);
    const auto front = rotate(ball.matrix(), {0, 0, 1});
    EXPECT_GT(front[1], 0.1);
    EXPECT_NEAR(front[0], 0, 1e-12);
    // Outside the ball the hyperbolic sheet still gives a finite rotation.
    ball.drag(0, 0, 200, 100);
    EXPECT_TRUE(std::isfinite(ball.rotation()[3]));
}

TEST(Trackball, RotationsAccumulateAndAreRenormalisedEvery97Additions) {
    Trackball ball;
    // Two quarter turns about z make a half turn.
    const double s = std::sqrt(0.5);
    ball.add({0, 0, s, s});
    ball.add({0, 0, s, s});
    const auto x = rotate(ball.matrix(), {1, 0, 0});
    EXPECT_NEAR(x[0], -1, 1e-12);
    // A quaternion slightly too long grows with each addition until the 97th scales it back.
    Trackball drifting;
    const Quaternion longer{0, 0, 0, 1.001};
    for (int i = 1; i < kRenormaliseCount; ++i) drifting.add(longer);
    EXPECT_EQ(drifting.additionsSinceRenormalising(), 96);
    EXPECT_GT(norm(drifting.rotation()), 1.09);
    drifting.add(longer);
    EXPECT_EQ(drifting.additionsSinceRenormalising(), 0);
    EXPECT_NEAR(norm(drifting.rotation()), 1.0, 1e-12);
}

TEST(GlCamera, LeftTurnsRightZoomsMiddlePansWheelStepsAndZoomToFitKeepsRotation) {
    GlCamera camera;
    camera.resize(400, 300);
    camera.mouseMove(100, 100, 0);
    camera.mouseMove(100, 150, kRightButton);  // 50 pixels down
    EXPECT_FLOAT_EQ(camera.distance(), 10 - 0.04f * 50);
    camera.mouseMove(120, 140, kMiddleButton);  // 20 right, 10 up
    EXPECT_FLOAT_EQ(camera.panX(), 0.001f * 8 * 20);
    EXPECT_FLOAT_EQ(camera.panY(), 0.001f * 8 * 10);
    camera.wheel(true);
    EXPECT_FLOAT_EQ(camera.distance(), 7.5f);
    camera.wheel(false);
    camera.wheel(false);
    EXPECT_FLOAT_EQ(camera.distance(), 8.5f);
    // The left button alone rotates, as in the host's view, and so do left and right together.
    camera.mouseMove(200, 140, 0);
    camera.mouseMove(230, 140, kLeftButton);
    const Quaternion left = camera.trackball().rotation();
    EXPECT_GT(left[1], 0);
    camera.mouseMove(260, 140, kLeftButton | kRightButton);
    const Quaternion turned = camera.trackball().rotation();
    EXPECT_GT(turned[1], left[1]);
    EXPECT_FLOAT_EQ(camera.distance(), 8.5f) << "rotating does not zoom";
    camera.zoomToFit();
    EXPECT_FLOAT_EQ(camera.distance(), 10);
    EXPECT_FLOAT_EQ(camera.panX(), 0);
    EXPECT_FLOAT_EQ(camera.panY(), 0);
    EXPECT_EQ(camera.trackball().rotation(), turned);
}

// That projected points land where the window draws them, the off-screen results window tests
// see (edges found at projected points, a probe click at a projected node).
TEST(GlCamera, TheEyeInModelCoordinatesFollowsPanAndDistanceAndNothingBehindItProjects) {
    GlCamera camera;
    camera.resize(400, 300);
    WindowPoint p;
    EXPECT_FALSE(camera.project({0, 0, 20}, p));
    auto eye = camera.eyeInModel();
    EXPECT_NEAR(eye[2], 10, 1e-9);
    camera.mouseMove(0, 0, 0);
    camera.mouseMove(100, 0, kMiddleButton);  // pan x 1.0: the model moves right, the eye left of it
    EXPECT_NEAR(camera.eyeInModel()[0], -1, 1e-6);
    // (The eye turning with the model: NodeVisibility, the scene turned half about y.)
}

// Triangles before the default camera (eye at z = 10 looking down -z), each with nodes of its own
// unless shared on purpose; x, y, z per vertex.
struct Scene {
    std::vector<float> positions;
    std::vector<std::int32_t> nodes;
    void triangle(std::array<std::array<float, 3>, 3> corners, std::array<std::int32_t, 3> ids) {
        for (int k = 0; k < 3; ++k) {
            positions.insert(positions.end(), corners[k].begin(), corners[k].end());
            nodes.push_back(ids[k]);
        }
    }
};

TEST(NodeVisibility, OnlyNodesOnDrawnFacesNotSeenEdgeOnAndNotHiddenBehindOthers) {
    GlCamera camera;
    camera.resize(400, 300);
    Scene scene;
    // 0-2: a face turned to the viewer at z = 0, counter-clockwise as seen.
    scene.triangle({{{-2, -1, 0}, {2, -1, 0}, {0, 2, 0}}}, {1, 2, 3});
    // 3-5: behind it at z = -1, two corners covered, one (node 6) out to the right.
    scene.triangle({{{-0.5f, 0, -1}, {0.5f, 0, -1}, {3.5f, 0.5f, -1}}}, {4, 5, 6});
    // 6-8: a back face (clockwise as seen): culled, so its nodes show nowhere.
    scene.triangle({{{-3, 1.5f, 1}, {-2.5f, 2.5f, 1}, {-2, 1.5f, 1}}}, {7, 8, 9});
    // 9-11: a face drawn but turned about 85 degrees from the viewer, sharing node 2 of the front
    // face: node 2 shows at vertex 1, the others nowhere.
    scene.triangle({{{2, -1, 0}, {2.3f, 0.5f, -1}, {2, 1, 0}}}, {2, 10, 11});
    // 12-14: a face turned to the viewer but out of the window.
    scene.triangle({{{40, 0, 0}, {41, 0, 0}, {40, 1, 0}}}, {12, 13, 14});
    // 15-17: a face in front of the first (z = 1) sharing its node 1 at a vertex of its own.
    scene.triangle({{{-2, -1, 0}, {-1, -1, 1}, {-1.5f, 0, 1}}}, {1, 15, 16});
    const auto seen = visibleVertices(scene.positions, scene.nodes, camera);
    ASSERT_EQ(seen.size(), 18u);
    const std::vector<bool> expected{true,  true,  true,  false, false, true,  false, false, false,
                                     false, false, false, false, false, false, true,  true,  true};
    EXPECT_EQ(seen, expected);
    // Turned so that the front face is seen from behind: it is culled, and what lay behind it shows.
    camera.trackball().add({0, 1, 0, 0});  // a half turn about y
    const auto behind = visibleVertices(scene.positions, scene.nodes, camera);
    EXPECT_FALSE(behind[0]);
    EXPECT_FALSE(behind[2]);
    EXPECT_TRUE(behind[6]) << "the back face now faces the viewer";
    // Vertex arrays shorter than whole triangles are not read past their end.
    EXPECT_EQ(visibleVertices(std::span(scene.positions).first(8), scene.nodes, camera).size(), 0u);
}

// Left, top, right, bottom.
std::array<double, 4> edges(const ProbeRectangle& r) {
    return {r.left, r.top, r.right, r.bottom};
}

TEST(ProbeRectangle, ASmallMoveIsASixPixelSquareElseTheDraggedRectangle) {
    const auto square = ProbeRectangle::between(100, 50, 105, 45);
    EXPECT_EQ(edges(square), (std::array<double, 4>{97, 47, 103, 53}));
    EXPECT_TRUE(square.contains(102.9, 47.1));
    EXPECT_FALSE(square.contains(103, 50));  // strictly inside only
    EXPECT_EQ(edges(ProbeRectangle::between(120, 80, 100, 50)), (std::array<double, 4>{100, 50, 120, 80}));
    // Six pixels in one direction is already a drag.
    EXPECT_DOUBLE_EQ(ProbeRectangle::between(0, 0, 6, 1).right, 6);
}

TEST(GlSceneArrays, PositionsAreCentredScaledToFiveAndDisplacedByTheFactor) {
    auto mesh = meshOf(twoTetrahedra());
    const TriangleList list = buildTriangleList(mesh, false);
    const ModelFrame frame = ModelFrame::of(boundingBox(mesh), 0);
    EXPECT_DOUBLE_EQ(frame.largestExtent, 1);
    std::vector<double> vectors(15, 0.0);
    vectors[3 * 1] = 0.1;  // node 2 moves 0.1 along x
    const auto positions = vertexPositions(mesh, list, vectors, 2.0, frame);
    ASSERT_EQ(positions.size(), 3 * list.vertexCount());
    // Vertex 0 shows node 2 at (1, 0, 0): ((1 + 0.2) - 0.5) * 5, (0 - 0.5) * 5.
    ASSERT_EQ(list.nodes[0], 2);
    EXPECT_FLOAT_EQ(positions[0], 3.5f);
    EXPECT_FLOAT_EQ(positions[1], -2.5f);
    EXPECT_FLOAT_EQ(positions[2], -2.5f);
    // The extent only grows: a smaller box keeps the larger scale.
    EXPECT_DOUBLE_EQ(ModelFrame::of(boundingBox(mesh), 4).largestExtent, 4);
    // Cut-away elements are put at the origin.
    computeSliceFlags(mesh, boundingBox(mesh), {100, 100, 100});
    mesh.elementStates()[1] = kCutAway;
    const auto cut = vertexPositions(mesh, list, {}, 0.0, frame);
    for (int c = 0; c < 9; ++c) EXPECT_EQ(cut[c], 0.0f);
    EXPECT_FLOAT_EQ(cut[9 * 3], (mesh.coordinates()[3 * (list.nodes[9] - 1)] - 0.5) * 5);
}

TEST(GlSceneArrays, TextureCoordinatesTakeEachVertexsNodeValueOrTheMeshCoordinate) {
    const BandLimits limits = evenLimits(0, 100);
    const auto mesh = meshOf(twoTetrahedra());
    const TriangleList list = buildTriangleList(mesh, false);
    const std::vector<double> values{0, 10, 20, 30, 100};
    const auto s = textureCoordinates(list, values, limits, false);
    for (std::size_t v = 0; v < list.vertexCount(); ++v)
        EXPECT_FLOAT_EQ(s[v], rampCoordinate(values[list.nodes[v] - 1], limits));
    for (float meshOnly : textureCoordinates(list, values, limits, true))
        EXPECT_EQ(meshOnly, kMeshRampCoordinate);
}

}  // namespace
