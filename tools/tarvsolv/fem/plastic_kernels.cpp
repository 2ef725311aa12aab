#include "fem/plastic_kernels.h"

#include <cmath>

namespace tarvsolv {

PlasticUpdate vonMisesReturn(const VonMisesLaw& law, const std::array<double, 6>& strain,
                             const PlasticState& previous) {
    const double mu = law.young / (2 * (1 + law.poisson));
    const double bulk = law.young / (3 * (1 - 2 * law.poisson));

    // Trial stress from the elastic strain: volumetric and deviatoric parts apart.
    std::array<double, 6> elastic{};
    for (int i = 0; i < 6; ++i) elastic[i] = strain[i] - previous.plasticStrain[i];
    const double volumetric = elastic[0] + elastic[1] + elastic[2];
    const double pressure = bulk * volumetric;
    std::array<double, 6> dev{};
    for (int i = 0; i < 3; ++i) dev[i] = 2 * mu * (elastic[i] - volumetric / 3);
    for (int i = 3; i < 6; ++i) dev[i] = mu * elastic[i];
    const double norm = std::sqrt(dev[0] * dev[0] + dev[1] * dev[1] + dev[2] * dev[2] +
                                  2 * (dev[3] * dev[3] + dev[4] * dev[4] + dev[5] * dev[5]));
    const double qTrial = std::sqrt(1.5) * norm;
    const double flowStress = law.yield + law.hardening * previous.equivalentPlasticStrain;

    PlasticUpdate out;
    out.state = previous;
    double dGamma = 0;
    if (qTrial > flowStress * (1 + 1e-12)) {
        out.yielded = true;
        dGamma = (qTrial - flowStress) / (3 * mu + law.hardening);
    }

    // Radial return: the deviator shrinks along itself; the plastic strain grows along the
    // normal 3/2 s / q (its shears doubled to engineering ones).
    const double scale = out.yielded ? 1 - 3 * mu * dGamma / qTrial : 1.0;
    for (int i = 0; i < 6; ++i) out.stress[i] = scale * dev[i] + (i < 3 ? pressure : 0.0);
    if (out.yielded) {
        out.state.equivalentPlasticStrain += dGamma;
        for (int i = 0; i < 6; ++i)
            out.state.plasticStrain[i] += dGamma * 1.5 * dev[i] / qTrial * (i < 3 ? 1.0 : 2.0);
    }

    // Consistent tangent: K I(x)I + 2 mu scale Idev + 6 mu^2 (dGamma/q - 1/(3 mu + H)) N(x)N,
    // N the unit trial deviator; columns act on engineering strains.
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) {
            double v = 0;
            if (i < 3 && j < 3)
                v = bulk + 2 * mu * scale * ((i == j ? 1.0 : 0.0) - 1.0 / 3);
            else if (i == j)
                v = mu * scale;
            out.tangent[i * 6 + j] = v;
        }
    if (out.yielded) {
        const double c = 6 * mu * mu * (dGamma / qTrial - 1 / (3 * mu + law.hardening));
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j) out.tangent[i * 6 + j] += c * dev[i] / norm * dev[j] / norm;
    }
    return out;
}

}  // namespace tarvsolv
