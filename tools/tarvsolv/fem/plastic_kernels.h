#pragma once
// The material-point update of rate-independent plasticity with isotropic linear hardening: the
// return of a trial stress onto the yield surface and the tangent consistent with it, so that
// Newton iterations on the assembled residual keep their quadratic convergence. The yield surface
// is q + eta p = k(ep), q the von Mises stress, p the mean stress (tension positive), ep the
// equivalent plastic strain: eta = 0 is von Mises, eta > 0 a Drucker-Prager cone. The flow is
// associated, so the tangent is symmetric. k rises from `yield` by `hardening` per unit of ep and
// stays at `ultimate` once it gets there. Stresses and strains are in the order x y z xy yz xz
// with engineering shears, as in the elastic kernels.
#include <array>
#include <limits>

namespace tarvsolv {

struct PlasticLaw {
    double young = 0, poisson = 0;
    double yield = 0;      // k at ep = 0 (von Mises: the tensile yield stress)
    double hardening = 0;  // slope of k against the equivalent plastic strain
    double ultimate = std::numeric_limits<double>::infinity();  // the largest k
    double pressureSlope = 0;                                   // eta: 0 von Mises
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
// `previous`. The law needs young > 0, 0 <= poisson < 0.5, yield > 0, hardening >= 0 and
// pressureSlope >= 0. A cone whose trial stress lies beyond its apex returns to the apex.
PlasticUpdate plasticReturn(const PlasticLaw& law, const std::array<double, 6>& strain,
                            const PlasticState& previous);

}  // namespace tarvsolv
