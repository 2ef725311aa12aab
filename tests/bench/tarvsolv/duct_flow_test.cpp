#include "duct_flow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string>

#include "fem/box_mesh.h"
#include "support/scratch_folder.h"

namespace tarvsolv {
namespace {

// The square duct's figures in the dimensionless form the tables of laminar duct flow give them:
// the Fanning friction factor times the Reynolds number on the hydraulic diameter (the side),
// G a^2 / (2 mu U), and the centreline speed over the mean speed.
TEST(DuctFlowTest, SquareDuctMatchesThePublishedFrictionFactorAndSpeedRatio) {
    const double side = 0.01, gradient = 0.5, viscosity = 1.002e-3;
    const DuctFlow flow = squareDuctFlow(side, gradient, viscosity);
    const double mean = flow.flowRate / (side * side);
    EXPECT_NEAR(gradient * side * side / (2 * viscosity * mean), 14.22708, 2e-5);
    EXPECT_NEAR(flow.centreSpeed / mean, 2.09624, 2e-5);
}

// A quadratic field, which the quadratic mesh carries exactly, through the faces of a box of side
// a and length L along x: u = (y (a - y) + z (a - z), y, 0).
TEST(DuctFlowTest, FaceFlowIntegratesAlongTheOutwardNormalOfEachFace) {
    const double a = 2, length = 3;
    const FeMesh mesh = makeBoxMesh({{}, {length, a, a}, 3, 2, 2, true});
    std::vector<double> velocities;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const Vec3 p = mesh.node(n);
        velocities.insert(velocities.end(), {p.y * (a - p.y) + p.z * (a - p.z), p.y, 0});
    }
    const double section = std::pow(a, 4) / 3;
    const DuctFlow out = faceFlow(mesh, velocities, 2), in = faceFlow(mesh, velocities, 1);
    EXPECT_NEAR(out.flowRate, section, 1e-12);
    EXPECT_NEAR(in.flowRate, -section, 1e-12);
    EXPECT_NEAR(out.centreSpeed, std::hypot(a * a / 2, a / 2), 1e-12);
    // The side y = a, outward +y: u_y = a over its whole area.
    EXPECT_NEAR(faceFlow(mesh, velocities, 4).flowRate, a * a * length, 1e-12);

    EXPECT_THROW(faceFlow(mesh, velocities, 7), std::runtime_error);
    velocities.resize(velocities.size() - 3);
    EXPECT_THROW(faceFlow(mesh, velocities, 2), std::runtime_error);
}

// The last VELO block is the one read; a file without one, or with a node out of order, is refused.
TEST(DuctFlowTest, ReadsTheLastVelocityBlock) {
    ScratchFolder scratch;
    const std::string path = scratch.file("job.out");
    const auto write = [&](const std::string& text) { std::ofstream(path) << text; };
    write(
        "MESHFILE\nx.meb\nVELO 1\n1 1e+00 0 0\n2 2e+00 0 0\n\nPRES 1\n1 5\n2 6\n\nVELO 2\n1 3e+00 0 1\n2 "
        "4e+00 0 0\n\n");
    EXPECT_EQ(lastVelocities(path), (std::vector<double>{3, 0, 1, 4, 0, 0}));
    write("MESHFILE\nx.meb\nDISP 1\n1 1 0 0\n\n");
    EXPECT_THROW(lastVelocities(path), std::runtime_error);
    write("VELO 1\n2 1 0 0\n\n");
    EXPECT_THROW(lastVelocities(path), std::runtime_error);
    EXPECT_THROW(lastVelocities(scratch.file("missing.out")), std::runtime_error);
}

}  // namespace
}  // namespace tarvsolv
