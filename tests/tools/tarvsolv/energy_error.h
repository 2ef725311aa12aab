#pragma once
// The energy-norm error of a run's displacements against a closed-form stress field, for the checks
// of the error estimate: the true error that the estimate's effectivity divides by, and the energy
// norm of the run's own solution. The run's stresses are worked out from its displacements with
// the solver's own element geometry, curved elements included.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "fem/element_kernels.h"
#include "fem/fe_mesh.h"

namespace tarvsolv::testing {

struct EnergyNorms {
    double error = 0;     // of the exact stresses minus the run's
    double solution = 0;  // of the run's
};

// `u` three per node; `exact` the stresses sx sy sz txy tyz txz at a point; an isotropic material.
inline EnergyNorms energyNorms(const tarvsolv::FeMesh& mesh, const std::vector<double>& u, double young,
                               double poisson,
                               const std::function<std::array<double, 6>(const tarvsolv::Vec3&)>& exact) {
    const tarvsolv::ElasticMaterial m(tarvsolv::IsotropicElastic{young, poisson, 0, 0});
    // The strain of a stress: engineering shears, so that stress times strain is the energy density.
    const auto strainOf = [&](const std::array<double, 6>& s) {
        const double trace = s[0] + s[1] + s[2];
        std::array<double, 6> e{};
        for (int v = 0; v < 3; ++v) e[v] = ((1 + poisson) * s[v] - poisson * trace) / young;
        for (int v = 3; v < 6; ++v) e[v] = 2 * (1 + poisson) * s[v] / young;
        return e;
    };
    double error2 = 0, solution2 = 0;
    std::vector<double> ue;
    for (int e = 0; e < mesh.elementCount(); ++e) {
        tarvsolv::elementValues(mesh, e, u, 3, ue);
        for (const tarvsolv::VolumePoint& g : tarvsolv::volumePoints(mesh, e, 5)) {
            double grad[3][3] = {};
            for (int i = 0; i < mesh.nodesPerElement; ++i)
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b) grad[a][b] += ue[3 * i + a] * g.dx[i][b];
            const std::array<double, 6> sh = tarvsolv::stressOf(m, grad, 0), se = exact(g.x);
            const std::array<double, 6> eh = strainOf(sh), ee = strainOf(se);
            for (int v = 0; v < 6; ++v) {
                error2 += g.weight * (se[v] - sh[v]) * (ee[v] - eh[v]);
                solution2 += g.weight * sh[v] * eh[v];
            }
        }
    }
    return {std::sqrt(error2), std::sqrt(solution2)};
}

// The relative error of the log's line "error estimate: 3.2 % relative error in the energy norm",
// as a fraction; NaN without one.
inline double loggedRelativeError(const std::string& log) {
    const std::string key = "error estimate: ";
    const auto at = log.find(key);
    return at == std::string::npos ? std::nan("") : std::atof(log.c_str() + at + key.size()) / 100;
}

}  // namespace tarvsolv::testing
