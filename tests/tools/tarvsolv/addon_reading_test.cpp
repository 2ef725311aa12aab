// The add-on reads what the solver writes: the mesh file through its mesh reader, and every result
// block through its result reader, giving the values the solver computed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "formats/mesh_reader.h"
#include "formats/result_reader.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new PetscEnvironment);

struct AddOnView {
    mesh_solve::Mesh mesh;
    explicit AddOnView(const SolverJob& job) {
        EXPECT_EQ(mesh_solve::readMeshFile(mesh, job.meshPath()).status, mesh_solve::MeshReadStatus::Read);
    }
    results::NodeResults read(const SolverJob& job, int kind, int item, int step,
                              int solutionType = 0) const {
        results::NodeResults out;
        out.reset(mesh.nodeCount());
        const results::ResultRequest request{kind, item, step, solutionType};
        EXPECT_EQ(results::readResult(job.resultPath(), results::ResultMesh::of(mesh), request, out),
                  results::ReadStatus::Read);
        return out;
    }
};

FeMesh smallBeam(bool quadratic) {
    return makeBoxMesh({{}, {40, 5, 5}, 8, 1, 1, quadratic});
}

TEST(AddOnReading, DisplacementsAndStressesOfAStaticSolve) {
    for (bool quadratic : {false, true}) {
        SolverJob job(quadratic ? "read10" : "read4", smallBeam(quadratic));
        ASSERT_EQ(job.solve(clampedSteel({"bol 2 0 0, 0, -2"})), "");
        const AddOnView view(job);
        ASSERT_EQ(view.mesh.nodeCount(), job.mesh().nodeCount());
        ASSERT_EQ(view.mesh.nodesPerElement(), job.mesh().nodesPerElement);

        const auto u = job.nodeBlock("DISP 1");
        const auto z = view.read(job, 2, 2, 1);
        for (int n = 0; n < job.mesh().nodeCount(); ++n)
            EXPECT_NEAR(z.values[n], u[3 * n + 2], 1e-12) << "node " << n + 1;
        EXPECT_LT(z.smallest, -1e-3);

        // Corner averages of the add-on equal the solver's own corner lines; mid-side nodes get the
        // mean of their corners.
        const auto sx = job.nodalStress(0);
        const auto read = view.read(job, 4, 0, 1);
        for (int n = 0; n < job.mesh().nodeCount(); ++n) {
            if (std::isnan(sx[n])) continue;
            EXPECT_NEAR(read.values[n], sx[n], 1e-6 * (1 + std::abs(sx[n]))) << "node " << n + 1;
        }
        const auto mises = view.read(job, 4, 6, 1);
        EXPECT_GT(mises.largest, 1.0);
    }
}

// The end-to-end runs check the mode values and the temperatures the add-on reads against closed
// forms; the scale of the shapes is the solver's own.
TEST(AddOnReading, ModeShapesAreScaledToALargestComponentOfOne) {
    SolverJob job("readmodes", smallBeam(true));
    ASSERT_EQ(job.solve(clampedSteel({}, 3, "3,0,0,0,0"), SolverChoice::Direct), "");
    const AddOnView view(job);
    double largest = 0;
    for (int item = 0; item < 3; ++item) {
        const auto shape = view.read(job, 3, item, 1, 4);
        largest = std::max({largest, shape.largest, -shape.smallest});
    }
    EXPECT_NEAR(largest, 1.0, 1e-9);
}

}  // namespace
}  // namespace tarvsolv::testing
