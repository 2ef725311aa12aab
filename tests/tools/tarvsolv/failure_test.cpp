// Models the solver must refuse with a clear message, leaving the result file as the add-on left it.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/petsc_handles.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

class Refusals : public ::testing::Test {
  protected:
    void SetUp() override { job.writeMesh(shortBeam()); }
    // Runs the job and checks that it failed with `expected` in its message and left the result
    // file untouched.
    void expectRefusal(const std::string& expected, SolverChoice solver = SolverChoice::Iterative) {
        const std::string message = job.refused(text, solver);
        EXPECT_NE(message.find(expected), std::string::npos) << message;
    }
    SolverJob job{"refusal"};
    JobText text = heldBeamUnderPressure();
};

TEST_F(Refusals, ModelWithoutEnoughRestraints) {
    text.restraints = {"bor 1 1 1 0"};  // only Z held: free to slide and turn
    expectRefusal("can move along X");
    text.restraints = {"pxr 0,0,0 0 0 0"};  // one point: free to turn
    expectRefusal("rotate");
}

TEST_F(Refusals, MissingMaterialOrMeshOrAnUnknownLoad) {
    text.materials = {"2  210000,0.3,0,0,0,0,0,0,0,0,0,0,0"};
    expectRefusal("no material for body 1");
    text.materials = {};
    expectRefusal("assign a material first");
    text.materials = {kSteel};
    text.loads = {"qqq 2 1 10"};
    expectRefusal("unknown load 'qqq'");
    text.loads = {"bol 9 1 10"};
    expectRefusal("no facets on face 9");
    text.loads = {"bol 2 1 10"};
    std::filesystem::remove(job.meshPath());
    expectRefusal("create a mesh first");
}

// An assembly keeps one material, written for body 1, and the solver input lists no bodies: that
// material holds for the second body the mesher's companion file names too.
TEST_F(Refusals, AssemblyMaterialHoldsForEveryBody) {
    const int elements = job.mesh().elementCount();
    std::ofstream(job.folder() + "/refusal.mtp")
        << "VELGRIN TOPOLOGY 1\nUNIT mm\nNODES " << job.mesh().nodeCount() << " ELEMENTS " << elements
        << "\nBODIES 2\n1 1 " << elements / 2 << "\n2 " << elements / 2 + 1 << " " << elements
        << "\nFACES 0\nEDGES 0\nVERTICES 0\nEND\n";
    expectRefusal("no material for body 2");  // a part lists its bodies: each needs its material
    text.bodies.clear();
    EXPECT_EQ(job.solve(text), "");
    EXPECT_EQ(job.nodeBlock("DISP 1").size(), 3u * job.mesh().nodeCount());
}

// Orthotropic constants that make no material, and a material table that does not exist, name the
// material's input line.
TEST_F(Refusals, OrthotropicConstantsThatMakeNoMaterial) {
    text.materials = {"1  210000,0.3,0,7.85e-06,0,-1,0,0,0,0,0,0,0"};
    expectRefusal("Young's modulus 2 must be above 0");
    text.materials = {"1  210000,0.45,0,7.85e-06,0,2e6,0,0,0,0,0,0,0"};
    expectRefusal("not positive definite");
    text.materials = {"1  tabm3,0.3,0,7.85e-06,0,0,0,0,0,0,0,0,0"};
    expectRefusal("material on input line");
}

TEST_F(Refusals, PlasticityNeedsAYieldStress) {
    text.analysisCode = -1;
    expectRefusal("plasticity needs a tensile yield Sy above 0");
}

TEST_F(Refusals, FluidFlowIsNotTakenForStatics) {
    for (int code : {8, 9, 10, 12}) {
        text.analysisCode = code;
        expectRefusal("fluid flow is not solved by this version of the solver");
    }
}

TEST_F(Refusals, HeatWithoutConvectionHasNoTemperatureLevel) {
    text.analysisCode = 1;
    text.materials = {"1  0.05,0,0,7.85e-09,460"};
    text.restraints = {};
    text.loads = {"bol 1 0 0.01"};
    expectRefusal("nothing fixes the temperature level");
}

TEST_F(Refusals, DensityIsNeededForNaturalFrequencies) {
    text.analysisCode = 3;
    text.solve = "2,0,0,0,0";
    text.materials = {"1  210000,0.3,0,0,0,0,0,0,0,0,0,0,0"};
    expectRefusal("density above 0", SolverChoice::Direct);
}

// A failing PETSc call is reported under the name of the function called.
TEST(PetscCheck, NamesTheFailingCall) {
    Vec v = nullptr;
    try {
        TARV_PETSC(VecCreateMPI(PETSC_COMM_WORLD, 5, 3, &v));  // local 5 of a global 3
        ADD_FAILURE() << "a local length above the global one was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("VecCreateMPI failed: ", 0), 0u) << e.what();
    }
    VecDestroy(&v);
}

// A model free in space still has natural frequencies: its rigid-body modes come first at 0 Hz.
TEST(FreeModes, UnrestrainedBodyHasSixZeroFrequencies) {
    SolverJob job("free");
    job.writeMesh(shortBeam());
    JobText text;
    text.analysisCode = 3;
    text.solve = "7,0,0,0,0";
    text.materials = {kSteel};
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    const std::vector<double> f = job.modeFrequencies();
    ASSERT_EQ(f.size(), 7u);
    for (int k = 0; k < 6; ++k) EXPECT_LT(f[k], 1e-3 * f[6]) << "mode " << k + 1;
    EXPECT_GT(f[6], 1000.0);
}

// A cube on rollers under three faces has a repeated lowest frequency (its two sways are alike):
// asking for two or three modes lists it twice, as asking for six does.
TEST(FreeModes, ARepeatedFrequencyIsListedAsOftenAsItRepeats) {
    SolverJob job("repeated");
    job.writeMesh(makeBoxMesh({{}, {10, 10, 10}, 3, 3, 3, true}));
    JobText text;
    text.analysisCode = 3;
    text.materials = {kSteel};
    text.restraints = {"bor 5 1 1 0", "bor 1 0 1 1", "bor 3 1 0 1"};
    std::vector<std::vector<double>> runs;
    for (const char* solve : {"2,0,0,0,0", "3,0,0,0,0", "6,0,0,0,0"}) {
        text.solve = solve;
        ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
        runs.push_back(job.modeFrequencies());
    }
    const std::vector<double>& all = runs.back();
    ASSERT_EQ(all.size(), 6u);
    EXPECT_NEAR(all[1], all[0], 1e-6 * all[0]) << "the sways in x and y";
    for (const auto& run : {runs[0], runs[1]}) {
        ASSERT_LE(run.size(), all.size());
        for (std::size_t k = 0; k < run.size(); ++k)
            EXPECT_NEAR(run[k], all[k], 1e-6 * all[k]) << "mode " << k + 1;
    }
}

// A mesh with a node no element uses still solves, statics and heat alike; the stray node stays at 0.
TEST(StrayNodes, AreHeldAtZeroInsteadOfMakingTheModelSingular) {
    FeMesh mesh = shortBeam();
    for (double v : {100.0, 100.0, 100.0}) mesh.xyz.push_back(v);
    SolverJob job("stray");
    job.writeMesh(mesh);
    JobText text = heldBeamUnderPressure();
    ASSERT_EQ(job.solve(text, SolverChoice::Iterative), "");
    const auto u = job.nodeBlock("DISP 1");
    ASSERT_EQ(u.size(), 3u * mesh.nodeCount());
    EXPECT_EQ(u[u.size() - 1], 0.0);
    EXPECT_LT(*std::min_element(u.begin(), u.end()), -1e-4);

    text.analysisCode = 1;
    text.materials = {"1  0.05,0,0,7.85e-06,460"};
    text.loads = {"bol 1 0 0.01", "bol 2 2 0.002, 20"};
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    EXPECT_EQ(job.nodeBlock("TEMP 1").back(), 0.0);
}

// A solution left far from converged (by a loose PETSc tolerance) leaves the reactions short of
// the loads: the log says they do not balance.
TEST(Reactions, AnInaccurateSolutionIsFlaggedAsOutOfBalance) {
    SolverJob job("loose");
    job.writeMesh(shortBeam());
    job.writeInput(heldBeamUnderPressure());
    ASSERT_EQ(PetscOptionsSetValue(nullptr, "-ksp_rtol", "1e-2"), 0);
    const std::string error = job.run(SolverChoice::Iterative);
    PetscOptionsClearValue(nullptr, "-ksp_rtol");
    ASSERT_EQ(error, "");
    EXPECT_NE(job.logText().find("warning: the reactions do not balance the applied loads"),
              std::string::npos)
        << job.logText();
}

// The direct path stays open to another factorisation picked by a PETSc option: CHOLMOD gives
// MUMPS's displacements, and the null-pivot count MUMPS alone keeps is not asked of it.
TEST(DirectSolver, AnotherFactorisationChosenByOptionAgreesWithMumps) {
    SolverJob job("cholmod");
    job.writeMesh(shortBeam());
    ASSERT_EQ(job.solve(heldBeamUnderPressure(), SolverChoice::Direct), "");
    const auto mumps = job.nodeBlock("DISP 1");
    ASSERT_EQ(PetscOptionsSetValue(nullptr, "-pc_factor_mat_solver_type", "cholmod"), 0);
    const std::string message = job.run(SolverChoice::Direct);
    ASSERT_EQ(PetscOptionsClearValue(nullptr, "-pc_factor_mat_solver_type"), 0);
    ASSERT_EQ(message, "");
    const auto cholmod = job.nodeBlock("DISP 1");
    EXPECT_GT(largestMagnitude(mumps), 1e-6);
    EXPECT_LT(largestDifference(cholmod, mumps), 1e-9 * largestMagnitude(mumps));
}

}  // namespace
}  // namespace tarvsolv::testing
