#include "fem/plastic_kernels.h"

#include <algorithm>
#include <cmath>

namespace tarvsolv {
namespace {

// The plastic multiplier of a return to the cone's smooth part with the hardening branch that
// the end point lies on: dGamma = f / (3 mu + K eta^2 + H), and H = 0 beyond the ultimate k.
struct Multiplier {
    double dGamma = 0, slope = 0;
};

Multiplier coneMultiplier(const PlasticLaw& law, double trialF, double ep, double mu, double bulk) {
    const double elastic = 3 * mu + bulk * law.pressureSlope * law.pressureSlope;
    const double k = law.yield + law.hardening * ep;
    if (k < law.ultimate) {
        const double dGamma = trialF / (elastic + law.hardening);
        if (k + law.hardening * dGamma <= law.ultimate) return {dGamma, law.hardening};
    }
    // On the plateau: the end point's k is the ultimate one.
    return {(trialF + std::min(k, law.ultimate) - law.ultimate) / elastic, 0.0};
}

}  // namespace

PlasticUpdate plasticReturn(const PlasticLaw& law, const std::array<double, 6>& strain,
                            const PlasticState& previous) {
    const double mu = law.young / (2 * (1 + law.poisson));
    const double bulk = law.young / (3 * (1 - 2 * law.poisson));
    const double eta = law.pressureSlope;

    // Trial stress from the elastic strain: volumetric and deviatoric parts apart.
    std::array<double, 6> elastic{};
    for (int i = 0; i < 6; ++i) elastic[i] = strain[i] - previous.plasticStrain[i];
    const double volumetric = elastic[0] + elastic[1] + elastic[2];
    const double pTrial = bulk * volumetric;
    std::array<double, 6> dev{};
    for (int i = 0; i < 3; ++i) dev[i] = 2 * mu * (elastic[i] - volumetric / 3);
    for (int i = 3; i < 6; ++i) dev[i] = mu * elastic[i];
    const double norm = std::sqrt(dev[0] * dev[0] + dev[1] * dev[1] + dev[2] * dev[2] +
                                  2 * (dev[3] * dev[3] + dev[4] * dev[4] + dev[5] * dev[5]));
    const double qTrial = std::sqrt(1.5) * norm;
    const double ep = previous.equivalentPlasticStrain;
    const double flowStress = std::min(law.yield + law.hardening * ep, law.ultimate);
    const double trialF = qTrial + eta * pTrial - flowStress;

    PlasticUpdate out;
    out.state = previous;
    const auto elasticTangent = [&](double devScale) {
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j) {
                double v = 0;
                if (i < 3 && j < 3)
                    v = bulk + 2 * mu * devScale * ((i == j ? 1.0 : 0.0) - 1.0 / 3);
                else if (i == j)
                    v = mu * devScale;
                out.tangent[i * 6 + j] = v;
            }
    };
    if (!(trialF > flowStress * 1e-12)) {
        for (int i = 0; i < 6; ++i) out.stress[i] = dev[i] + (i < 3 ? pTrial : 0.0);
        elasticTangent(1.0);
        return out;
    }
    out.yielded = true;

    Multiplier m = coneMultiplier(law, trialF, ep, mu, bulk);
    if (eta > 0 && qTrial - 3 * mu * m.dGamma < 0) {
        // Beyond the apex: the deviator vanishes and the mean stress returns to k / eta.
        // eta (pTrial - K eta dGamma) = k(ep + dGamma), on the branch the end point lies on.
        double h = law.hardening, k0 = law.yield + h * ep;
        double dGamma = (eta * pTrial - k0) / (bulk * eta * eta + h);
        if (k0 >= law.ultimate || k0 + h * dGamma > law.ultimate) {
            h = 0;
            dGamma = (eta * pTrial - law.ultimate) / (bulk * eta * eta);
        }
        const double p = pTrial - bulk * eta * dGamma;
        for (int i = 0; i < 6; ++i) out.stress[i] = i < 3 ? p : 0.0;
        // The whole elastic deviator and the volume change beyond the apex's turn plastic.
        const double pStrain = (volumetric - p / bulk) / 3;
        for (int i = 0; i < 6; ++i)
            out.state.plasticStrain[i] += (i < 3 ? elastic[i] - volumetric / 3 + pStrain : elastic[i]);
        out.state.equivalentPlasticStrain += dGamma;
        // dp = K H / (K eta^2 + H) dvol; perfectly plastic: no stiffness left at the apex.
        out.tangent.fill(0.0);
        const double c = bulk * h / (bulk * eta * eta + h);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) out.tangent[i * 6 + j] = c;
        return out;
    }

    // Return along the normal: the deviator shrinks along itself by 3 mu dGamma in q, the mean
    // stress drops by K eta dGamma; the plastic strain grows by dGamma (3/2 s / q + eta / 3 I).
    const double dGamma = m.dGamma;
    const double scale = 1 - 3 * mu * dGamma / qTrial;
    const double p = pTrial - bulk * eta * dGamma;
    for (int i = 0; i < 6; ++i) out.stress[i] = scale * dev[i] + (i < 3 ? p : 0.0);
    out.state.equivalentPlasticStrain += dGamma;
    for (int i = 0; i < 6; ++i)
        out.state.plasticStrain[i] +=
            dGamma * (1.5 * dev[i] / qTrial * (i < 3 ? 1.0 : 2.0) + (i < 3 ? eta / 3 : 0.0));

    // Consistent tangent: K I(x)I + 2 mu scale Idev + 6 mu^2 dGamma / q N(x)N - b(x)b / D with
    // N the unit trial deviator, b = sqrt(6) mu N + K eta I and D = 3 mu + K eta^2 + H; columns
    // act on engineering strains.
    elasticTangent(scale);
    const double denominator = 3 * mu + bulk * eta * eta + m.slope;
    std::array<double, 6> b{};
    for (int i = 0; i < 6; ++i) b[i] = std::sqrt(6.0) * mu * dev[i] / norm + (i < 3 ? bulk * eta : 0.0);
    const double c = 6 * mu * mu * dGamma / qTrial;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            out.tangent[i * 6 + j] += c * dev[i] / norm * dev[j] / norm - b[i] * b[j] / denominator;
    return out;
}

}  // namespace tarvsolv
