// Thermal stress in one run (header codes 11 to 14): the temperatures of the T sections solved
// first and the structure loaded by them, against closed forms: a bar held between two walls
// with its ends at two temperatures, steady and suddenly heated (the series solution of 1-D
// conduction); the heated modes and buckling against the same analyses loaded by a temperature
// file; and the inputs refused. The thick cylinder with a radial temperature difference is the
// end-to-end run thermtube.run.
#include <gtest/gtest.h>

#include <cmath>

#include "closed_forms.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

constexpr double kAlpha = 1.2e-5;                        // the fixture steel's expansion, 1/C
constexpr double kDiffusivity = 0.05 / (7.85e-6 * 460);  // k / (rho c) of its heat steel, mm2/s

// A 100 x 5 x 5 steel bar along X between two walls (faces 1 and 2 held along X), on rollers
// at y = 0 and z = 0 so that it is free across; its ends held at `hot` and `cold` degrees.
constexpr double kLength = 100, kWidth = 5;
JobText barBetweenWalls(int code, const std::string& solve, double hot, double cold) {
    JobText text;
    text.analysisCode = code;
    text.solve = solve;
    text.materials = {kSteel};
    text.restraints = {"bor 1 0 1 1", "bor 2 0 1 1", "bor 3 1 0 1", "bor 5 1 1 0"};
    text.thermalMaterials = {kHeatSteel};
    text.thermalRestraints = {"bor 1 temp " + std::to_string(hot), "bor 2 temp " + std::to_string(cold)};
    return text;
}

FeMesh barMesh() {
    return makeBoxMesh({{}, {kLength, kWidth, kWidth}, 10, 1, 1, true});
}

// The walls hold the end faces flat, where a free bar with a temperature gradient would bend its
// sections: the stresses that keep them flat die out within about two widths (Saint-Venant). Every
// corner's axial stress of block `block` in the middle half lies within `tolerance` of `expected`.
void expectUniformAxialStress(const SolverJob& job, const std::string& block, double expected,
                              double tolerance) {
    const std::vector<double> nodes = job.cornerColumn(block, -1), sx = job.cornerColumn(block, 0);
    int middle = 0;
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        if (std::abs(job.mesh().node(static_cast<int>(nodes[k]) - 1).x - kLength / 2) > kLength / 4) continue;
        ++middle;
        ASSERT_NEAR(sx[k], expected, tolerance * std::abs(expected)) << block << ", node " << nodes[k];
    }
    EXPECT_GT(middle, 0) << block;
}

TEST(ThermalStress, BarBetweenWallsHeatedAtOneEnd) {
    // Steady: T falls linearly from 100 to 20, 20 being the stress-free temperature. Equilibrium
    // makes the axial stress uniform, -E alpha (Tmean - T0), while the free sides swell with the
    // local temperature: e_y = alpha (T(x) - T0) - nu s_x / E.
    SolverJob job("bar", barMesh());
    ASSERT_EQ(job.solve(barBetweenWalls(11, "20,0,0,0,0", 100, 20)), "");
    EXPECT_EQ(job.blockSteps("TEMP "), std::vector<int>{1});
    const double stress = -kSteelE * kAlpha * (60 - 20);
    expectUniformAxialStress(job, "STRES 1", stress, 0.01);
    // The wall carries the mean stress over the whole section, end effects and all.
    EXPECT_NEAR(job.logTriple("restraint on face 1")[0], -stress * kWidth * kWidth,
                1e-6 * std::abs(stress) * kWidth * kWidth);
    const std::vector<double> t = job.nodeBlock("TEMP 1"), u = job.displacements();
    for (int n : nodesWhere(job.mesh(), [](const Vec3& p) { return std::abs(p.y - kWidth) < 1e-9; })) {
        const double x = job.mesh().node(n).x, temperature = 100 - 80 * x / kLength;
        ASSERT_NEAR(t[n], temperature, 1e-5) << x;
        if (std::abs(x - kLength / 2) > kLength / 4) continue;
        const double swelling = kWidth * (kAlpha * (temperature - 20) - kSteelNu * stress / kSteelE);
        ASSERT_NEAR(u[3 * n + 1], swelling, 0.01 * std::abs(swelling)) << x;
    }

    // Uniformly at the stress-free temperature the bar carries nothing.
    ASSERT_EQ(job.solve(barBetweenWalls(11, "20,0,0,0,0", 20, 20)), "");
    EXPECT_LT(largestMagnitude(job.cornerColumn("STRES 1", 0)), 1e-4);
}

TEST(ThermalStress, BarBetweenWallsSuddenlyHeatedFollowsTheSeries) {
    // From 20 C, the end x = 0 held at 100 from t = 0: every printed step holds TEMP, DISP and
    // STRES, the axial stress -E alpha (mean rise) of that time. The rise's time constant
    // L^2 / (pi^2 kappa) is 53 s; steps of 10 s, printed every 10, to 400 s.
    SolverJob job("sudden", barMesh());
    ASSERT_EQ(job.solve(barBetweenWalls(12, "20,40,10,10,0", 100, 20)), "");
    const std::vector<int> printed{10, 20, 30, 40};
    EXPECT_EQ(job.blockSteps("TEMP "), printed);
    EXPECT_EQ(job.blockSteps("DISP "), printed);
    EXPECT_EQ(job.blockSteps("STRES "), printed);
    for (int step : printed)
        expectUniformAxialStress(
            job, "STRES " + std::to_string(step),
            -kSteelE * kAlpha * 80 * heldEndsMeanRise(10.0 * step, kLength, kDiffusivity), 0.03);

    // The same structure loaded by that result file's temperatures (a `t` load takes its last TEMP
    // block and the stress-free temperature of solve row 2) has the last step's displacements.
    const std::vector<double> last = job.displacements(40);
    const std::string hot = job.folder() + "/hot.out";
    std::filesystem::copy_file(job.resultPath(), hot);
    JobText loaded = barBetweenWalls(0, "20,0,0,0,0", 0, 0);
    loaded.thermalMaterials.clear(), loaded.thermalRestraints.clear();
    loaded.loads = {"t " + hot};
    ASSERT_EQ(job.solve(loaded), "");
    EXPECT_LT(largestDifference(job.displacements(), last), 1e-6 * largestMagnitude(last));
    EXPECT_THAT(job.logText(), HasSubstr("TEMP 40, the last of the file's 4 temperature block(s)"));
}

// A 200 x 20 x 10 steel bar clamped at both ends, its ends held at `hot` and `cold` C, 20 C its
// stress-free temperature (solve row 3), two modes.
JobText heatedClampedBar(int code, double hot, double cold) {
    JobText text;
    text.analysisCode = code;
    text.solve = "2,20,0,0,0";
    text.materials = {kSteel};
    text.restraints = {"bor 1 0 0 0", "bor 2 0 0 0"};
    text.thermalMaterials = {kHeatSteel};
    text.thermalRestraints = {"bor 1 temp " + std::to_string(hot), "bor 2 temp " + std::to_string(cold)};
    return text;
}

TEST(ThermalStress, BucklingAndModesAboutAHeatedState) {
    SolverJob job("heated", makeBoxMesh({{}, {200, 20, 10}, 20, 2, 1, true}));
    // With its ends at 100 and 40 C and its modulus falling with temperature, the bar buckles at the
    // load factors of the same bar loaded by the heated run's own result file (TEMP 1 before the
    // modes), which a `t` load reads against the same stress-free temperature.
    JobText heated = heatedClampedBar(13, 100, 40);
    heated.materials = {"1  210000*(1-T/1000),0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0"};
    ASSERT_EQ(job.solve(heated, SolverChoice::Direct), "");
    const std::vector<double> factors = job.modeFrequencies();
    ASSERT_EQ(factors.size(), 2u);
    EXPECT_EQ(job.blockSteps("TEMP "), std::vector<int>{1});
    EXPECT_EQ(job.blockSteps("EIGE "), (std::vector<int>{1, 2}));
    EXPECT_LT(job.resultText().find("TEMP 1"), job.resultText().find("NATU"));
    const std::string file = job.folder() + "/warm.out";
    std::filesystem::copy_file(job.resultPath(), file);
    JobText loaded = heated;
    loaded.analysisCode = 0;
    loaded.stepSection = {"BUCKLE"};
    loaded.thermalMaterials.clear(), loaded.thermalRestraints.clear();
    loaded.loads = {"t " + file};
    ASSERT_EQ(job.solve(loaded, SolverChoice::Direct), "");
    const std::vector<double> expected = job.modeFrequencies();
    ASSERT_EQ(expected.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_NEAR(factors[i], expected[i], 1e-6 * expected[i]) << i;

    // Heated uniformly by 300 C its compression softens it: by Rayleigh's quotient on the clamped
    // beam's first mode, f^2 = f0^2 (1 - g P / Pcr) with g = 0.970 (the quotient of that mode's
    // slope and curvature integrals times 4 pi^2), and P / Pcr is 1 over the heated state's lowest
    // buckling factor.
    ASSERT_EQ(job.solve(heatedClampedBar(13, 320, 320), SolverChoice::Direct), "");
    const double factor = job.modeFrequencies().at(0);
    ASSERT_EQ(job.solve(heatedClampedBar(14, 20, 20), SolverChoice::Direct), "");
    const double cold = job.modeFrequencies().at(0);
    ASSERT_EQ(job.solve(heatedClampedBar(14, 320, 320), SolverChoice::Direct), "");
    const double warm = job.modeFrequencies().at(0);
    EXPECT_NEAR(1 - warm * warm / (cold * cold), 0.970 / factor, 0.02 / factor);
    // Heated past its buckling point it has no natural frequencies.
    EXPECT_THAT(job.refused(heatedClampedBar(14, 20 + 400 * factor, 20 + 400 * factor), SolverChoice::Direct),
                HasSubstr("beyond its buckling point"));
}

TEST(ThermalStress, RefusesSectionsOfTheWrongPhysics) {
    // Each refusal names the line and leaves the result file as it was.
    SolverJob job("refused", barMesh());
    const std::pair<std::function<void(JobText&)>, const char*> refusals[] = {
        {[](JobText& t) { t.thermalMaterials.clear(); }, "TMATERIALS"},
        {[](JobText& t) { t.materials = {kHeatSteel}; }, "a thermal material"},
        {[](JobText& t) { t.thermalMaterials = {kSteel}; }, "a mechanical material"},
        {[](JobText& t) { t.loads = {"bol 3 2 10, 20"}; },
         "'bol 3 2 10, 20': a thermal load belongs in TLOADS"},
        {[](JobText& t) { t.loads = {"al 5"}; }, "a thermal load belongs in TLOADS"},
        {[](JobText& t) { t.loads = {"t other.out"}; }, "computes its own temperatures"},
        {[](JobText& t) { t.restraints.push_back("bor 4 temp 50"); }, "belongs in TRESTRAINTS"},
        {[](JobText& t) { t.thermalLoads = {"bol 3 1 10"}; }, "a mechanical load belongs in LOADS"},
        {[](JobText& t) { t.thermalLoads = {"pxf 0,0,0 1, 2, 3"}; }, "a mechanical load belongs in LOADS"},
        {[](JobText& t) { t.thermalRestraints.push_back("bor 3 0 0 0"); },
         "fixed directions belong in RESTRAINTS"},
        // The thermal part is a thermal loadcase: a heat flux alone fixes no temperature level.
        {[](JobText& t) { t.thermalRestraints.clear(), t.thermalLoads = {"bol 1 0 5"}; },
         "nothing fixes the temperature level"},
    };
    for (const auto& [change, message] : refusals) {
        JobText text = barBetweenWalls(11, "20,0,0,0,0", 100, 20);
        change(text);
        EXPECT_THAT(job.refused(text), HasSubstr(message));
    }
}

}  // namespace
}  // namespace tarvsolv::testing
