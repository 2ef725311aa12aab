#include "fem/error_estimate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

#include "base/agree_on_failure.h"
#include "fem/dense_cholesky.h"
#include "fem/hyperelastic_kernels.h"
#include "fem/model_share.h"
#include "fem/patch_recovery.h"
#include "fem/quadrature.h"

namespace tarvsolv {
namespace {

// Rule for the error integrals: exact for the square of a recovered flux of the element's order
// on straight-sided elements.
int errorRuleDegree(const FeMesh& mesh) {
    return mesh.nodesPerElement == 4 ? 2 : 5;
}

// The flux of `field` at the sampling points of the elements a recovery asks for.
SampledFlux sampledFlux(const FeMesh& mesh, const FluxField& field) {
    const std::vector<QuadPoint>& rule = samplingRule(mesh);
    const int m = field.components;
    return SampledFlux(mesh, m, [&mesh, &field, &rule, m](int e, Vec3* positions, double* values) {
        const ElementFlux flux = field.element(e);
        for (std::size_t k = 0; k < rule.size(); ++k) {
            const VolumePoint g = volumePoint(mesh, e, rule[k].xi, rule[k].weight);
            positions[k] = g.x;
            flux.at(g, values + k * m);
        }
    });
}

double energy(const std::vector<double>& compliance, const double* v, int m) {
    double sum = 0;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j) sum += v[i] * compliance[i * m + j] * v[j];
    return sum;
}

double elementVolume(const FeMesh& mesh, int e) {
    double v = 0;
    for (const VolumePoint& g : volumePoints(mesh, e, 2)) v += g.weight;
    return v;
}

// The inverse of the symmetric positive definite `a` (n x n); empty when it is not.
std::vector<double> inverse(std::vector<double> a, int n) {
    if (!choleskyFactor(a, n)) return {};
    std::vector<double> inv(static_cast<std::size_t>(n) * n, 0.0);
    for (int i = 0; i < n; ++i) inv[i * n + i] = 1;
    choleskySolve(a, n, inv.data(), n);
    return inv;
}

// D^-1 of element `e`'s material.
std::vector<double> stressCompliance(const ElasticMaterial& m, int e) {
    std::vector<double> compliance = inverse({m.d.begin(), m.d.end()}, 6);
    if (compliance.empty())
        throw std::runtime_error("the material of element " + std::to_string(e + 1) +
                                 " has no positive definite stiffness");
    return compliance;
}

// The coordinates of `x` in the straight tetrahedron of the element's corners, each corner's share:
// the weights of the linear field through values at the corners.
std::array<double, 4> cornerCoordinates(const FeMesh& mesh, int e, const Vec3& x) {
    const auto nodes = mesh.elementNodes(e);
    const Vec3 o = mesh.node(nodes[0]);
    double a[3][3], d[3] = {x.x - o.x, x.y - o.y, x.z - o.z};
    for (int k = 0; k < 3; ++k) {
        const Vec3 c = mesh.node(nodes[k + 1]);
        a[0][k] = c.x - o.x, a[1][k] = c.y - o.y, a[2][k] = c.z - o.z;
    }
    const auto det = [](const double(*m)[3], int column, const double* replaced) {
        double c[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) c[i][j] = j == column ? replaced[i] : m[i][j];
        return c[0][0] * (c[1][1] * c[2][2] - c[1][2] * c[2][1]) -
               c[0][1] * (c[1][0] * c[2][2] - c[1][2] * c[2][0]) +
               c[0][2] * (c[1][0] * c[2][1] - c[1][1] * c[2][0]);
    };
    const double whole = det(a, -1, d);
    std::array<double, 4> out{};
    if (whole == 0) return {0.25, 0.25, 0.25, 0.25};
    for (int k = 0; k < 3; ++k) out[k + 1] = det(a, k, d) / whole;
    out[0] = 1 - out[1] - out[2] - out[3];
    return out;
}

}  // namespace

double ErrorEstimate::relativeError() const {
    const double total = std::sqrt(errorNorm * errorNorm + solutionNorm * solutionNorm);
    return total > 0 ? errorNorm / total : 0;
}

ErrorEstimate recoveryErrorEstimate(const FeMesh& mesh, const FluxField& field, MPI_Comm comm) {
    const int m = field.components, p = mesh.nodesPerElement;
    const ElementSplit split(mesh, comm);
    // Each process recovers the field at its own elements' nodes from the patches of their corners,
    // sampling its own elements first, in element order, then the ring around them that their
    // patches reach: nothing of the whole model's samples or field travels between the processes.
    std::optional<RecoveredField> recovered;
    agreeOnFailure(comm, [&] {
        SampledFlux samples = sampledFlux(mesh, field);
        const std::size_t own = split.elements().size();
        samples.reserve(std::min(own + own / 8, static_cast<std::size_t>(mesh.elementCount())));
        for (const int e : split.elements()) samples.take(e);
        recovered.emplace(recoverPatchwise(mesh, samples, split.elements()));
    });
    ErrorEstimate out;
    out.elementError.resize(static_cast<std::size_t>(mesh.elementCount()));
    out.elementVolume.resize(out.elementError.size());
    std::vector<double> fe(m), difference(m);
    double sums[2] = {0, 0};  // the error's and the solution's energy
    agreeOnFailure(comm, [&] {
        for (std::size_t k = 0; k < split.elements().size(); ++k) {
            const int e = split.elements()[k];
            const ElementFlux flux = field.element(e);
            const auto nodes = mesh.elementNodes(e);
            std::array<const double*, 10> recoveredAt{};
            for (int i = 0; i < p; ++i) recoveredAt[i] = recovered->at(nodes[i]);
            double eta2 = 0;
            for (const VolumePoint& g : volumePoints(mesh, e, errorRuleDegree(mesh))) {
                flux.at(g, fe.data());
                for (int c = 0; c < m; ++c) {
                    double star = 0;
                    for (int i = 0; i < p; ++i) star += g.n[i] * recoveredAt[i][c];
                    difference[c] = star - fe[c];
                }
                eta2 += g.weight * energy(flux.compliance, difference.data(), m);
                sums[1] += g.weight * energy(flux.compliance, fe.data(), m);
            }
            out.elementError[split.firstSlot() + k] = std::sqrt(eta2);
            out.elementVolume[split.firstSlot() + k] = elementVolume(mesh, e);
            sums[0] += eta2;
        }
    });
    split.shareAmongAll(out.elementError.data(), 1);
    split.shareAmongAll(out.elementVolume.data(), 1);
    if (!split.single()) MPI_Allreduce(MPI_IN_PLACE, sums, 2, MPI_DOUBLE, MPI_SUM, comm);
    out.errorNorm = std::sqrt(sums[0]);
    out.solutionNorm = std::sqrt(sums[1]);
    return out;
}

ErrorEstimate stressErrorEstimate(const FeMesh& mesh, const std::vector<double>& u,
                                  const std::function<ElasticMaterial(int element)>& materialOf,
                                  const std::function<std::vector<double>(int element)>& temperatureChangesOf,
                                  MPI_Comm comm) {
    const int p = mesh.nodesPerElement;
    FluxField field{6, [&](int e) {
                        const ElasticMaterial m = materialOf(e);
                        std::vector<double> ue, dT;
                        elementValues(mesh, e, u, 3, ue);
                        if (temperatureChangesOf) dT = temperatureChangesOf(e);
                        ElementFlux flux;
                        flux.compliance = stressCompliance(m, e);
                        flux.at = [m, ue = std::move(ue), dT = std::move(dT), p](const VolumePoint& g,
                                                                                 double* s) {
                            double grad[3][3];
                            displacementGradient(g, p, ue, grad);
                            double t = 0;
                            for (int i = 0; i < p && !dT.empty(); ++i) t += g.n[i] * dT[i];
                            const std::array<double, 6> stress = stressOf(m, grad, t);
                            std::copy(stress.begin(), stress.end(), s);
                        };
                        return flux;
                    }};
    return recoveryErrorEstimate(mesh, field, comm);
}

ErrorEstimate cornerStressErrorEstimate(const FeMesh& mesh, const std::vector<Stress6>& cornerStresses,
                                        const std::function<ElasticMaterial(int element)>& materialOf) {
    if (cornerStresses.size() != 4 * static_cast<std::size_t>(mesh.elementCount()))
        throw std::runtime_error("the stresses do not give four corners of every element");
    FluxField field{6, [&](int e) {
                        ElementFlux flux;
                        flux.compliance = stressCompliance(materialOf(e), e);
                        const Stress6* corners = cornerStresses.data() + 4 * static_cast<std::size_t>(e);
                        flux.at = [&mesh, e, corners](const VolumePoint& g, double* s) {
                            const std::array<double, 4> share = cornerCoordinates(mesh, e, g.x);
                            for (int c = 0; c < 6; ++c) {
                                s[c] = 0;
                                for (int k = 0; k < 4; ++k) s[c] += share[k] * corners[k][c];
                            }
                        };
                        return flux;
                    }};
    return recoveryErrorEstimate(mesh, field);
}

ErrorEstimate secondPiolaErrorEstimate(const FeMesh& mesh, const std::vector<double>& u,
                                       const std::function<ElasticMaterial(int element)>& materialOf) {
    const int p = mesh.nodesPerElement;
    FluxField field{6, [&](int e) {
                        const ElasticMaterial m = materialOf(e);
                        std::vector<double> ue;
                        elementValues(mesh, e, u, 3, ue);
                        ElementFlux flux;
                        flux.compliance = stressCompliance(m, e);
                        flux.at = [law = NeoHookean{m.mu, m.lambda}, ue = std::move(ue), p](
                                      const VolumePoint& g, double* s) {
                            double grad[3][3];
                            displacementGradient(g, p, ue, grad);
                            Tensor3 f{};
                            for (int i = 0; i < 3; ++i)
                                for (int b = 0; b < 3; ++b) f[i][b] = grad[i][b] + (i == b ? 1 : 0);
                            const Tensor3 piola = firstPiolaStress(law, f);
                            // S = F^-1 P; firstPiolaStress has already refused det F <= 0.
                            const Tensor3 inv = inverse(f, determinant(f));
                            const auto second = [&](int a, int b) {
                                double sum = 0;
                                for (int k = 0; k < 3; ++k) sum += inv[a][k] * piola[k][b];
                                return sum;
                            };
                            const double voigt[6] = {second(0, 0), second(1, 1), second(2, 2),
                                                     second(0, 1), second(1, 2), second(0, 2)};
                            std::copy(voigt, voigt + 6, s);
                        };
                        return flux;
                    }};
    return recoveryErrorEstimate(mesh, field);
}

ErrorEstimate heatFluxErrorEstimate(const FeMesh& mesh, const std::vector<double>& temperatures,
                                    const std::function<Vec3(int element)>& conductivityOf) {
    const int p = mesh.nodesPerElement;
    FluxField field{3, [&](int e) {
                        const Vec3 k = conductivityOf(e);
                        if (!(k.x > 0 && k.y > 0 && k.z > 0))
                            throw std::runtime_error("the conductivity of element " + std::to_string(e + 1) +
                                                     " is not above 0");
                        std::vector<double> te;
                        elementValues(mesh, e, temperatures, 1, te);
                        ElementFlux flux;
                        flux.compliance = {1 / k.x, 0, 0, 0, 1 / k.y, 0, 0, 0, 1 / k.z};
                        flux.at = [k, te = std::move(te), p](const VolumePoint& g, double* q) {
                            double grad[3] = {};
                            for (int i = 0; i < p; ++i)
                                for (int b = 0; b < 3; ++b) grad[b] += te[i] * g.dx[i][b];
                            for (int b = 0; b < 3; ++b) q[b] = -k[b] * grad[b];
                        };
                        return flux;
                    }};
    return recoveryErrorEstimate(mesh, field);
}

ErrorEstimate strainRateErrorEstimate(const FeMesh& mesh, const std::vector<double>& velocities,
                                      const std::function<double(int element)>& viscosityOf) {
    const int p = mesh.nodesPerElement;
    FluxField field{
        6, [&](int e) {
            const double mu = viscosityOf(e);
            if (!(mu >= 0))
                throw std::runtime_error("the viscosity of element " + std::to_string(e + 1) + " is below 0");
            std::vector<double> ue;
            elementValues(mesh, e, velocities, 3, ue);
            ElementFlux flux;
            // Engineering shear rates: 2 mu d:d = 2 mu (dxx^2 + ...) + mu (gxy^2 + ...).
            flux.compliance.assign(36, 0.0);
            for (int v = 0; v < 6; ++v) flux.compliance[7 * v] = v < 3 ? 2 * mu : mu;
            flux.at = [ue = std::move(ue), p](const VolumePoint& g, double* d) {
                double grad[3][3];
                displacementGradient(g, p, ue, grad);
                const double rate[6] = {grad[0][0],
                                        grad[1][1],
                                        grad[2][2],
                                        grad[0][1] + grad[1][0],
                                        grad[1][2] + grad[2][1],
                                        grad[0][2] + grad[2][0]};
                std::copy(rate, rate + 6, d);
            };
            return flux;
        }};
    return recoveryErrorEstimate(mesh, field);
}

namespace {

// The estimate's element volumes, or those measured into `measured` when it carries none.
const std::vector<double>& volumesOf(const FeMesh& mesh, const ErrorEstimate& estimate,
                                     std::vector<double>& measured) {
    if (estimate.elementVolume.size() == static_cast<std::size_t>(mesh.elementCount()))
        return estimate.elementVolume;
    measured.resize(static_cast<std::size_t>(mesh.elementCount()));
    for (int e = 0; e < mesh.elementCount(); ++e) measured[e] = elementVolume(mesh, e);
    return measured;
}

std::vector<double> errorPercent(const ErrorEstimate& estimate, const std::vector<double>& volumes) {
    double total = 0;
    for (const double v : volumes) total += v;
    std::vector<double> out(volumes.size(), 0.0);
    if (!(estimate.solutionNorm > 0) || !(total > 0)) return out;
    const double meanDensity = std::sqrt(estimate.solutionNorm * estimate.solutionNorm / total);
    for (std::size_t e = 0; e < out.size(); ++e)
        if (volumes[e] > 0 && e < estimate.elementError.size())
            out[e] = 100 * estimate.elementError[e] / std::sqrt(volumes[e]) / meanDensity;
    return out;
}

}  // namespace

std::vector<double> elementErrorPercent(const FeMesh& mesh, const ErrorEstimate& estimate) {
    std::vector<double> measured;
    return errorPercent(estimate, volumesOf(mesh, estimate, measured));
}

ErrorPercent errorPercents(const FeMesh& mesh, const ErrorEstimate& estimate) {
    std::vector<double> measured;
    const std::vector<double>& volumes = volumesOf(mesh, estimate, measured);
    ErrorPercent out{errorPercent(estimate, volumes), {}};
    const auto nodes = static_cast<std::size_t>(mesh.nodeCount());
    std::vector<double> weight(nodes, 0.0);
    out.nodes.assign(nodes, 0.0);
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const double v = volumes[e];
        for (int n : mesh.elementNodes(e)) out.nodes[n] += v * out.elements[e], weight[n] += v;
    }
    for (std::size_t n = 0; n < nodes; ++n) out.nodes[n] = weight[n] > 0 ? out.nodes[n] / weight[n] : 0;
    return out;
}

std::vector<double> nodeErrorPercent(const FeMesh& mesh, const ErrorEstimate& estimate) {
    return errorPercents(mesh, estimate).nodes;
}

}  // namespace tarvsolv
