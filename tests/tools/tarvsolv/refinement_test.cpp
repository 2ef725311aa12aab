// Adaptive refinement: the optimal-mesh size rule on a box mesh, the solve rows each analysis takes
// its request from, and a refinement whose mesher cannot remesh.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "adaptive_refinement.h"
#include "fem/refinement_sizes.h"
#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

// A mesh whose errors are spread evenly and meet the target keeps its sizes; an element with 2^7
// times the others' share (xi = 2^3.5 for quadratic elements, exponent -2/7) is halved; the change
// of a cycle is held to a quarter and twice the size; a node takes the smallest of its elements.
TEST(RefinementSizes, FollowTheOptimalMeshRuleWithinTheCycleLimits) {
    const FeMesh mesh = makeBoxMesh({{}, {4, 1, 1}, 4, 1, 1, true});
    const int n = mesh.elementCount();
    const std::vector<double> before = elementSizes(mesh);
    const double share = 1e-4;
    auto targetMeeting = [&](const std::vector<double>& shares) {
        // The target at which an element of `share` gets exactly its allowed error.
        const double total = std::accumulate(shares.begin(), shares.end(), 0.0);
        return std::sqrt(n * share / (1 + total));
    };
    std::vector<double> shares(static_cast<std::size_t>(n), share);
    EXPECT_NEAR(relativeErrorOfShares(shares), std::sqrt(n * share / (1 + n * share)), 1e-15);
    const std::vector<double> kept = refinedElementSizes(mesh, shares, targetMeeting(shares));
    for (int e = 0; e < n; ++e) EXPECT_NEAR(kept[e], before[e], 1e-12 * before[e]);

    shares[0] = 128 * share;
    shares[1] = 1e6 * share;
    shares[2] = 0;
    const std::vector<double> after = refinedElementSizes(mesh, shares, targetMeeting(shares));
    EXPECT_NEAR(after[0], 0.5 * before[0], 1e-12);
    EXPECT_NEAR(after[1], kSmallestSizeChange * before[1], 1e-12);
    EXPECT_NEAR(after[2], kLargestSizeChange * before[2], 1e-12);
    EXPECT_NEAR(after[3], before[3], 1e-12);

    const std::vector<double> atNodes = nodeSizes(mesh, after);
    for (int e = 0; e < n; ++e)
        for (const int node : mesh.elementNodes(e)) EXPECT_LE(atNodes[node], after[e]);
    EXPECT_EQ(*std::min_element(atNodes.begin(), atNodes.end()), after[1]);
}

// Rows 3 and 4 (from row 2: solve[1], solve[2]) for elasticity, steady heat and thermal stress,
// rows 4 and 5 for natural frequencies, none for the other analyses; a target of 100 % or more
// asks for nothing, cycles above the most are held, with a warning each.
TEST(RefinementRequests, ComeFromTheRowsOfEachAnalysis) {
    ScratchFolder folder;
    RunLog log(folder.file("rows.slog"), false, true);
    // Jobs of the header codes the add-on writes: steady heat is 1, natural frequencies 3.
    auto request = [&](int code, std::array<double, 5> solve) {
        Job job;
        job.input.analysisCode = code;
        job.input.solve = solve;
        job.kind = solveKind(job.input);
        return refinementRequest(job, log);
    };
    for (const int code : {0, 1, 11}) {
        const RefinementRequest r = request(code, {20, 2, 3, 0, 0});
        EXPECT_DOUBLE_EQ(r.target, 0.02) << code;
        EXPECT_EQ(r.cycles, 3) << code;
    }
    const RefinementRequest modes = request(3, {2, 20, 1.5, 4, 0});
    EXPECT_DOUBLE_EQ(modes.target, 0.015);
    EXPECT_EQ(modes.cycles, 4);
    EXPECT_EQ(request(-1, {20, 2, 3, 0, 0}).cycles, 0);  // plasticity's rows are its own
    EXPECT_EQ(request(2, {20, 2, 3, 0, 0}).cycles, 0);   // so are transient heat's
    EXPECT_EQ(request(0, {20, 0, 3, 0, 0}).cycles, 0);   // a stored entry's 0
    EXPECT_EQ(request(0, {20, -1, 3, 0, 0}).cycles, 0);
    EXPECT_EQ(request(0, {20, 2, 0.5, 0, 0}).cycles, 0);
    EXPECT_EQ(request(0, {20, 100, 3, 0, 0}).cycles, 0);
    EXPECT_EQ(request(0, {20, 2, 50, 0, 0}).cycles, kMostRefinementCycles);
    const std::string text = readFile(folder.file("rows.slog"));
    EXPECT_THAT(text, HasSubstr("a target error of 100 % asks for no refinement"));
    EXPECT_THAT(text, HasSubstr("a target error of -1 % asks for no refinement"));
    EXPECT_THAT(text, HasSubstr("a target error of 2 % with 0.5 refinement cycles asks for no refinement"));
    EXPECT_THAT(text, HasSubstr("refinement: 10 cycles at most"));
}

// The test program has no mesher beside it: the first cycle's results, mesh and grid stay, and
// the log says why the refinement stopped; the run itself succeeds.
TEST(Refinement, AMesherThatCannotRemeshKeepsTheResultsAndSaysSo) {
    SolverJob job("cantilever", shortBeam());
    const std::string meshBefore = readFile(job.meshPath());
    EXPECT_EQ(job.solve(clampedSteel({"bol 2 1 10"}, 0, "0,0.01,3,0,0")), "");
    const std::string log = job.logText();
    EXPECT_THAT(log, HasSubstr("refinement cycle 1: 243 unknowns, error estimate "));
    EXPECT_THAT(log, HasSubstr("refinement stopped: the mesher "));
    EXPECT_THAT(log, HasSubstr("the last mesh and results are kept"));
    EXPECT_THAT(log, HasSubstr("] done"));
    EXPECT_EQ(readFile(job.meshPath()), meshBefore);
    EXPECT_THAT(job.resultText(), HasSubstr("DISP"));
    EXPECT_THAT(readFile(job.folder() + "/cantilever_cycles.pvd"),
                HasSubstr("file=\"cantilever_cycle1.vtu\""));
}

}  // namespace
}  // namespace tarvsolv::testing
