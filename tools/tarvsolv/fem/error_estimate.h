#pragma once
// The recovery-based (Zienkiewicz-Zhu) estimate of the energy-norm error of a finite-element
// solution, element by element. The flux of the solution (stresses, heat flux) jumps between
// elements; its patch recovery (fem/patch_recovery.h) is smooth and, on smooth solutions, closer to
// the exact flux by an order. The difference of the two measured in the energy norm estimates the
// error: eta_e^2 = integral over element e of (q* - q_h)^T C (q* - q_h), C the compliance (D^-1 for
// stresses, k^-1 for the heat flux).
#include <petscsys.h>  // MPI, without its C++ bindings

#include <functional>
#include <vector>

#include "fem/element_kernels.h"

namespace tarvsolv {

struct ErrorEstimate {
    std::vector<double> elementError;   // eta_e: the energy-norm error of each element
    std::vector<double> elementVolume;  // V_e of each element (empty: the percentages measure them)
    double errorNorm = 0;               // sqrt(sum eta_e^2)
    double solutionNorm = 0;            // the energy norm of the finite-element solution
    double relativeError() const;       // errorNorm / sqrt(errorNorm^2 + solutionNorm^2)
};

// The flux of the finite-element solution on one element.
struct ElementFlux {
    // Writes the flux's values at a point of the element.
    std::function<void(const VolumePoint& point, double* flux)> at;
    // The energy's weight, components x components, row-major: D^-1 for stresses, k^-1 for heat.
    std::vector<double> compliance;
};

// A flux of `components` values, element by element.
struct FluxField {
    int components = 0;
    std::function<ElementFlux(int element)> element;
};

// Collective over `comm`: each process recovers the flux at the nodes of its share of the elements
// (fem/model_share.h) from the samples of those elements and of the patches around them, and
// integrates its share; every process answers the whole estimate, one process's bit for bit.
// Every process must hold the whole mesh and field.
ErrorEstimate recoveryErrorEstimate(const FeMesh& mesh, const FluxField& field,
                                    MPI_Comm comm = MPI_COMM_SELF);

// The stresses of the displacements `u` (3 per node, every node) with each element's material and,
// when given, its temperature changes per element node (the thermal strain is no stress).
// Throws std::runtime_error when a material's matrix is not positive definite. Collective over
// `comm`, as recoveryErrorEstimate.
ErrorEstimate stressErrorEstimate(
    const FeMesh& mesh, const std::vector<double>& u,
    const std::function<ElasticMaterial(int element)>& materialOf,
    const std::function<std::vector<double>(int element)>& temperatureChangesOf = {},
    MPI_Comm comm = MPI_COMM_SELF);
// The stresses the elements carry, given at each element's four corners (4 per element, element
// after element): the linear field through the stresses at the element's integration points, as a
// history-dependent law (plasticity) returns them. The flux at a point is that linear field, so the
// recovery samples the stored stresses themselves at its points. Weighted by the elastic D^-1 of
// each element's material; throws as stressErrorEstimate does.
ErrorEstimate cornerStressErrorEstimate(const FeMesh& mesh, const std::vector<Stress6>& cornerStresses,
                                        const std::function<ElasticMaterial(int element)>& materialOf);
// The second Piola-Kirchhoff stress of the displacements `u` (3 per node, every node) on the
// reference mesh, of each element's neo-Hookean law with the material's initial mu and lambda,
// weighted by the initial elastic D^-1. Throws std::runtime_error on an element turned inside out.
ErrorEstimate secondPiolaErrorEstimate(const FeMesh& mesh, const std::vector<double>& u,
                                       const std::function<ElasticMaterial(int element)>& materialOf);
// The heat flux -k grad T of the temperatures (every node) with each element's conductivities along
// x, y and z. Throws std::runtime_error when a conductivity is not above 0.
ErrorEstimate heatFluxErrorEstimate(const FeMesh& mesh, const std::vector<double>& temperatures,
                                    const std::function<Vec3(int element)>& conductivityOf);

// The strain rate of the velocities (3 per node, every node) weighted by each element's viscosity:
// the energy is the viscous dissipation, 2 mu d:d. An element of viscosity 0 (a solid in a flow
// with heat) weighs nothing. Throws std::runtime_error when a viscosity is below 0.
ErrorEstimate strainRateErrorEstimate(const FeMesh& mesh, const std::vector<double>& velocities,
                                      const std::function<double(int element)>& viscosityOf);

// The estimate as shown: each element's error in per cent of the mean, 100 sqrt(eta_e^2 / V_e) /
// sqrt(solutionNorm^2 / V), V the volume of the model: the local error density against the mean
// energy density, alike for any element size, unit and physics. All 0 when the solution is 0.
std::vector<double> elementErrorPercent(const FeMesh& mesh, const ErrorEstimate& estimate);
// The same per node: the volume-weighted mean over the elements that hold the node.
std::vector<double> nodeErrorPercent(const FeMesh& mesh, const ErrorEstimate& estimate);
// Both at once, each element's volume measured or taken once.
struct ErrorPercent {
    std::vector<double> elements, nodes;
};
ErrorPercent errorPercents(const FeMesh& mesh, const ErrorEstimate& estimate);

}  // namespace tarvsolv
