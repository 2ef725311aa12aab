#pragma once
// The material-point update of rate-independent von Mises plasticity with linear isotropic
// hardening (perfectly plastic with a hardening modulus of 0): the radial return of a trial
// stress onto the yield surface and the tangent consistent with it, so that Newton iterations on
// the assembled residual keep their quadratic convergence. Stresses and strains are in the order
// x y z xy yz xz with engineering shears, as in the elastic kernels.
#include <array>

namespace tarvsolv {

struct VonMisesLaw {
    double young = 0, poisson = 0;
    double yield = 0;      // initial tensile yield stress
    double hardening = 0;  // slope of the yield stress against the equivalent plastic strain
};

// What a point carries from one converged load step to the next.
struct PlasticState {
    std::array<double, 6> plasticStrain{};  // engineering shears
    double equivalentPlasticStrain = 0;
};

struct PlasticUpdate {
    std::array<double, 6> stress{};
    std::array<double, 36> tangent{};  // row-major, d stress / d strain
    PlasticState state;                // the state after this strain
    bool yielded = false;
};

// Stress, consistent tangent and new state at total strain `strain` from the converged state
// `previous`. The law needs young > 0, 0 <= poisson < 0.5, yield > 0 and hardening >= 0.
PlasticUpdate vonMisesReturn(const VonMisesLaw& law, const std::array<double, 6>& strain,
                             const PlasticState& previous);

}  // namespace tarvsolv
