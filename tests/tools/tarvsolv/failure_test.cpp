// Models the solver must refuse with a clear message, leaving the result file as the add-on left it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "base/petsc_handles.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

// A job the solver must refuse: a part of its message, and how it differs from the clamped beam
// under pressure. Time-stepped rows: solve row 2 the steps, row 3 the step size.
struct Refusal {
    std::string message;
    int code = 0;
    std::string solve = "0,0,0,0,0";
    std::vector<std::string> materials = {kSteel}, loads = {"bol 2 1 10"}, restraints = {"bor 1 0 0 0"},
                             constraints = {};
    std::vector<std::string> step = {};  // the step section: BUCKLE, DYNAMIC and its damping line
    std::vector<std::string> thermalLoads = {}, thermalRestraints = {};  // TLOADS, TRESTRAINTS
    SolverChoice solver = SolverChoice::Iterative;
};

const std::string kNoDensity = "1  210000,0.3,0,0,0,0,0,0,0,0,0,0,0";
const std::vector<std::string> kUndamped = {"DYNAMIC", " 0 0"}, kConvection = {"bol 1 2 0.002, 20"};
const std::string kNotSolved = " is not solved by this version of the solver";
constexpr auto kDirect = SolverChoice::Direct;

// A transient heat job with that solve line and material, cooled on face 1.
Refusal heat(std::string message, std::string solve, std::string material = kHeatSteel) {
    return {.message = message, .code = 2, .solve = solve, .materials = {material}, .loads = kConvection};
}

// An incompressible flow (header code 8) of water driven through the beam by a pressure on face 2,
// its face 1 a wall, differing by `change`.
Refusal flow(std::string message, std::function<void(Refusal&)> change) {
    Refusal r{.message = message, .code = 8, .materials = {"1  1e-06,1e-09,0.6,4180,0.0002"}};
    change(r);
    return r;
}

// The same flow carrying heat (header code 10), face 1 held at 50 degrees.
Refusal flowHeat(std::string message, std::function<void(Refusal&)> change) {
    Refusal r = flow(message, [](Refusal&) {});
    r.code = 10;
    r.thermalRestraints = {"bor 1 temp 50"};
    change(r);
    return r;
}

// A buckling job under `loads`, solved directly.
Refusal buckling(std::string message, std::vector<std::string> loads, std::vector<std::string> restraints) {
    return {.message = message,
            .solve = "2,0,0,0,0",
            .loads = loads,
            .restraints = restraints,
            .step = {"BUCKLE"},
            .solver = SolverChoice::Direct};
}

const Refusal kRefusals[] = {
    {.message = "can move along X", .restraints = {"bor 1 1 1 0"}},  // only Z held
    {.message = "rotate", .restraints = {"pxr 0,0,0 0 0 0"}},        // one point held
    {.message = "no material for body 1", .materials = {"2  210000,0.3,0,0,0,0,0,0,0,0,0,0,0"}},
    {.message = "assign a material first", .materials = {}},
    {.message = "unknown load 'qqq'", .loads = {"qqq 2 1 10"}},
    {.message = "no facets on face 9", .loads = {"bol 9 1 10"}},
    // Constants that make no material, and a missing material table, name its input line.
    {.message = "input line 12: Young's modulus 2 must be above 0",
     .materials = {"1  210000,0.3,0,7.85e-06,0,-1,0,0,0,0,0,0,0"}},
    {.message = "input line 12: the shear modulus 1-2 must be above 0",
     .materials = {"1  210000,0.3,0,7.85e-06,0,0,-5,0,0,0,0,0,0"}},
    {.message = "input line 12: Poisson's ratio must lie between",
     .materials = {"1  210000,0.5,0,7.85e-06,0,0,0,0,0,0,0,0,0"}},
    {.message = "not positive definite", .materials = {"1  210000,0.45,0,7.85e-06,0,2e6,0,0,0,0,0,0,0"}},
    {.message = "material on input line", .materials = {"1  tabm3,0.3,0,7.85e-06,0,0,0,0,0,0,0,0,0"}},
    {.message = "plasticity needs a tensile yield Sy above 0", .code = -1},
    {.message = "body 1 is not a gas: its ratio of specific heats must be above 1", .code = 9},
    {.message = "fluid flow" + kNotSolved, .code = 15},
    // Incompressible flow: a fluid without density or viscosity, a model with nothing on its faces,
    // and the entries a flow does not take, each named with its line.
    flow("the fluid of body 1 needs a density and a dynamic viscosity above 0",
         [](Refusal& r) { r.materials = {"1  0,1e-09,0,0,0"}; }),
    flow("input line 12: the fluid of body 1", [](Refusal& r) { r.materials = {"1  1e-06,-1,0,0,0"}; }),
    flow("no boundary condition at all", [](Refusal& r) { r.loads = {}, r.restraints = {}; }),
    flow("input line 15 'bol 2 0 1, 0, 0': a flow takes a velocity",
         [](Refusal& r) { r.loads = {"bol 2 0 1, 0, 0"}; }),
    flow("no loads on edges", [](Refusal& r) { r.loads = {"efl 1 3 0 1, 0, 0"}; }),
    flow("an initial pressure and temperature belongs to a compressible flow",
         [](Refusal& r) { r.loads.push_back("il 0.1, 20"); }),
    flow("no loads on edges, vertices or points", [](Refusal& r) { r.loads = {"pxf 0,0,0 1, 0, 0"}; }),
    flow("takes no spin", [](Refusal& r) { r.loads = {"cx 0,0,0 1 0 0 100"}; }),
    flow("takes no temperatures", [](Refusal& r) { r.loads = {"t /tmp/other.out"}; }),
    flow("a held temperature belongs to a thermal loadcase",
         [](Refusal& r) { r.restraints = {"bor 1 temp 20"}; }),
    flow("'bog 2 1,0,0,0.1': a flow takes no interactions",
         [](Refusal& r) { r.constraints = {"bog 2 1,0,0,0.1"}; }),
    // A flow that carries heat: its heat constants, and each line in its own section.
    flowHeat("carries heat: it needs a conductivity and a heat capacity above 0",
             [](Refusal& r) { r.materials = {"1  1e-06,1e-09,0,4180,0.0002"}; }),
    flowHeat("'bol 2 2 0.002, 20': a thermal load belongs in TLOADS",
             [](Refusal& r) { r.loads.push_back("bol 2 2 0.002, 20"); }),
    flowHeat("'bor 1 temp 50': a held temperature belongs in TRESTRAINTS",
             [](Refusal& r) { r.restraints.push_back("bor 1 temp 50"); }),
    flowHeat("TRESTRAINTS holds temperatures", [](Refusal& r) { r.thermalRestraints = {"bor 2 0 0 0"}; }),
    flowHeat("load code 1 is not a thermal load", [](Refusal& r) { r.thermalLoads = {"bol 2 1 10"}; }),
    flowHeat("heat flux and convection on faces only", [](Refusal& r) { r.thermalLoads = {"pxf 0,0,0 5"}; }),
    // A body of viscosity 0 is a solid: not a flow without heat, and not every body of one with heat.
    flow("a body of viscosity 0 is a solid, which conducts heat only and is solved by \"multiphysics\"",
         [](Refusal& r) { r.materials = {"1  1e-06,0,0.6,4180,0.0002"}; }),
    flowHeat("needs at least one fluid body (dynamic viscosity above 0)",
             [](Refusal& r) { r.materials = {"1  1e-06,0,0.6,4180,0.0002"}; }),
    {.message = "nothing fixes the temperature level",
     .code = 1,
     .materials = {kHeatSteel},
     .loads = {"bol 1 0 0.01"}},
    {.message = "natural frequencies need a density above 0",
     .code = 3,
     .solve = "2,0,0,0,0",
     .materials = {kNoDensity},
     .solver = kDirect},
    // Buckling, pulled on rollers (a pure tension), pulled while clamped (compressed only near the
    // clamp's corners, no mode separates from the cluster at 0), and unloaded.
    buckling("no part of the model in compression", {"bol 2 1 -1"},
             {"bor 1 0 1 1", "pxr 0,0,0 1 0 0", "pxr 0,5,0 1 1 0", "pxr 0,0,5 1 0 1"}),
    buckling("compress the model too little", {"bol 2 1 -1"}, {"bor 1 0 0 0"}),
    buckling("no prestress", {}, {"bor 1 0 0 0"}),
    // Forced vibrations and transient heat: the step plan, the mass, the damping.
    {.message = "number of steps", .code = 5, .solve = "20,0,1e-5,1,0", .step = kUndamped},
    {.message = "forced vibrations need a density above 0",
     .code = 5,
     .solve = "20,10,1e-5,1,0",
     .materials = {kNoDensity},
     .step = kUndamped},
    {.message = "damping coefficients", .code = 5, .solve = "20,10,1e-5,1,0", .step = {"DYNAMIC", " -1 0"}},
    heat("step size above 0", "20,10,-1,1,0"),
    heat("number of steps", "20,0,1,1,0"),
    heat("density and a specific heat above 0", "20,10,1,1,0", "1  0.05,0,0"),
};

// Each refusal says why and leaves the result file as the add-on left it (the GUI's run of solves
// that end checks a missing mesh and a forced vibration without a step size through the add-on).
TEST(Refusals, SayWhyAndLeaveTheResultFile) {
    SolverJob job("refusal", shortBeam());
    for (const Refusal& r : kRefusals) {
        SCOPED_TRACE(r.message + ", code " + std::to_string(r.code) + ", solve " + r.solve);
        JobText text = clampedSteel(r.loads, r.code, r.solve);
        text.materials = r.materials;
        text.restraints = r.restraints;
        text.constraints = r.constraints;
        text.stepSection = r.step;
        text.thermalLoads = r.thermalLoads;
        text.thermalRestraints = r.thermalRestraints;
        EXPECT_THAT(job.refused(text, r.solver), HasSubstr(r.message));
    }
}

// An assembly keeps one material, written for body 1, and the solver input lists no bodies: that
// material holds for the second body the mesher's companion file names too.
TEST(Refusals, AssemblyMaterialHoldsForEveryBody) {
    SolverJob job("assembly", shortBeam());
    const int elements = job.mesh().elementCount();
    std::ofstream(job.folder() + "/assembly.mtp")
        << "VELGRIN TOPOLOGY 1\nUNIT mm\nNODES " << job.mesh().nodeCount() << " ELEMENTS " << elements
        << "\nBODIES 2\n1 1 " << elements / 2 << "\n2 " << elements / 2 + 1 << " " << elements
        << "\nFACES 0\nEDGES 0\nVERTICES 0\nEND\n";
    JobText text = heldBeamUnderPressure();
    // A part lists its bodies: each needs its material.
    EXPECT_THAT(job.refused(text), HasSubstr("no material for body 2"));
    text.bodies.clear();
    EXPECT_EQ(job.solve(text), "");
    job.displacements();
}

// A failing PETSc call is reported under the name of the function called, in PETSc's own words.
TEST(PetscCheck, NamesTheFailingCall) {
    Vec v = nullptr;
    try {
        TARV_PETSC(VecCreateMPI(PETSC_COMM_WORLD, 5, 3, &v));  // local 5 of a global 3
        ADD_FAILURE() << "a local length above the global one was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "VecCreateMPI failed: Local size 5 cannot be larger than global size 3");
    }
    VecDestroy(&v);
}

// A model free in space still has natural frequencies: its rigid-body modes come first at 0 Hz.
TEST(FreeModes, UnrestrainedBodyHasSixZeroFrequencies) {
    SolverJob job("free", shortBeam());
    JobText text = clampedSteel({}, 3, "7,0,0,0,0");
    text.restraints.clear();
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    const std::vector<double> f = job.modeFrequencies();
    ASSERT_EQ(f.size(), 7u);
    for (int k = 0; k < 6; ++k) EXPECT_LT(f[k], 1e-3 * f[6]) << "mode " << k + 1;
    EXPECT_GT(f[6], 1000.0);
}

// A cube on rollers under three faces has a repeated lowest frequency (its two sways are alike):
// asking for two or three modes lists it twice, as asking for six does.
TEST(FreeModes, ARepeatedFrequencyIsListedAsOftenAsItRepeats) {
    SolverJob job("repeated", makeBoxMesh({{}, {10, 10, 10}, 3, 3, 3, true}));
    JobText text = clampedSteel({}, 3);
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
    SolverJob job("stray", mesh);
    JobText text = heldBeamUnderPressure();
    ASSERT_EQ(job.solve(text, SolverChoice::Iterative), "");
    const auto u = job.displacements();
    EXPECT_EQ(u[u.size() - 1], 0.0);
    EXPECT_LT(*std::min_element(u.begin(), u.end()), -1e-4);

    ASSERT_EQ(job.solve(heatJob({"bol 1 0 0.01", "bol 2 2 0.002, 20"}), SolverChoice::Direct), "");
    EXPECT_EQ(job.nodeBlock("TEMP 1").back(), 0.0);
}

// PETSc options reach the solves. A solution left far from converged by a loose tolerance leaves
// the reactions short of the loads: the log says they do not balance. An option naming an algorithm
// PETSc does not have fails with PETSc's own words, not blamed on the restraints. The direct path
// stays open to another factorisation: CHOLMOD gives MUMPS's displacements, and the null-pivot
// count MUMPS alone keeps is not asked of it.
TEST(PetscOptions, ALooseToleranceIsFlaggedAndAnotherFactorisationAgreesWithMumps) {
    SolverJob job("options", shortBeam());
    ASSERT_EQ(job.solve(heldBeamUnderPressure(), SolverChoice::Direct), "");
    const auto mumps = job.nodeBlock("DISP 1");
    const auto runWith = [&](const char* option, const char* value, SolverChoice solver) {
        EXPECT_EQ(PetscOptionsSetValue(nullptr, option, value), 0);
        const std::string message = job.run(solver);
        EXPECT_EQ(PetscOptionsClearValue(nullptr, option), 0);
        return message;
    };
    ASSERT_EQ(runWith("-ksp_rtol", "1e-2", SolverChoice::Iterative), "");
    EXPECT_THAT(job.logText(), HasSubstr("warning: the reactions do not balance the applied loads"));
    EXPECT_EQ(runWith("-matptap_via", "allatonce", SolverChoice::Iterative),
              "the solver failed: Unknown option allatonce for -matptap_via. Available options: scalable rap "
              "hypre");
    ASSERT_EQ(runWith("-pc_factor_mat_solver_type", "cholmod", SolverChoice::Direct), "");
    const auto cholmod = job.nodeBlock("DISP 1");
    EXPECT_GT(largestMagnitude(mumps), 1e-6);
    EXPECT_LT(largestDifference(cholmod, mumps), 1e-9 * largestMagnitude(mumps));
}

}  // namespace
}  // namespace tarvsolv::testing
