// The return mapping at one material point: bars pulled and pushed beyond yield (von Mises with
// hardening, the Drucker-Prager cone), and the consistent tangent against finite differences.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "difference_quotients.h"
#include "fem/plastic_kernels.h"
#include "physics/plastic_analysis.h"

namespace tarvsolv {
namespace {

// Pulls a bar to axial strain `pull` in `steps` increments, the lateral stresses held at 0 by
// Newton iterations on the lateral strains with the consistent tangent. Answers the last update
// and the largest number of iterations an increment needed.
std::pair<PlasticUpdate, int> pullBar(const PlasticLaw& law, double pull, int steps) {
    PlasticState state;
    std::array<double, 6> strain{};
    PlasticUpdate update;
    int mostIterations = 0;
    for (int s = 1; s <= steps; ++s) {
        strain[0] = pull * s / steps;
        int it = 0;
        for (;; ++it) {
            update = plasticReturn(law, strain, state);
            if (std::abs(update.stress[1]) + std::abs(update.stress[2]) < 1e-10 * law.yield || it == 20)
                break;
            // Solve the 2x2 lateral block for the correction of ey, ez.
            const double a = update.tangent[7], b = update.tangent[8];
            const double c = update.tangent[13], d = update.tangent[14];
            const double det = a * d - b * c;
            strain[1] -= (d * update.stress[1] - b * update.stress[2]) / det;
            strain[2] -= (a * update.stress[2] - c * update.stress[1]) / det;
        }
        mostIterations = std::max(mostIterations, it);
        state = update.state;
    }
    return {update, mostIterations};
}

// A bar pulled or pushed along x to four times its yield strain flows on the yield surface: von
// Mises with hardening at Sy + H ep, keeping its volume; the Drucker-Prager cone fitted to
// Mohr-Coulomb at its uniaxial yields 2 c cos(phi) / (1 +- sin(phi)), the cohesion c taken from Syc
// when given, else from Sy, dilating by 3 sin(phi) per unit of the equivalent plastic strain.
TEST(PlasticReturn, UniaxialPullFlowsOnTheYieldSurface) {
    const double young = 30000, sy = 20, syc = 90, s = std::sin(30 * std::numbers::pi / 180);
    const PlasticLaw hardening{young, 0.3, sy, 2000};
    struct Case {
        PlasticLaw law;
        double yield;  // signed uniaxial yield stress
        double dilatancy;
    } cases[] = {{hardening, sy, 0},
                 {plasticLawOf(young, 0.2, sy, 0, syc, 30), syc * (1 - s) / (1 + s), 3 * s},
                 {plasticLawOf(young, 0.2, sy, 0, syc, 30), -syc, 3 * s},
                 {plasticLawOf(young, 0.2, sy, 0, 0, 30), sy, 3 * s},
                 {plasticLawOf(young, 0.2, sy, 0, 0, 30), -sy * (1 + s) / (1 - s), 3 * s}};
    for (const Case& c : cases) {
        const double pull = 4 * c.yield / young;
        const auto [update, iterations] = pullBar(c.law, pull, 10);
        // Axial stress k + H ep (signed) and pull = stress / E + axial plastic strain.
        const double h = c.law.hardening, plastic = (pull - c.yield / young) / (1 + h / young);
        EXPECT_NEAR(update.stress[0], c.yield + h * plastic, 1e-6 * sy) << "yield " << c.yield;
        const auto& ep = update.state.plasticStrain;
        EXPECT_NEAR(ep[0], plastic, 1e-9) << "yield " << c.yield;
        EXPECT_NEAR(ep[0] + ep[1] + ep[2], c.dilatancy * update.state.equivalentPlasticStrain, 1e-12);
        // A consistent tangent converges in a few iterations even on the step that first yields.
        EXPECT_LE(iterations, 5) << "yield " << c.yield;
    }
    // Below yield the bar stays elastic.
    const auto [elastic, unused] = pullBar(hardening, 0.5 * sy / young, 1);
    EXPECT_FALSE(elastic.yielded);
    EXPECT_NEAR(elastic.stress[0], 0.5 * sy, 1e-9 * sy);
}

TEST(PlasticReturn, TangentIsTheDerivativeOfTheReturnedStress) {
    // Von Mises with hardening; a cone with hardening up to an ultimate value that the first
    // strain passes; the same cone pulled apart in all directions (a return to its apex).
    const PlasticLaw vonMises{70000, 0.33, 100, 700};
    const PlasticLaw cone{70000, 0.33, 100, 7000, 104, 0.9};
    PlasticState previous;
    previous.plasticStrain = {0.001, -0.0004, -0.0006, 0.0003, 0, -0.0002};
    previous.equivalentPlasticStrain = 0.0002;
    // A strain well beyond yield, with every shear present, and one inside the elastic range.
    for (const PlasticLaw& law : {vonMises, cone})
        for (const std::array<double, 6>& strain :
             {std::array<double, 6>{0.004, -0.001, 0.0005, 0.003, -0.002, 0.001},
              std::array<double, 6>{0.0011, -0.0004, -0.0006, 0.0003, 0, -0.0002},
              std::array<double, 6>{0.003, 0.0031, 0.0029, 0.0004, 0.0001, 0.0002}}) {
            const PlasticUpdate at = plasticReturn(law, strain, previous);
            SCOPED_TRACE(::testing::Message() << "eta " << law.pressureSlope << " yielded " << at.yielded);
            const auto stress = [&](const std::vector<double>& e) {
                std::array<double, 6> s;
                std::copy(e.begin(), e.end(), s.begin());
                const auto t = plasticReturn(law, s, previous).stress;
                return std::vector<double>(t.begin(), t.end());
            };
            testing::expectDerivativeOf(at.tangent, stress, {strain.begin(), strain.end()}, 1e-8,
                                        1e-5 * law.young);
            // The returned stress lies on the surface: q + eta p = k(ep).
            const auto& t = at.stress;
            const double p = (t[0] + t[1] + t[2]) / 3;
            const double q = std::sqrt(0.5 * ((t[0] - t[1]) * (t[0] - t[1]) + (t[1] - t[2]) * (t[1] - t[2]) +
                                              (t[2] - t[0]) * (t[2] - t[0])) +
                                       3 * (t[3] * t[3] + t[4] * t[4] + t[5] * t[5]));
            const double k =
                std::min(law.yield + law.hardening * at.state.equivalentPlasticStrain, law.ultimate);
            if (at.yielded) {
                EXPECT_NEAR(q + law.pressureSlope * p, k, 1e-9 * k) << "eta " << law.pressureSlope;
            }
        }
}

}  // namespace
}  // namespace tarvsolv
