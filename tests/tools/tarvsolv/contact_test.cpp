// Gaps and contact in statics: a block pushed toward a rigid plane across a gap (open and closed),
// two blocks pressed together through their contact faces, a cylinder on a rigid plane against
// Hertz's line contact, and the models the solver must refuse; natural frequencies about the contact
// state of the loads, against the same models restrained normal to the contact face.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "solver_fixture.h"

namespace tarvsolv::testing {
namespace {

const char* kSecondSteel = "2  210000,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0";

// A 10 mm cube on rollers (x held on face 1, y on face 3) whose top face is pushed down by
// `push` while its bottom face has a gap `gap` to a rigid plane below.
struct PushedBlock {
    SolverJob job;
    JobText text = clampedSteel({});
    explicit PushedBlock(bool quadratic) : job("gap", makeBoxMesh({{}, {10, 10, 10}, 2, 2, 2, quadratic})) {
        text.restraints = {"bor 1 0 1 1", "bor 3 1 0 1"};
    }
    // The bottom's vertical displacements after the run with the gap line `gapLine`.
    std::vector<double> bottom(double push, const std::string& gapLine) {
        text.constraints = {"boc 6 0,0,-1," + std::to_string(push), gapLine};
        EXPECT_EQ(job.solve(text, SolverChoice::Direct), "");
        const auto u = job.nodeBlock("DISP 1");
        std::vector<double> uz;
        for (int n = 0; n < job.mesh().nodeCount(); ++n)
            if (job.mesh().node(n).z == 0) uz.push_back(u[3 * n + 2]);
        return uz;
    }
};

TEST(Gaps, BlockMovesFreelyUntilTheGapClosesThenBearsOnThePlane) {
    const double gap = 0.02, area = 100, height = 10;
    for (bool quadratic : {false, true}) {
        PushedBlock block(quadratic);
        for (const std::string& line : {std::string("bog 5 0,0,-1,0.02"), std::string("bogn 5 0.02")}) {
            SCOPED_TRACE(line + (quadratic ? ", quadratic" : ", linear"));
            // Open: the block follows the push as a rigid body, nothing touches.
            for (double uz : block.bottom(0.01, line)) EXPECT_NEAR(uz, -0.01, 1e-9);
            EXPECT_EQ(logged(block.job, 5, "force "), 0);
            // Closed: the bottom stops at the plane and the block is compressed by the rest of
            // the push; the plane carries what the push needs.
            const double push = 0.05, squeeze = push - gap;
            for (double uz : block.bottom(push, line)) {
                EXPECT_GE(uz, -gap - 1e-3 * squeeze);  // no more than a trace of penetration
                EXPECT_LE(uz, -gap + 1e-3 * squeeze);
            }
            const double load = kSteelE * squeeze / height * area;
            EXPECT_NEAR(logged(block.job, 5, "force "), load, 1e-3 * load);
            // The reaction table: the plane pushes up by as much as the pushed top is pushed down.
            const std::string plane = line.rfind("bogn", 0) == 0 ? "normal gap" : "gap to plane";
            EXPECT_NEAR(block.job.logTriple(plane + " on face 5")[2], load, 1e-3 * load);
            EXPECT_LT(block.job.logBalance(), 1e-6);
            EXPECT_NEAR(mean(block.job.nodalStress(2)), -kSteelE * squeeze / height,
                        1e-3 * kSteelE * squeeze / height);
        }
    }
}

// A clamped bar pulled along its axis, its bottom and side faces touching rigid planes: the pull
// narrows the bar, so those faces open by its lateral contraction and carry nothing. Newton's
// method must find that state, which is the bar's without the planes.
TEST(Gaps, TouchingFacesThatOpenUnderTheLoadsCarryNothing) {
    SolverJob job("pulled", shortBeam());
    JobText text = heldBeamUnderPressure();
    text.loads = {"bol 2 1 -10"};
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    const auto alone = job.nodeBlock("DISP 1");
    text.constraints = {"bog 5 0,0,-1,0", "bogn 3 0"};
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    const auto beside = job.nodeBlock("DISP 1");
    EXPECT_LT(largestDifference(beside, alone), 1e-6 * largestMagnitude(alone));
    EXPECT_EQ(logged(job, 5, "force "), 0);
    EXPECT_EQ(logged(job, 3, "force "), 0);
}

// Two 10 mm cubes (or blocks `depth` deep along Y) on rollers, meshed differently (2 and 3 cells a
// side), the lower one held under its base, the upper one under a pressure of 100 on its top,
// touching through contact faces (or `apart` above the lower one).
FeMesh stackedBlocks(bool quadratic, double depth = 10, double apart = 0) {
    return joined(makeBoxMesh({{}, {10, depth, 10}, 2, 2, 2, quadratic}),
                  makeBoxMesh({{0, 0, 10 + apart}, {10, depth, 10}, 3, 3, 3, quadratic}));
}

JobText stackedBlocksText() {
    JobText text;
    text.bodies = "BODIES 2\n 1 6 12 8\n 2 12 24 16\nEND\n";
    text.materials = {kSteel, kSecondSteel};
    text.restraints = {"bor 5 1 1 0", "bor 1 0 1 1", "bor 3 1 0 1", "bor 7 0 1 1", "bor 9 1 0 1"};
    text.loads = {"bol 12 1 100"};
    text.constraints = {"boi 6", "boi 11"};
    return text;
}

// The upper cube pressed onto the lower one: the contact carries the load and both are
// compressed uniformly.
TEST(Contact, BlocksPressedTogetherCarryTheLoadThroughTheirFaces) {
    for (bool quadratic : {false, true}) {
        SCOPED_TRACE(quadratic ? "quadratic" : "linear");
        SolverJob job("blocks", stackedBlocks(quadratic));
        const JobText text = stackedBlocksText();
        // Both solvers: the penalty must not stall the multigrid.
        ASSERT_EQ(job.solve(text, quadratic ? SolverChoice::Iterative : SolverChoice::Direct), "");
        const double load = 100 * 100;
        EXPECT_NEAR(logged(job, 11, "force "), load, 1e-2 * load);  // the finer side's points
        EXPECT_NEAR(logged(job, 6, "force "), load, 1e-2 * load);
        const auto u = job.nodeBlock("DISP 1");
        const double top = -2 * 100 * 10 / kSteelE;  // both cubes shortened by sigma h / E
        for (int n = 0; n < job.mesh().nodeCount(); ++n)
            if (job.mesh().node(n).z == 20) {
                EXPECT_NEAR(u[3 * n + 2], top, 1e-2 * std::abs(top));
            }
        EXPECT_NEAR(mean(job.nodalStress(2)), -100, 1);
        // Contact between the bodies carries nothing out of the model: the base carries the load.
        EXPECT_NEAR(job.logTriple("restraint on face 5")[2], load, 1e-6 * load);
        EXPECT_LT(job.logBalance(), 1e-6);
    }
}

// The upper cube 0.02 above the lower one, its top moved down: short of the gap nothing touches
// and the lower cube stays at rest; past it the two share the rest of the move, each shortened
// by half of it, and the contact carries E times that strain over the area.
TEST(Contact, BlocksApartTouchOnlyOnceTheGapBetweenThemCloses) {
    const double gap = 0.02;
    SolverJob job("apart", stackedBlocks(false, 10, gap));
    JobText text = stackedBlocksText();
    text.loads.clear();
    for (const double push : {0.01, 0.05}) {
        SCOPED_TRACE(push);
        text.constraints = {"boc 12 0,0,-1," + std::to_string(push), "boi 6", "boi 11"};
        ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
        const double squeeze = std::max(0.0, push - gap), load = kSteelE * squeeze / 20 * 100;
        EXPECT_NEAR(logged(job, 11, "force "), load, 1e-2 * load + 1e-9);
        const auto u = job.nodeBlock("DISP 1");
        for (int n = 0; n < job.mesh().nodeCount(); ++n)
            if (job.mesh().node(n).z == 10) {
                EXPECT_NEAR(u[3 * n + 2], -squeeze / 2, 1e-2 * squeeze + 1e-9) << "node " << n + 1;
            }
    }
}

// A quarter of a cylinder of radius 10 (axis along Y, in plane strain) lying on a rigid plane
// z = 0, pressed down by a pressure on its diametral face: Hertz's line contact. The box's
// x = min side is the symmetry plane, its z = min side the arc that touches the plane; the cells
// are graded toward the line of contact, and a square-to-disc map keeps every cell sound.
TEST(Contact, CylinderOnRigidPlaneHasHertzsPeakPressure) {
    const double r = 10, thickness = 0.2, halfWidth = 1;  // contact half-width b = R / 10
    const double eStar = kSteelE / (1 - kSteelNu * kSteelNu);
    const double load = std::numbers::pi * eStar * halfWidth * halfWidth / (4 * r);  // per length
    const double peak = 2 * load / (std::numbers::pi * halfWidth);
    FeMesh mesh = makeBoxMesh({{0, 0, -1}, {1, thickness, 1}, 16, 1, 16, true});
    const auto graded = [](double s) { return 0.0667 * s + 0.9333 * s * s * s; };
    mapNodes(mesh, [&](const Vec3& p) {
        const double u = graded(p.x), v = graded(p.z + 1) - 1;
        return Vec3{r * u * std::sqrt(1 - v * v / 2), p.y, r + r * v * std::sqrt(1 - u * u / 2)};
    });
    SolverJob job("hertz", mesh);
    JobText text = clampedSteel({});
    text.restraints = {"bor 1 0 1 1", "bor 3 1 0 1", "bor 4 1 0 1"};
    text.loads = {"bol 6 1 " + std::to_string(load / (2 * r))};
    text.constraints = {"bog 5 0,0,-1,z"};  // the gap of each point is its height over the plane
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    EXPECT_NEAR(logged(job, 5, "force "), load / 2 * thickness, 1e-2 * load / 2 * thickness);
    EXPECT_NEAR(logged(job, 5, "largest pressure "), peak, 0.05 * peak);
}

// A body that only an open gap would stop, or bodies held only by each other, have no static
// equilibrium: refused in statics and, under loads, in natural frequencies, whose contact state
// is the static one; as is contact in an analysis that does not take it.
TEST(Contact, RefusesABodyHeldOnlyByAnOpenGapAndContactOutsideStatics) {
    PushedBlock block(false);
    block.text.loads = {"bol 6 1 10"};
    block.text.constraints = {"bog 5 0,0,-1,0.02"};
    EXPECT_THAT(block.job.refused(block.text), HasSubstr("can move along Z"));
    block.text.analysisCode = 3;
    EXPECT_THAT(block.job.refused(block.text), HasSubstr("can move along Z"));
    // A thermal loadcase passes interactions over, as it does restraints.
    block.text.analysisCode = 1;
    block.text.materials = {kHeatSteel};
    block.text.loads = {"bol 6 2 0.002, 20"};
    block.text.constraints = {"bocn 5 0", "bog 5 0,0,-1,0.02", "boi 6"};
    EXPECT_EQ(block.job.solve(block.text), "");
    EXPECT_THAT(block.job.logText(),
                HasSubstr("warning: interactions have no meaning in a thermal loadcase"));
    for (double t : block.job.nodeBlock("TEMP 1")) EXPECT_NEAR(t, 20, 1e-9);
    // Two cubes held only by each other: nothing holds the pair along Z.
    SolverJob blocks("freeblocks", stackedBlocks(false));
    JobText text = stackedBlocksText();
    text.restraints.erase(text.restraints.begin());
    const std::string message = blocks.solve(text);
    EXPECT_THAT(message, HasSubstr("held only by their contact with each other are free"));
    EXPECT_THAT(message, HasSubstr("move along Z"));
}

// The natural frequencies of `text` run as a natural-frequency job.
std::vector<double> frequenciesOf(SolverJob& job, JobText text) {
    text.analysisCode = 3;
    EXPECT_EQ(job.solve(text, SolverChoice::Direct), "");
    return job.modeFrequencies();
}

// Natural frequencies hold the contact as it is at its state under the loads. A cube standing on
// a rigid plane through a touching gap vibrates as one restrained normal to that face, pressed by
// its load or not; a cantilever over a floor it does not reach vibrates as if there were none;
// a cube that only an open gap would stop, unloaded, has its rigid motion at 0 Hz.
TEST(Contact, NaturalFrequenciesHoldTheContactOfTheLoadedState) {
    PushedBlock block(true);
    block.text.solve = "4,0,0,0,0";
    JobText restrained = block.text;
    restrained.restraints.push_back("bor 5 1 1 0");
    const std::vector<double> reference = frequenciesOf(block.job, restrained);
    ASSERT_EQ(reference.size(), 4u);
    for (const std::string& line : {std::string("bog 5 0,0,-1,0"), std::string("bogn 5 0")})
        for (bool pressed : {true, false}) {
            SCOPED_TRACE(line + (pressed ? ", pressed" : ", unloaded"));
            JobText text = block.text;
            text.constraints = {line};
            if (pressed) text.loads = {"bol 6 1 100"};
            // The springs give way a little (1.3e-4 here).
            expectSpringsGiveATrace(frequenciesOf(block.job, text), reference);
            const std::string log = block.job.logText();
            EXPECT_THAT(log, HasSubstr("on face 5: 56 of its 56 points are in contact"));
            EXPECT_THAT(log, HasSubstr(pressed ? "finding the contact state under the loads"
                                               : "taken at the undeformed"));
        }

    // Unloaded behind an open gap: nothing holds the cube along Z.
    block.text.constraints = {"bog 5 0,0,-1,0.02"};
    const std::vector<double> free = frequenciesOf(block.job, block.text);
    ASSERT_EQ(free.size(), 4u);
    EXPECT_LT(free[0], 1e-3 * reference[0]);
    EXPECT_GT(free[1], 0.1 * reference[0]);
    EXPECT_THAT(block.job.logText(), HasSubstr("on face 5: 0 of its 56 points"));
    EXPECT_THAT(block.job.logText(), HasSubstr("not fully restrained"));

    // A cantilever whose tip sinks less under its load than the 0.5 mm to the floor below.
    SolverJob beam("openfloor", shortBeam());
    JobText text = clampedSteel({}, 0, "3,0,0,0,0");
    const std::vector<double> alone = frequenciesOf(beam, text);
    text.loads = {"bol 6 1 1"};
    text.constraints = {"bog 5 0,0,-1,0.5"};
    const std::vector<double> overFloor = frequenciesOf(beam, text);
    ASSERT_EQ(overFloor.size(), alone.size());
    for (std::size_t i = 0; i < alone.size(); ++i) EXPECT_NEAR(overFloor[i], alone[i], 1e-9 * alone[i]);
    EXPECT_THAT(beam.logText(), HasSubstr("on face 5: 0 of its"));
}

// Between bodies the springs tie each point to the facet it faces: the upper block pressed onto a
// lower one 10,000 times stiffer vibrates as the upper block restrained normal to its base (within
// 3.3e-5 here). The blocks are not square in plan, so no two frequencies coincide: Krylov-Schur
// may report a repeated frequency once.
TEST(Contact, BlockPressedOntoAStiffBlockVibratesAsOneRestrainedOnItsBase) {
    SolverJob job("stiffbase", stackedBlocks(true, 12));
    JobText text = stackedBlocksText();
    text.solve = "4,0,0,0,0";
    text.materials = {"1  2.1e9,0.3,1.2e-05,7.85e-06,0,0,0,0,0,0,0,0,0", kSecondSteel};
    text.restraints[0] = "bor 5 0 0 0";
    const std::vector<double> f = frequenciesOf(job, text);
    EXPECT_THAT(job.logText(), HasSubstr("on face 11: 126 of its 126 points are in contact"));
    text.constraints = {};
    text.loads = {};
    text.restraints.push_back("bor 11 1 1 0");
    ASSERT_EQ(f.size(), 4u);
    expectSpringsGiveATrace(f, frequenciesOf(job, text));
}

}  // namespace
}  // namespace tarvsolv::testing
