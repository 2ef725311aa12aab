// The neo-Hookean law and its total-Lagrangian element (stress and tangent against finite
// differences of the energy, the linear element at zero displacement), and large-displacement
// runs against closed forms (the end-to-end runs check a cantilever against the elastica).
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "difference_quotients.h"
#include "fem/box_mesh.h"
#include "fem/element_kernels.h"
#include "fem/hyperelastic_kernels.h"
#include "solver_fixture.h"

namespace tarvsolv {
namespace {

using ::testing::ContainsRegex;
using testing::expectDerivativeOf;
using ::testing::HasSubstr;
using ::testing::Not;

// F's nine entries row by row, and back.
std::vector<double> entriesOf(const Tensor3& t) {
    std::vector<double> v;
    for (const auto& row : t) v.insert(v.end(), row.begin(), row.end());
    return v;
}
Tensor3 tensorOf(const std::vector<double>& v) {
    Tensor3 t;
    for (int k = 0; k < 9; ++k) t[k / 3][k % 3] = v[k];
    return t;
}

// W = mu/2 (I1 - 3) - mu ln J + lambda/2 (ln J)^2, with J from the triple product only.
double energy(const NeoHookean& m, const Tensor3& f) {
    double i1 = 0;
    for (const auto& row : f)
        for (double v : row) i1 += v * v;
    const double j = f[0][0] * (f[1][1] * f[2][2] - f[1][2] * f[2][1]) -
                     f[0][1] * (f[1][0] * f[2][2] - f[1][2] * f[2][0]) +
                     f[0][2] * (f[1][0] * f[2][1] - f[1][1] * f[2][0]);
    return m.mu / 2 * (i1 - 3) - m.mu * std::log(j) + m.lambda / 2 * std::log(j) * std::log(j);
}

TEST(NeoHookean, StressAndTangentAreDerivativesOfTheEnergy) {
    const NeoHookean m = NeoHookean::fromYoung(10, 0.45);
    const std::vector<double> f = entriesOf({{{1.3, 0.2, -0.1}, {0.15, 0.8, 0.25}, {-0.05, 0.3, 1.1}}});
    std::array<double, 81> a{};
    const std::vector<double> p = entriesOf(firstPiolaStress(m, tensorOf(f), &a));
    expectDerivativeOf(
        p, [&](const std::vector<double>& g) { return std::vector<double>{energy(m, tensorOf(g))}; }, f, 1e-6,
        1e-6);
    expectDerivativeOf(
        a, [&](const std::vector<double>& g) { return entriesOf(firstPiolaStress(m, tensorOf(g))); }, f, 1e-6,
        1e-5);
    // A rigid rotation leaves no stress; a flipped element is refused.
    const double c = std::cos(1.0), s = std::sin(1.0);
    for (double v : cauchyStress(m, {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}})) EXPECT_NEAR(v, 0, 1e-12);
    EXPECT_THROW(firstPiolaStress(m, {{{-1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}), std::runtime_error);
}

TEST(NeoHookeanElement, IsLinearAtRestAndItsTangentsDifferentiateItsForces) {
    for (bool quadratic : {false, true}) {
        const FeMesh mesh = makeBoxMesh({{0, 0, 0}, {2, 1, 1}, 1, 1, 1, quadratic});
        const NeoHookean m = NeoHookean::fromYoung(200, 0.3);
        const int n = 3 * mesh.nodesPerElement;
        std::vector<double> u(static_cast<std::size_t>(n), 0.0), force, k, linear;
        hyperelasticElement(mesh, 0, m, u, force, k);
        elasticStiffness(mesh, 0, ElasticMaterial(200, 0.3, 0, 0), linear);
        for (int i = 0; i < n; ++i) EXPECT_NEAR(force[i], 0, 1e-12);
        for (std::size_t i = 0; i < k.size(); ++i) EXPECT_NEAR(k[i], linear[i], 1e-9 * 200);
        // A large displacement: the tangent is the derivative of the internal force.
        for (int i = 0; i < n; ++i) u[i] = 0.15 * std::sin(1.7 * i + 0.3);
        hyperelasticElement(mesh, 0, m, u, force, k);
        const auto internalForce = [&](const std::vector<double>& v) {
            std::vector<double> f, unused;
            hyperelasticElement(mesh, 0, m, v, f, unused);
            return f;
        };
        expectDerivativeOf(k, internalForce, u, 1e-7, 1e-4 * 200);
        // A pressure that follows a facet: its load stiffness is minus the derivative of its
        // forces, and undeformed the forces add up to -p times the area vector.
        const Facet& facet = mesh.facets[0];
        const auto pressure = [](const Vec3& x) { return 2 + x.y; };
        const int nf = 3 * mesh.nodesPerFace();
        std::vector<double> uf(static_cast<std::size_t>(nf), 0.0), kf;
        followerPressureFacet(mesh, facet, pressure, uf, force, kf);
        Vec3 total;
        for (int i = 0; i < nf; i += 3) total = total + Vec3{force[i], force[i + 1], force[i + 2]};
        double expectedTotal = 0;
        for (const BoundaryPoint& p : facePoints(mesh, facet)) expectedTotal += pressure(p.x) * p.measure;
        EXPECT_NEAR(norm(total), expectedTotal, 1e-12);
        for (int i = 0; i < nf; ++i) uf[i] = 0.2 * std::cos(1.3 * i);
        followerPressureFacet(mesh, facet, pressure, uf, force, kf);
        const auto reversedForce = [&](const std::vector<double>& v) {
            std::vector<double> f, unused;
            followerPressureFacet(mesh, facet, pressure, v, f, unused);
            for (double& x : f) x = -x;
            return f;
        };
        expectDerivativeOf(kf, reversedForce, uf, 1e-7, 1e-6);
    }
}

// The neo-Hookean block stretched by `stretch` along X, its lateral faces free: the lateral
// stretch (P22 = mu (t - 1/t) + lambda ln(J) / t = 0) and the nominal stress P11.
struct UniaxialState {
    double lateral = 1, nominal = 0;
};

UniaxialState uniaxial(const NeoHookean& m, double stretch) {
    double lo = 0.5, hi = 2;
    for (int i = 0; i < 100; ++i) {
        const double t = (lo + hi) / 2;
        (m.mu * (t - 1 / t) + m.lambda * std::log(stretch * t * t) / t > 0 ? hi : lo) = t;
    }
    const double t = lo;
    return {t, m.mu * (stretch - 1 / stretch) + m.lambda * std::log(stretch * t * t) / stretch};
}

// A job in large displacements of one rubber body, E 3, nu 0.45 (restraints and loads to be added).
testing::JobText rubber() {
    testing::JobText text;
    text.stepSection = {"GSTEP"};
    text.materials = {"1  3,0.45,0,0,0,0,0,0,0,0,0,0,0"};
    return text;
}

// A rubber cube compressed by 30 % along X, its lateral faces free to slide on three symmetry
// planes, by a dead traction, by a pressure that follows the face (the same force over the
// deformed area) and by a prescribed displacement: each gives the homogeneous closed form. Past
// about 25 % the tangent of this path is indefinite (the block could buckle into a tilted shape).
TEST(LargeDisplacements, RubberBlockInUniaxialCompression) {
    const NeoHookean m = NeoHookean::fromYoung(3, 0.45);
    const double stretch = 0.7;
    const UniaxialState expected = uniaxial(m, stretch);
    const double sx = expected.nominal / (expected.lateral * expected.lateral);  // Cauchy
    testing::SolverJob job("rubber", makeBoxMesh({{0, 0, 0}, {1, 1, 1}, 2, 2, 2, true}));
    testing::JobText dead = rubber();
    dead.restraints = {"bor 1 0 1 1", "bor 3 1 0 1", "bor 5 1 1 0"};
    dead.loads = {"bol 2 0 " + std::to_string(expected.nominal) + ", 0, 0"};
    testing::JobText follower = dead, moved = dead;
    follower.loads = {"bol 2 1 " + std::to_string(-sx)};
    moved.loads.clear();
    moved.constraints = {"bocn 2 " + std::to_string(stretch - 1)};
    // The dead load solved iteratively is the end-to-end elastica run's.
    const std::pair<const testing::JobText*, SolverChoice> cases[] = {
        {&dead, SolverChoice::Direct}, {&follower, SolverChoice::Iterative}, {&moved, SolverChoice::Direct}};
    for (const auto& [text, solver] : cases) {
        SCOPED_TRACE(text->loads.empty() ? "prescribed displacement" : text->loads[0]);
        ASSERT_EQ(job.solve(*text, solver), "");
        const std::vector<double> disp = job.displacements(10);
        for (int n = 0; n < job.mesh().nodeCount(); ++n) {
            const Vec3 x = job.mesh().node(n);
            EXPECT_NEAR(disp[3 * n], (stretch - 1) * x.x, 0.02 * (1 - stretch));
            EXPECT_NEAR(disp[3 * n + 1], (expected.lateral - 1) * x.y, 0.02 * (expected.lateral - 1));
        }
        for (int c = 0; c < 3; ++c)
            for (double s : job.nodalStress(c, "STRES 10")) {
                if (!std::isnan(s)) {
                    EXPECT_NEAR(s, c == 0 ? sx : 0, 0.02 * std::abs(sx)) << c;
                }
            }
        // The end x = 0 carries the nominal stress over the undeformed area of 1, whether the load
        // is dead, follows the face or is a prescribed displacement.
        EXPECT_NEAR(job.logTriple("restraint on face 1")[0], -expected.nominal,
                    0.02 * std::abs(expected.nominal));
        EXPECT_LT(job.logBalance(), 1e-6) << job.logText();
    }
}

// The rubber cube pushed down by its top face onto a rigid plane across a gap of 0.1, to 30 %
// compression: the plane carries the closed form's nominal stress over the undeformed area while
// the bottom spreads along it, stopped at the plane. (The end-to-end run rests a cantilever on a
// floor through a normal gap.)
TEST(LargeDisplacements, RubberBlockPressedOntoARigidPlaneAcrossAGap) {
    const NeoHookean m = NeoHookean::fromYoung(3, 0.45);
    const double gap = 0.1, stretch = 0.7;
    const UniaxialState expected = uniaxial(m, stretch);
    testing::SolverJob job("rubbergap", makeBoxMesh({{0, 0, 0}, {1, 1, 1}, 2, 2, 2, true}));
    testing::JobText text = rubber();
    text.restraints = {"bor 1 0 1 1", "bor 3 1 0 1"};
    text.constraints = {"boc 6 0,0,-1," + std::to_string(gap + 1 - stretch), "bog 5 0,0,-1,0.1"};
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    const double force = std::abs(expected.nominal);
    EXPECT_NEAR(testing::logged(job, 5, "force "), force, 0.02 * force);
    // The reaction table counts the plane's force as a support, not as a load.
    EXPECT_THAT(job.logText(), HasSubstr("reactions and loads balance"));
    EXPECT_THAT(job.logText(), Not(HasSubstr("reactions do not balance")));
    const std::vector<double> disp = job.displacements(10);
    for (int n = 0; n < job.mesh().nodeCount(); ++n) {
        const Vec3 x = job.mesh().node(n);
        if (x.z != 0) continue;
        EXPECT_NEAR(disp[3 * n + 2], -gap, 1e-3 * (1 - stretch));
        EXPECT_NEAR(disp[3 * n + 1], (expected.lateral - 1) * x.y, 0.02 * (expected.lateral - 1));
    }
}

// Two rubber bodies of one part in large displacements (restraints and contact to be added).
testing::JobText rubberPair() {
    testing::JobText text = rubber();
    text.bodies = "BODIES 2\n 1 6 12 8\n 2 12 24 16\nEND\n";
    text.materials.push_back("2  3,0.45,0,0,0,0,0,0,0,0,0,0,0");
    return text;
}

// Two rubber cubes meshed differently (2 and 3 cells a side), the upper one 1.0 above the lower
// one, two facet sizes of the lower mesh: the upper cube's top is moved down by 1.3, so that it
// crosses the distance, meets the lower cube and the two share 0.3 of compression. Pairs found on
// the undeformed mesh would leave the faces unpaired; found again each step, they carry the force
// of the closed form (each cube compressed by 0.15) without penetrating.
TEST(LargeDisplacements, ContactBetweenBodiesFollowsTheApproach) {
    const NeoHookean m = NeoHookean::fromYoung(3, 0.45);
    const double distance = 1, push = 1.3, stretch = 1 - (push - distance) / 2;
    const double force = std::abs(uniaxial(m, stretch).nominal);
    const FeMesh lower = makeBoxMesh({{0, 0, 0}, {1, 1, 1}, 2, 2, 2, true});
    const FeMesh upper = makeBoxMesh({{0, 0, 1 + distance}, {1, 1, 1}, 3, 3, 3, true});
    testing::SolverJob job("rubberpair", testing::joined(lower, upper));
    testing::JobText text = rubberPair();
    text.restraints = {"bor 5 1 1 0", "bor 1 0 1 1", "bor 3 1 0 1", "bor 7 0 1 1", "bor 9 1 0 1"};
    text.constraints = {"boc 12 0,0,-1," + std::to_string(push), "boi 6", "boi 11"};
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    EXPECT_NEAR(testing::logged(job, 11, "force "), force, 0.01 * force);
    EXPECT_NEAR(testing::logged(job, 6, "force "), force, 0.01 * force);
    const std::vector<double> disp = job.displacements(10);
    // Each cube is compressed by the same amount, so the faces meet at the lower cube's
    // compressed height. Where the two meshes have nodes at the same place (x and y of 0, 0.5
    // and 1), which both cubes' equal lateral stretch keeps together, the upper node lies on the
    // lower one or above it by no more than a trace of penetration.
    const double compression = 1 - stretch;
    std::map<std::pair<double, double>, double> lowerTop;
    for (int n = 0; n < job.mesh().nodeCount(); ++n) {
        const Vec3 x = job.mesh().node(n);
        if (x.z == 1) lowerTop[{x.x, x.y}] = x.z + disp[3 * n + 2];
    }
    int matched = 0;
    for (int n = 0; n < job.mesh().nodeCount(); ++n) {
        const Vec3 x = job.mesh().node(n);
        const double z = x.z + disp[3 * n + 2];
        if (x.z == 1 || x.z == 1 + distance) {
            EXPECT_NEAR(z, stretch, 0.01 * compression) << n;
        }
        const auto below = lowerTop.find({x.x, x.y});
        if (x.z != 1 + distance || below == lowerTop.end()) continue;
        ++matched;
        EXPECT_GT(z - below->second, -1e-3 * compression) << n;
    }
    EXPECT_EQ(matched, 9);
    // Moved ten times as far, the upper cube crosses the distance and enters the lower one within
    // the first step, before any pair exists: the log says that step's results do not hold.
    text.constraints[0] = "boc 12 0,0,-1," + std::to_string(10 * push);
    job.solve(text, SolverChoice::Direct);
    EXPECT_THAT(job.logText(), ContainsRegex("warning: step 1: .*lie inside the other body"));
}

// A rubber cube (3 cells a side) under a dead load of 0.1 on its top, standing on a rubber slab
// 3 long (6 cells), slid along it by 1.5 (three of the slab's facets) by its side face. The
// contact carries the load (1 %) and the cube's bottom rests on the slab's dented top where it now
// is: at the slab's nodes under it, on average within a tenth of the dent. Pairs kept from the
// start press the slab where the cube was and let the cube sink into it by most of the dent.
TEST(LargeDisplacements, ContactBetweenBodiesFollowsASlide) {
    const double load = 0.1, slide = 1.5;
    const FeMesh slab = makeBoxMesh({{0, 0, 0}, {3, 1, 1}, 6, 2, 2, true});
    const FeMesh cube = makeBoxMesh({{0, 0, 1}, {1, 1, 1}, 3, 3, 3, true});
    testing::SolverJob job("rubberslide", testing::joined(slab, cube));
    testing::JobText text = rubberPair();
    text.restraints = {"bor 5 1 1 0", "bor 1 0 1 1", "bor 3 1 0 1", "bor 9 1 0 1"};
    text.loads = {"bol 12 0 0, 0, " + std::to_string(-load)};
    text.constraints = {"boc 7 1,0,0," + std::to_string(slide), "boi 6", "boi 11"};
    ASSERT_EQ(job.solve(text, SolverChoice::Direct), "");
    EXPECT_NEAR(testing::logged(job, 11, "force "), load, 0.01 * load);
    const std::vector<double> disp = job.displacements(10);
    // The slab's top nodes by place, and its deepest dent.
    std::map<std::pair<double, double>, double> slabTop;
    double dent = 0;
    for (int n = 0; n < slab.nodeCount(); ++n) {
        const Vec3 x = job.mesh().node(n);
        if (x.z != 1) continue;
        slabTop[{x.x, x.y}] = x.z + disp[3 * n + 2];
        dent = std::max(dent, -disp[3 * n + 2]);
    }
    EXPECT_GT(dent, 0.01);
    int matched = 0;
    double sum = 0;
    for (int n = slab.nodeCount(); n < job.mesh().nodeCount(); ++n) {
        const Vec3 x = job.mesh().node(n);
        // The cube's bottom nodes that the slide brings over slab nodes: its corners and mid-lines.
        const auto below = slabTop.find({x.x + slide, x.y});
        if (x.z != 1 || below == slabTop.end()) continue;
        ++matched;
        EXPECT_NEAR(x.x + disp[3 * n], x.x + slide, 0.05 * slide) << n;
        const double gap = x.z + disp[3 * n + 2] - below->second;
        sum += gap;
        EXPECT_GT(gap, -0.25 * dent) << n;  // the cube's edges, where the pressure peaks, sink most
    }
    EXPECT_EQ(matched, 9);
    EXPECT_NEAR(sum / matched, 0, 0.1 * dent);
}

}  // namespace
}  // namespace tarvsolv
