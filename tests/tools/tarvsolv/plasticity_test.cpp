// Plasticity through whole solver runs on box meshes: a bar pulled beyond yield, a thick cylinder
// under internal pressure against its elastic limit and collapse pressures, and a load the body
// cannot carry, which stops with the converged steps kept.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "physics/plastic_analysis.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

constexpr double kE = 200000, kNu = 0.3, kYield = 250;  // N/mm2

// Elastic-perfectly plastic steel: Sy 250, no fracture limit.
const char* kPlasticSteel = "1  200000,0.3,0,0,0,0,0,0,0,250,0,0,0";

// A 10 x 1 x 1 bar on rollers at x = 0, y = 0, z = 0, its end x = 10 pulled by `pull`.
JobText pulledBar(double pull, const std::string& solve) {
    JobText text = clampedSteel({}, -1, solve);
    text.materials = {kPlasticSteel};
    text.restraints = {"bor 1 0 1 1", "bor 3 1 0 1", "bor 5 1 1 0"};
    text.constraints = {"boc 2 1,0,0," + std::to_string(pull)};
    return text;
}

// Von Mises on linear and quadratic elements (the quadratic bar in the 16 load steps of solve
// row 4), and the Drucker-Prager cone of a friction angle of 30 degrees whose cohesion comes from
// Syc = 400, hardening toward Su = 400 (perfectly plastic, the dilating cone has no unique state in
// a bar pulled by its end, and Newton finds none). In uniaxial tension
// q + eta p = (1 + sin) sx = k0 + H ep, and the axial plastic strain is (1 + sin) ep.
TEST(Plasticity, BarPulledBeyondYieldFlowsOnTheYieldSurface) {
    struct Case {
        bool quadratic;
        const char* material;
        const char* solve;
        PlasticLaw law;
        double sine;
        int steps;  // load steps: solve row 4, 0 taking 10
    } cases[] = {{false, kPlasticSteel, "0,0,0,0,0", plasticLawOf(kE, kNu, kYield, 0, 0, 0), 0, 10},
                 {true, kPlasticSteel, "0,0,16,0,0", plasticLawOf(kE, kNu, kYield, 0, 0, 0), 0, 16},
                 {false, "1  200000,0.3,0,0,0,0,0,0,0,250,400,0,400", "0,0,0,30,0",
                  plasticLawOf(kE, kNu, kYield, 400, 400, 30), 0.5, 10}};
    for (const Case& c : cases) {
        SolverJob job("bar", makeBoxMesh({{}, {10, 1, 1}, 4, 2, 2, c.quadratic}));
        const double strain = 0.005;  // four times von Mises' yield strain
        JobText input = pulledBar(10 * strain, c.solve);
        input.materials = {c.material};
        ASSERT_EQ(job.solve(input), "") << c.material;
        // Step 1 (a tenth of the pull or less) is still elastic: no plastic strain anywhere.
        for (double ep : job.cornerColumn("STRAI 1", 0)) EXPECT_EQ(ep, 0);
        const std::string last = std::to_string(c.steps);
        EXPECT_TRUE(job.cornerColumn("STRES " + std::to_string(c.steps + 1), 0).empty());
        const auto stress = job.cornerColumn("STRES " + last, 0);
        const auto plastic = job.cornerColumn("STRAI " + last, 0);
        ASSERT_EQ(plastic.size(), 4u * job.mesh().elementCount());
        const double a = 1 + c.sine, k0 = c.law.yield, h = c.law.hardening;
        const double equivalent = (strain - k0 / (a * kE)) / (a + h / (a * kE)),
                     axial = (k0 + h * equivalent) / a;
        for (std::size_t k = 0; k < plastic.size(); ++k) {
            EXPECT_NEAR(stress[k], axial, 0.02 * axial) << c.material << ", corner line " << k;
            EXPECT_NEAR(plastic[k], equivalent, 0.02 * equivalent) << c.material << ", corner line " << k;
        }
        // The end moves by the whole pull in the last step.
        const auto end = nodesWhere(job.mesh(), [](const Vec3& p) { return p.x == 10; });
        EXPECT_NEAR(mean(job.nodeBlock("DISP " + last), end, 3), 10 * strain, 1e-9);
    }
}

// The bar pushed by its end x = 10 toward a rigid plane 0.01 beyond its end x = 0 (a gap instead of
// the roller there): it slides freely across the gap (held along x by its pushed end only, which
// the first load steps must carry into the whole bar), then yields in compression, the plane
// carrying the whole force Sy A with the end x = 0 on it.
TEST(Plasticity, BarPushedAcrossAGapYieldsAgainstThePlane) {
    SolverJob job("gapbar", makeBoxMesh({{}, {10, 1, 1}, 4, 2, 2, true}));
    const double gap = 0.01, push = 0.05;
    JobText input = pulledBar(-push, "0,0,0,0,0");
    input.restraints = {"bor 3 1 0 1", "bor 5 1 1 0"};
    input.constraints.push_back("bog 1 -1,0,0," + std::to_string(gap));
    ASSERT_EQ(job.solve(input), "") << job.logText();
    const double strain = (push - gap) / 10, equivalent = strain - kYield / kE;
    const auto stress = job.cornerColumn("STRES 10", 0);
    const auto plastic = job.cornerColumn("STRAI 10", 0);
    ASSERT_EQ(plastic.size(), 4u * job.mesh().elementCount());
    for (std::size_t k = 0; k < plastic.size(); ++k) {
        EXPECT_NEAR(stress[k], -kYield, 0.02 * kYield) << "corner line " << k;
        EXPECT_NEAR(plastic[k], equivalent, 0.02 * equivalent) << "corner line " << k;
    }
    // The end x = 0 rests on the plane, at most a thousandth of the compression through it.
    const auto disp = job.displacements(10);
    for (int n = 0; n < job.mesh().nodeCount(); ++n) {
        if (job.mesh().node(n).x == 0) {
            EXPECT_NEAR(disp[3 * n], -gap, 1e-3 * strain * 10);
        }
    }
    // The log's reaction table: the plane pushes back with Sy times the end's area of 1, and the
    // pushed end, held by its prescribed displacement, takes as much the other way.
    EXPECT_NEAR(job.logTriple("gap to plane on face 1")[0], kYield, 0.02 * kYield) << job.logText();
    EXPECT_LT(job.logBalance(), 1e-6);
}

// A bar held along x at both ends, free across, heated from 20 to 220 (alpha 1.2e-5): the free
// strain 0.0024 rises with the load factor; the bar yields in compression once it passes Sy / E
// (after half of it) and ends at -Sy with the plastic strain alpha dT - Sy / E.
TEST(Plasticity, BarHeatedBetweenClampsYieldsInCompression) {
    SolverJob job("heated", makeBoxMesh({{}, {10, 1, 1}, 4, 1, 1, false}));
    JobText text = pulledBar(0, "20,0,0,0,0");
    text.materials = {"1  200000,0.3,1.2e-05,0,0,0,0,0,0,250,0,0,0"};
    text.loads = {"t " + job.writeTemperatures("hot.out", {{1, 220}})};
    text.restraints.push_back("bor 2 0 1 1");  // x held at the far end too
    text.constraints.clear();
    ASSERT_EQ(job.solve(text), "");
    for (double ep : job.cornerColumn("STRAI 5", 0)) EXPECT_EQ(ep, 0);
    for (double sx : job.cornerColumn("STRES 5", 0)) EXPECT_NEAR(sx, -0.5 * 200000 * 0.0024, 1e-6);
    const double plastic = 0.0024 - kYield / kE;
    for (double sx : job.cornerColumn("STRES 10", 0)) EXPECT_NEAR(sx, -kYield, 1e-6 * kYield);
    for (double ep : job.cornerColumn("STRAI 10", 0)) EXPECT_NEAR(ep, plastic, 1e-6 * plastic);
}

// A quarter of a ring a = 10 to b = 20 in plane strain (z held on both ends, symmetry on the cut
// planes), graded towards the bore, whose first yield is sought at integration points.
class ThickCylinder : public ::testing::Test {
  protected:
    static constexpr double a = 10, b = 20;

    // Runs to `pressure` in ten steps of at most `iterations` Newton iterations; the run's message.
    std::string runTo(double pressure, int iterations = 25) {
        JobText text = clampedSteel({"bol 1 1 " + std::to_string(pressure)}, -1,
                                    "0," + std::to_string(iterations) + ",0,0,1");
        text.materials = {kPlasticSteel};
        text.restraints = {"bor 3 1 0 1", "bor 4 0 1 1", "bor 5 1 1 0", "bor 6 1 1 0"};
        return job_.solve(text, SolverChoice::Direct);
    }
    // Equivalent plastic strains are never negative, so the largest magnitude is the largest.
    double largestPlasticStrain(int step) const {
        return largestMagnitude(job_.cornerColumn("STRAI " + std::to_string(step), 0));
    }
    SolverJob job_{"cylinder", quarterRing(a, b, 1, 8, 4, true)};
};

TEST_F(ThickCylinder, YieldsFirstAtTheElasticLimitAndCollapsesAtTheLimitPressure) {
    // Lame at the bore per unit pressure: sr = -1, st = (b2 + a2) / (b2 - a2), sz = nu (sr + st).
    const double sr = -1, st = (b * b + a * a) / (b * b - a * a), sz = kNu * (sr + st);
    const double q = std::sqrt(0.5 * ((sr - st) * (sr - st) + (st - sz) * (st - sz) + (sz - sr) * (sz - sr)));
    const double elasticLimit = kYield / q;
    ASSERT_EQ(runTo(0.98 * elasticLimit), "");
    EXPECT_EQ(largestPlasticStrain(10), 0);
    ASSERT_EQ(runTo(1.02 * elasticLimit), "");
    EXPECT_GT(largestPlasticStrain(10), 0);

    // Beyond the collapse pressure the run stops; the last converged step's pressure is the
    // collapse pressure of the mesh, which every point has reached.
    const double collapse = 2 / std::sqrt(3.0) * kYield * std::log(b / a);
    const std::string message = runTo(1.03 * collapse, 10);
    const auto at = message.find("converged steps (load factor ");
    ASSERT_NE(at, std::string::npos) << message;
    const double reached = 1.03 * collapse * std::stod(message.substr(at + 29));
    EXPECT_NEAR(reached, collapse, 0.03 * collapse);
    const auto last = std::stoi(message.substr(message.find("the results of the ") + 19));
    for (double ep : job_.cornerColumn("STRAI " + std::to_string(last), 0)) EXPECT_GT(ep, 0);
}

}  // namespace
}  // namespace tarvsolv::testing
