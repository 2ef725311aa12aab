// The recovery-based error estimate: fields the elements represent exactly estimate no error; on a
// smooth solution the estimate tracks the true error (its effectivity near 1) and falls with the
// mesh at the elements' rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "energy_error.h"
#include "fem/error_estimate.h"
#include "fem/model_share.h"
#include "fem/node_pieces.h"
#include "solver_fixture.h"

namespace tarvsolv {
namespace {

using testing::loggedNumber;
using testing::SolverJob;

// A box mesh sheared and stretched (an affine map keeps the elements' polynomial spaces).
FeMesh shearedBox(bool quadratic) {
    FeMesh mesh = makeBoxMesh({{}, {4, 3, 2}, 4, 3, 2, quadratic});
    mapNodes(mesh, [](const Vec3& p) {
        return Vec3{p.x + 0.3 * p.y, 1.2 * p.y + 0.2 * p.z, p.z - 0.1 * p.x};
    });
    return mesh;
}

// Displacements and temperatures of the elements' own order (linear: uniform stress and heat flux;
// quadratic: linear ones) recover exactly, so the estimate is 0 on any mesh, even at the boundary's
// grown patches.
TEST(ErrorEstimate, FieldsTheElementsRepresentExactlyEstimateNoError) {
    const ElasticMaterial steel(IsotropicElastic{210000, 0.3, 1.2e-5, 0});
    for (bool quadratic : {false, true}) {
        const FeMesh mesh = shearedBox(quadratic);
        std::vector<double> u, t, dT;
        for (int n = 0; n < mesh.nodeCount(); ++n) {
            const Vec3 x = mesh.node(n);
            const double s = quadratic ? 1 : 0;  // the quadratic part
            u.insert(u.end(), {1e-3 * (x.x + 2 * x.y) + s * 1e-4 * x.y * x.z,
                               -2e-3 * x.z + s * 3e-4 * x.x * x.x, 5e-4 * x.x + s * 2e-4 * x.y * x.y});
            t.push_back(20 + 3 * x.x - x.z + s * (x.x * x.y - 2 * x.z * x.z));
            dT.push_back(40 + 5 * x.y);  // linear: its thermal strain is exact on either mesh
        }
        const auto changes = [&](int e) {
            std::vector<double> v;
            elementValues(mesh, e, dT, 1, v);
            return v;
        };
        // Linear elements take a uniform temperature change (their thermal strain is uniform).
        const auto uniform = [&](int e) { return std::vector<double>(mesh.nodesPerElement, 40.0); };
        const ErrorEstimate stress = stressErrorEstimate(
            mesh, u, [&](int) { return steel; },
            quadratic ? std::function<std::vector<double>(int)>(changes) : uniform);
        const ErrorEstimate heat = heatFluxErrorEstimate(mesh, t, [](int) { return Vec3{0.05, 0.05, 0.02}; });
        for (const ErrorEstimate* estimate : {&stress, &heat}) {
            EXPECT_GT(estimate->solutionNorm, 0);
            EXPECT_LT(estimate->errorNorm, 1e-9 * estimate->solutionNorm) << "quadratic " << quadratic;
            EXPECT_EQ(estimate->elementError.size(), static_cast<std::size_t>(mesh.elementCount()));
        }
    }
}

// Shared by every process of the test program (statics shares it so; `tarvsolv_shared_estimate`
// runs this on two processes): the estimate of each process's share of the elements, put
// together, is one process's alone, with shares that interleave in element order; a material the
// recovery cannot weigh in one process's share stops every process with its message, none left
// waiting in a collective step.
TEST(ErrorEstimate, SharedByTheProcessesItIsOneProcesssAndFailsOnAll) {
    const ElasticMaterial steel(IsotropicElastic{210000, 0.3, 0, 0});
    FeMesh mesh = shearedBox(true);
    int size = 1;
    MPI_Comm_size(PETSC_COMM_WORLD, &size);
    if (size > 1) {
        // Pieces of runs of five nodes: each process's elements are scattered over the numbering.
        std::vector<int> piece(static_cast<std::size_t>(mesh.nodeCount()));
        for (int n = 0; n < mesh.nodeCount(); ++n) piece[n] = n / 5 % size;
        numberByPieces(mesh, piece, size);
        const std::vector<int> owners = elementOwners(mesh, size);
        ASSERT_FALSE(std::is_sorted(owners.begin(), owners.end()));
    }
    // The split's gather onto the first process (the stresses an analysis gathers) is in element
    // order too.
    const ElementSplit split(mesh, PETSC_COMM_WORLD);
    std::vector<double> mine;
    for (const int e : split.elements()) mine.insert(mine.end(), {1.0 * e, -0.5 * e});
    const std::vector<double> gathered = split.gatheredOnFirst(mine, 2);
    int rank = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    if (rank == 0) {
        ASSERT_EQ(gathered.size(), 2 * static_cast<std::size_t>(mesh.elementCount()));
        for (int e = 0; e < mesh.elementCount(); ++e) ASSERT_EQ(gathered[2 * e + 1], -0.5 * e) << e;
    }
    std::vector<double> u;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const Vec3 x = mesh.node(n);
        u.insert(u.end(), {1e-4 * x.x * x.x * x.y, -2e-4 * x.y * x.z * x.z, 3e-4 * x.x * x.y * x.z});
    }
    const auto materials = [&](int) { return steel; };
    const ErrorEstimate alone = stressErrorEstimate(mesh, u, materials, {}, MPI_COMM_SELF);
    const ErrorEstimate shared = stressErrorEstimate(mesh, u, materials, {}, PETSC_COMM_WORLD);
    ASSERT_GT(alone.errorNorm, 0);
    EXPECT_NEAR(shared.errorNorm, alone.errorNorm, 1e-12 * alone.errorNorm);
    EXPECT_NEAR(shared.solutionNorm, alone.solutionNorm, 1e-12 * alone.solutionNorm);
    // Each process fits the patches of its own elements' corners, sampling the elements around them
    // that other processes own: the recovered field, and so each element's error, is one process's
    // bit for bit; so are the volumes the percentages weigh by.
    EXPECT_EQ(shared.elementError, alone.elementError);
    EXPECT_EQ(shared.elementVolume, alone.elementVolume);
    const std::vector<double> percent = nodeErrorPercent(mesh, shared),
                              measured = nodeErrorPercent(mesh, [&] {
                                  ErrorEstimate unmeasured = alone;
                                  unmeasured.elementVolume.clear();
                                  return unmeasured;
                              }());
    ASSERT_EQ(percent.size(), measured.size());
    for (std::size_t n = 0; n < percent.size(); ++n)
        EXPECT_NEAR(percent[n], measured[n], 1e-9 * measured[n]) << n;

    const int last = mesh.elementCount() - 1;
    const auto voidAtTheEnd = [&](int e) { return e == last ? ElasticMaterial() : steel; };
    try {
        stressErrorEstimate(mesh, u, voidAtTheEnd, {}, PETSC_COMM_WORLD);
        ADD_FAILURE() << "no failure";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("element " + std::to_string(last + 1)), std::string::npos)
            << e.what();
    }
}

// A steel bar 100 x 10 x 10 mm on rollers (uniaxial strain) under the axial body force
// rho a = c x^2, held at x = 0 and free at x = L: sigma_xx = c (L^3 - x^3) / 3, a cubic stress that
// neither element order represents.
struct BarUnderBodyForce {
    static constexpr double kLength = 100, kAcceleration = 40;  // a = 40 x^2 m/s2
    double c = 7.85e-6 * kAcceleration;                         // N/mm3 per mm2
    ElasticMaterial steel{IsotropicElastic{testing::kSteelE, testing::kSteelNu, 0, 0}};

    // Uniaxial strain: the lateral stresses are lambda / (lambda + 2 mu) of the axial one.
    double trueError(const FeMesh& mesh, const std::vector<double>& u) const {
        const double lateral = steel.lambda / (steel.lambda + 2 * steel.mu);
        return testing::energyNorms(mesh, u, testing::kSteelE, testing::kSteelNu,
                                    [&](const Vec3& x) {
                                        const double sx =
                                            c * (kLength * kLength * kLength - x.x * x.x * x.x) / 3;
                                        return std::array<double, 6>{sx, lateral * sx, lateral * sx, 0, 0, 0};
                                    })
            .error;
    }
};

TEST(ErrorEstimate, EffectivityOnABarUnderABodyForceIsNearOneAndTheErrorFallsAtTheElementsRate) {
    const BarUnderBodyForce bar;
    for (bool quadratic : {false, true}) {
        double previous = 0;
        // Uniform refinement; the coarsest mesh of each order lies outside the asymptotic range.
        for (int cells : quadratic ? std::vector<int>{4, 8, 16} : std::vector<int>{8, 16, 32}) {
            SolverJob job("bar",
                          makeBoxMesh({{}, {bar.kLength, 10, 10}, cells, cells / 4, cells / 4, quadratic}));
            testing::JobText text = testing::clampedSteel({"al 40*x^2, 0, 0"});
            text.restraints = {"bor 1 0 1 1", "bor 3 1 0 1", "bor 4 1 0 1", "bor 5 1 1 0", "bor 6 1 1 0"};
            ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
            const std::vector<double> u = job.displacements();
            const ErrorEstimate estimate = stressErrorEstimate(job.mesh(), u, [&](int) { return bar.steel; });
            const double effectivity = estimate.errorNorm / bar.trueError(job.mesh(), u);
            EXPECT_NEAR(loggedNumber(job.logText(), "error estimate: "), 100 * estimate.relativeError(),
                        1e-2 * 100 * estimate.relativeError());
            if (cells > (quadratic ? 4 : 8)) {
                EXPECT_GT(effectivity, 0.8) << "quadratic " << quadratic << ", " << cells << " cells";
                EXPECT_LT(effectivity, 1.3) << "quadratic " << quadratic << ", " << cells << " cells";
            }
            // Energy-norm error ~ h^p: halving h quarters the quadratic elements' error.
            if (previous > 0) {
                EXPECT_NEAR(previous / estimate.errorNorm, quadratic ? 4 : 2, quadratic ? 1 : 0.5);
            }
            previous = estimate.errorNorm;
            // The shown percentages square-average over the volume to the relative error.
            const std::vector<double> percent = elementErrorPercent(job.mesh(), estimate);
            double sum = 0;
            for (double p : percent) sum += p * p / percent.size();  // the elements share one volume
            EXPECT_NEAR(std::sqrt(sum), 100 * estimate.errorNorm / estimate.solutionNorm,
                        1e-9 * 100 * estimate.errorNorm / estimate.solutionNorm);
        }
    }
}

// Plasticity estimates from the stresses its points carry, weighted by the elastic compliance:
// below yield they are the elastic ones, so step 1 (a tenth of the load) has the linear run's
// estimate to round-off on either element order; beyond yield every step has one, and the last
// one falls with the mesh.
TEST(ErrorEstimate, PlasticityEstimatesTheReturnMappedStresses) {
    const BarUnderBodyForce bar;
    const auto barJob = [](const char* yield) {
        testing::JobText text = testing::clampedSteel({"al 40*x^2, 0, 0"});
        text.restraints = {"bor 1 0 1 1", "bor 3 1 0 1", "bor 4 1 0 1", "bor 5 1 1 0", "bor 6 1 1 0"};
        if (yield) {
            text.analysisCode = -1;
            text.materials = {std::string("1  210000,0.3,0,7.85e-06,0,0,0,0,0,") + yield + ",0,0,0"};
        }
        return text;
    };
    for (bool quadratic : {false, true}) {
        const FeMesh mesh = makeBoxMesh({{}, {bar.kLength, 10, 10}, 8, 2, 2, quadratic});
        SolverJob elastic("bar", mesh), plastic("plastic", mesh);
        ASSERT_EQ(elastic.solve(barJob(nullptr), SolverChoice::Direct), "");
        ASSERT_EQ(plastic.solve(barJob("1e9"), SolverChoice::Direct), "");
        const std::vector<double> wanted = elastic.nodeBlock("ERRE 1"), written = plastic.nodeBlock("ERRE 1");
        ASSERT_EQ(written.size(), wanted.size());
        for (std::size_t n = 0; n < wanted.size(); ++n)
            EXPECT_NEAR(written[n], wanted[n], 1e-6 * wanted[n])
                << "quadratic " << quadratic << ", node " << n;
    }
    // Sy 40 against a peak von Mises stress of 60: the end at x = 0 yields.
    std::vector<double> percent;
    for (int cells : {8, 16}) {
        SolverJob plastic("plastic", makeBoxMesh({{}, {bar.kLength, 10, 10}, cells, 2, 2, true}));
        ASSERT_EQ(plastic.solve(barJob("40"), SolverChoice::Direct), "");
        const std::vector<double> strains = plastic.cornerColumn("STRAI 10", 0);
        EXPECT_GT(*std::max_element(strains.begin(), strains.end()), 0);
        EXPECT_EQ(plastic.blockSteps("ERRE ").size(), 10u);
        for (double e : plastic.nodeBlock("ERRE 10")) EXPECT_TRUE(std::isfinite(e) && e >= 0) << e;
        percent.push_back(loggedNumber(plastic.logText(), "step 10: error estimate: "));
    }
    EXPECT_LT(percent[1], 0.7 * percent[0]);
}

// Large displacements estimate the second Piola-Kirchhoff stress on the reference mesh: under a
// small load it is the linear stress and the estimate the linear run's; a large one (a tip
// deflection of a third of the span) has an estimate at every step.
TEST(ErrorEstimate, LargeDisplacementsEstimateTheSecondPiolaKirchhoffStress) {
    SolverJob linear("beam", testing::shortBeam()), large("large", testing::shortBeam());
    ASSERT_EQ(linear.solve(testing::clampedSteel({"bol 2 0 0, 1, 0"}), SolverChoice::Direct), "");
    testing::JobText text = testing::clampedSteel({"bol 2 0 0, 1, 0"});
    text.stepSection = {"GSTEP"};
    ASSERT_EQ(large.solve(text, SolverChoice::Direct), "");
    const double expected = loggedNumber(linear.logText(), "error estimate: ");
    EXPECT_NEAR(loggedNumber(large.logText(), "step 10: error estimate: "), expected, 0.03 * expected);
    text.loads = {"bol 2 0 0, 1000, 0"};
    ASSERT_EQ(large.solve(text, SolverChoice::Direct), "");
    EXPECT_EQ(large.blockSteps("ERRE "), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_GT(loggedNumber(large.logText(), "step 10: error estimate: "), 0);
}

// The runs hand the estimate on with their results: steady heat (heated by a source of x^2, its
// temperatures quartic) that of its heat flux with the run's conductivity, transient heat one per
// written step, natural frequencies one per mode, each logged.
TEST(ErrorEstimate, HeatAndModeRunsWriteTheirEstimateAndLogIt) {
    SolverJob heat("slab", testing::shortBeam());
    ASSERT_EQ(heat.solve(testing::heatJob({"al 1e-5*x^2", "bol 2 2 0.002, 20"}), SolverChoice::Direct), "");
    const ErrorEstimate expected = heatFluxErrorEstimate(heat.mesh(), heat.nodeBlock("TEMP 1"), [](int) {
        return Vec3{0.05, 0.05, 0.05};
    });
    const std::vector<double> written = heat.nodeBlock("ERRE 1"),
                              wanted = nodeErrorPercent(heat.mesh(), expected);
    ASSERT_EQ(written.size(), wanted.size());
    for (std::size_t n = 0; n < wanted.size(); ++n)
        EXPECT_NEAR(written[n], wanted[n], 1e-4 * wanted[n] + 1e-9) << n;
    EXPECT_NEAR(loggedNumber(heat.logText(), "error estimate: "), 100 * expected.relativeError(),
                1e-2 * 100 * expected.relativeError());

    // Transient heat: every written step, logged by its number.
    ASSERT_EQ(heat.solve(testing::heatJob({"al 1e-5*x^2", "bol 2 2 0.002, 20"}, 2, "20,4,5,2,0"),
                         SolverChoice::Direct),
              "");
    EXPECT_EQ(heat.blockSteps("ERRE "), (std::vector<int>{2, 4}));
    EXPECT_GT(loggedNumber(heat.logText(), "step 4: error estimate: "), 0);

    SolverJob modes("modes", testing::shortBeam());
    ASSERT_EQ(modes.solve(testing::clampedSteel({}, 3, "2,0,0,0,0"), SolverChoice::Direct), "");
    EXPECT_EQ(modes.blockSteps("ERRE "), (std::vector<int>{1, 2}));
    for (const char* label : {"mode 1: error estimate: ", "mode 2: error estimate: "}) {
        const double percent = loggedNumber(modes.logText(), label);
        EXPECT_GT(percent, 0) << label;
        EXPECT_LT(percent, 100) << label;
    }
}

}  // namespace
}  // namespace tarvsolv
