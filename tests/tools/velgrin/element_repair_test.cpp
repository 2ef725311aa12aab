// Folded curved elements: repaired by straightening their mid-side nodes, inner ones first; an
// element whose corners are inverted cannot be repaired.
#include <gtest/gtest.h>

#include <cmath>

#include "element_geometry.h"
#include "element_repair.h"

namespace velgrin {
namespace {

// One quadratic element on the corners (0,0,0), (1,0,0), (0,1,0), (0,0,1) at local 1, 3, 5, 10, its
// mid-side nodes in the middle of the edges; node n is local node n.
TetMesh referenceElement() {
    TetMesh mesh;
    mesh.nodesPerElement = 10;
    const double c[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    mesh.coordinates.resize(30);
    auto place = [&](int local, const double* p) { std::copy_n(p, 3, mesh.coordinates.begin() + 3 * local); };
    for (int i = 0; i < 4; ++i) place(kQuadraticCorners[i], c[i]);
    for (const MidSide& m : kQuadraticMidSides) {
        double mid[3];
        for (int k = 0; k < 3; ++k)
            mid[k] = 0.5 * (mesh.coordinates[3 * m.a + k] + mesh.coordinates[3 * m.b + k]);
        place(m.node, mid);
    }
    for (int n = 1; n <= 10; ++n) mesh.connectivity.push_back(n);
    mesh.onBoundary.assign(10, 0);
    return mesh;
}

// Local node 2 lies between corners 1 (x = 0) and 3 (x = 1); outside the middle half of the edge the
// element folds at a corner.
void moveNode2To(TetMesh& mesh, double x, double y) {
    mesh.coordinates[3] = x;
    mesh.coordinates[4] = y;
}

// Node 2 moved along or off its edge: a sound curved element is left alone; a folded one is
// repaired by straightening node 2 back to the middle of its edge, as an inner node first and as a
// surface node only when it lies on the model's surface.
TEST(ElementRepair, StraightensFoldingMidSideNodesInnerOnesFirst) {
    struct Case {
        bool onSurface;
        double x, y;
        RepairReport expected;
    };
    for (const Case& c : {Case{false, 0.5, -0.1, {0, 0, 0, 0}}, Case{false, 0.1, 0.0, {1, 1, 0, 0}},
                          Case{true, 0.9, 0.0, {1, 0, 1, 0}}}) {
        TetMesh mesh = referenceElement();
        mesh.onBoundary[1] = c.onSurface;
        moveNode2To(mesh, c.x, c.y);
        const RepairReport report = repairFoldedElements(mesh);
        SCOPED_TRACE(testing::Message() << "node 2 at " << c.x << ", " << c.y);
        EXPECT_EQ(report.invalidBefore, c.expected.invalidBefore);
        EXPECT_EQ(report.interiorStraightened, c.expected.interiorStraightened);
        EXPECT_EQ(report.surfaceStraightened, c.expected.surfaceStraightened);
        EXPECT_EQ(report.invalidAfter, 0);
        const bool moved = c.expected.invalidBefore > 0;
        EXPECT_DOUBLE_EQ(mesh.coordinates[3], moved ? 0.5 : c.x);
        EXPECT_DOUBLE_EQ(mesh.coordinates[4], moved ? 0.0 : c.y);
        EXPECT_GT(jacobianRatio(mesh, 1), 0);
        EXPECT_NEAR(elementVolume(mesh, 1), 1.0 / 6, moved ? 1e-12 : 0.1);
    }
    // Corners 3 and 5 exchanged: inverted, which straightening cannot repair.
    TetMesh inverted = referenceElement();
    std::swap(inverted.connectivity[2], inverted.connectivity[4]);
    EXPECT_EQ(repairFoldedElements(inverted).invalidAfter, 1);
    EXPECT_LT(cornerVolume(inverted, 1), 0);
}

TEST(ElementGeometry, CurvedVolumeAndQuality) {
    TetMesh mesh = referenceElement();
    EXPECT_NEAR(shapeQuality(mesh, 1), 12 * std::cbrt(0.25) / 9, 1e-12);  // (3V)^(2/3) = (1/2)^(2/3)
    // Bulging the edge 1-3 away from the other corners adds volume; a small bulge adds little.
    moveNode2To(mesh, 0.5, -0.1);
    EXPECT_GT(elementVolume(mesh, 1), 1.0 / 6);
    EXPECT_LT(elementVolume(mesh, 1), 1.0 / 6 + 0.1);
}

}  // namespace
}  // namespace velgrin
