#include "fem/dual_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "fem/box_mesh.h"

namespace tarvsolv {
namespace {

// Every control volume is closed, the volumes fill the box, and each side's pieces add up to the
// side's area vector, on linear and quadratic meshes of a sheared box.
TEST(DualMesh, ControlVolumesAreClosedAndFillTheBox) {
    for (bool quadratic : {false, true}) {
        FeMesh mesh = makeBoxMesh({{}, {3, 2, 1}, 3, 2, 2, quadratic});
        mapNodes(mesh, [](const Vec3& p) { return Vec3{p.x + 0.3 * p.y, p.y, p.z + 0.2 * p.x}; });
        const DualMesh dual = buildDualMesh(mesh);
        ASSERT_EQ(dual.vertexCount(), 4 * 3 * 3);
        EXPECT_NEAR(std::accumulate(dual.volume.begin(), dual.volume.end(), 0.0), 6.0, 1e-12);

        std::vector<Vec3> closure(static_cast<std::size_t>(dual.vertexCount()));
        for (const DualEdge& e : dual.edges) {
            EXPECT_GT(dot(e.normal, dual.position[e.b] - dual.position[e.a]), 0.0);
            closure[e.a] = closure[e.a] + e.normal;
            closure[e.b] = closure[e.b] - e.normal;
        }
        std::vector<Vec3> side(7);
        for (const DualBoundaryPiece& piece : dual.boundary) {
            closure[piece.vertex] = closure[piece.vertex] + piece.normal;
            side[piece.tag] = side[piece.tag] + piece.normal;
        }
        for (const Vec3& c : closure) EXPECT_LT(norm(c), 1e-12);
        // Side 1 (x = 0 before the shear) is the parallelogram of (0, 2, 0.6) and (0, 0, 1).
        EXPECT_NEAR(side[1].x, -2.0, 1e-12);
        EXPECT_NEAR(side[1].y, 0.6, 1e-12);
        EXPECT_NEAR(side[5].z, -6.0, 1e-12);
        const auto midSide = std::count(dual.vertexOfNode.begin(), dual.vertexOfNode.end(), -1);
        EXPECT_EQ(midSide, mesh.nodeCount() - dual.vertexCount());
    }
}

}  // namespace
}  // namespace tarvsolv
