// The von Mises return mapping at one material point: a bar pulled beyond yield, and the
// consistent tangent against finite differences of the stress.
#include <gtest/gtest.h>

#include <cmath>

#include "fem/plastic_kernels.h"

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

TEST(VonMisesReturn, BarPulledBeyondYieldFlowsAtTheYieldStressOrAlongItsHardening) {
    const double young = 200000, yield = 250, pull = 0.01;
    for (double hardening : {0.0, 2000.0}) {
        const PlasticLaw law{young, 0.3, yield, hardening};
        const auto [update, iterations] = pullBar(law, pull, 10);
        // Axial stress s = Sy + H ep and pull = s / E + ep.
        const double plastic = (pull - yield / young) / (1 + hardening / young);
        EXPECT_NEAR(update.stress[0], yield + hardening * plastic, 1e-6 * yield) << "H " << hardening;
        EXPECT_NEAR(update.state.plasticStrain[0], plastic, 1e-9) << "H " << hardening;
        EXPECT_NEAR(update.state.equivalentPlasticStrain, plastic, 1e-9) << "H " << hardening;
        // Plastic flow keeps the volume: the lateral plastic strains are half the axial one.
        EXPECT_NEAR(update.state.plasticStrain[1], -plastic / 2, 1e-9);
        EXPECT_NEAR(update.state.plasticStrain[3], 0, 1e-15);
        // A consistent tangent converges in a few iterations even on the step that first yields.
        EXPECT_LE(iterations, 5) << "H " << hardening;
    }
    // Below yield the bar stays elastic: no plastic strain and the stress is E times the pull.
    const auto [elastic, unused] = pullBar({young, 0.3, yield, 0}, 0.5 * yield / young, 1);
    EXPECT_FALSE(elastic.yielded);
    EXPECT_NEAR(elastic.stress[0], 0.5 * yield, 1e-9 * yield);
    EXPECT_EQ(elastic.state.equivalentPlasticStrain, 0);
}

TEST(VonMisesReturn, TangentIsTheDerivativeOfTheReturnedStress) {
    const PlasticLaw law{70000, 0.33, 100, 700};
    PlasticState previous;
    previous.plasticStrain = {0.001, -0.0004, -0.0006, 0.0003, 0, -0.0002};
    previous.equivalentPlasticStrain = 0.0012;
    // A strain well beyond yield, with every shear present, and one inside the elastic range.
    for (const std::array<double, 6>& strain :
         {std::array<double, 6>{0.004, -0.001, 0.0005, 0.003, -0.002, 0.001},
          std::array<double, 6>{0.0011, -0.0004, -0.0006, 0.0003, 0, -0.0002}}) {
        const PlasticUpdate at = plasticReturn(law, strain, previous);
        const double h = 1e-8;
        for (int j = 0; j < 6; ++j) {
            std::array<double, 6> up = strain, down = strain;
            up[j] += h;
            down[j] -= h;
            const PlasticUpdate u = plasticReturn(law, up, previous), d = plasticReturn(law, down, previous);
            for (int i = 0; i < 6; ++i)
                EXPECT_NEAR(at.tangent[i * 6 + j], (u.stress[i] - d.stress[i]) / (2 * h), 1e-5 * law.young)
                    << "yielded " << at.yielded << " d s" << i << " / d e" << j;
        }
    }
}

}  // namespace
}  // namespace tarvsolv
