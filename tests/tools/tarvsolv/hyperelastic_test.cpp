// The neo-Hookean law and its total-Lagrangian element: stress and tangent against finite
// differences of the energy, and the linear element at zero displacement.
#include <gtest/gtest.h>

#include <cmath>

#include "fem/box_mesh.h"
#include "fem/element_kernels.h"
#include "fem/hyperelastic_kernels.h"
#include "solver_fixture.h"

namespace tarvsolv {
namespace {

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
    const Tensor3 f{{{1.3, 0.2, -0.1}, {0.15, 0.8, 0.25}, {-0.05, 0.3, 1.1}}};
    std::array<double, 81> a{};
    const Tensor3 p = firstPiolaStress(m, f, &a);
    const double h = 1e-6;
    for (int k = 0; k < 3; ++k)
        for (int l = 0; l < 3; ++l) {
            Tensor3 fp = f, fm = f;
            fp[k][l] += h;
            fm[k][l] -= h;
            EXPECT_NEAR(p[k][l], (energy(m, fp) - energy(m, fm)) / (2 * h), 1e-6);
            const Tensor3 pp = firstPiolaStress(m, fp), pm = firstPiolaStress(m, fm);
            for (int i = 0; i < 3; ++i)
                for (int b = 0; b < 3; ++b)
                    EXPECT_NEAR(a[(3 * i + b) * 9 + 3 * k + l], (pp[i][b] - pm[i][b]) / (2 * h), 1e-5);
        }
    // A rigid rotation leaves no stress; a flipped element is refused.
    const double c = std::cos(1.0), s = std::sin(1.0);
    for (double v : cauchyStress(m, {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}})) EXPECT_NEAR(v, 0, 1e-12);
    EXPECT_THROW(firstPiolaStress(m, {{{-1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}), std::runtime_error);
}

TEST(NeoHookeanElement, IsLinearAtRestAndItsTangentDifferentiatesItsForce) {
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
        const double h = 1e-7;
        std::vector<double> fp, fm, unused;
        for (int j = 0; j < n; ++j) {
            auto up = u, um = u;
            up[j] += h;
            um[j] -= h;
            hyperelasticElement(mesh, 0, m, up, fp, unused);
            hyperelasticElement(mesh, 0, m, um, fm, unused);
            for (int i = 0; i < n; ++i)
                EXPECT_NEAR(k[static_cast<std::size_t>(i) * n + j], (fp[i] - fm[i]) / (2 * h), 1e-4 * 200)
                    << i << " " << j;
        }
    }
}

// A rubber cube compressed by 20 % along X by a dead traction, its lateral faces free to slide:
// the traction is the neo-Hookean nominal stress of that stretch with free lateral faces.
TEST(LargeDisplacements, RubberBlockInUniaxialCompression) {
    const NeoHookean m = NeoHookean::fromYoung(3, 0.45);
    const double stretch = 0.8;
    double lo = 1, hi = 2;  // lateral stretch: P22 = mu (t - 1/t) + lambda ln(J) / t = 0
    for (int i = 0; i < 100; ++i) {
        const double t = (lo + hi) / 2;
        (m.mu * (t - 1 / t) + m.lambda * std::log(stretch * t * t) / t > 0 ? hi : lo) = t;
    }
    const double t = lo;
    const double nominal = m.mu * (stretch - 1 / stretch) + m.lambda * std::log(stretch * t * t) / stretch;
    testing::SolverJob job("rubber");
    job.writeMesh(makeBoxMesh({{0, 0, 0}, {1, 1, 1}, 2, 2, 2, true}));
    testing::JobText text;
    text.materials = {"1  3,0.45,0,0,0,0,0,0,0,0,0,0,0"};
    text.restraints = {"bor 1 0 1 1", "bor 3 1 0 1", "bor 5 1 1 0"};
    text.loads = {"bol 2 0 " + std::to_string(nominal) + ", 0, 0"};
    job.writeInput(text);
    std::string input = readFile(job.inputPath());
    input.insert(input.find('\n', input.find("SOLVE\n") + 6) + 1, "GSTEP\n");
    writeFile(job.inputPath(), input);
    ASSERT_EQ(job.run(SolverChoice::Direct), "");
    const std::vector<double> disp = job.nodeBlock("DISP 10");
    ASSERT_FALSE(disp.empty());
    double ux = 0, uy = 0;
    for (std::size_t i = 0; i + 2 < disp.size(); i += 3) {
        ux = std::min(ux, disp[i]);
        uy = std::max(uy, disp[i + 1]);
    }
    EXPECT_NEAR(ux, stretch - 1, 0.02 * (1 - stretch));
    EXPECT_NEAR(uy, t - 1, 0.02 * (t - 1));
    // Four times that load is not reached: the run fails naming the step and keeps the steps that
    // converged.
    text.loads = {"bol 2 0 " + std::to_string(4 * nominal) + ", 0, 0"};
    job.writeInput(text);
    input = readFile(job.inputPath());
    input.insert(input.find('\n', input.find("SOLVE\n") + 6) + 1, "GSTEP\n");
    writeFile(job.inputPath(), input);
    const std::string message = job.run(SolverChoice::Direct);
    EXPECT_NE(message.find("does not converge"), std::string::npos) << message;
    EXPECT_FALSE(job.nodeBlock("DISP 1").empty());
}

}  // namespace
}  // namespace tarvsolv
