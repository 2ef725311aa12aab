#pragma once
// The tetrahedra of a plastic body: internal forces and consistent tangent stiffness of an
// element from its displacements and the converged states at its integration points (the
// stiffness rule's: 1 point for linear, 4 for quadratic elements), and the values at the four
// corners of what is known at those points.
#include <array>
#include <span>
#include <vector>

#include "fem/fe_mesh.h"
#include "fem/plastic_kernels.h"

namespace tarvsolv {

// The free thermal strain of an element: `expansion` times the temperature change interpolated at
// each point from `nodeChanges` (one per element node; empty: none), times `factor` (the load
// factor it rises with).
struct FreeThermalStrain {
    double expansion = 0;
    std::span<const double> nodeChanges;
    double factor = 1;
};

// Integration points per element of the mesh.
int plasticPointCount(const FeMesh& mesh);

// Tangent `ke` (3P x 3P) and internal forces `fint` (3P) of element `element` at the strains of
// its displacements `ue` (3P) less the free thermal strain, with the states `previous` at its
// points; `updates` receives each point's stress and new state.
void plasticElement(const FeMesh& mesh, int element, const PlasticLaw& law, std::span<const double> ue,
                    const FreeThermalStrain& thermal, std::span<const PlasticState> previous,
                    std::vector<double>& ke, std::vector<double>& fint, std::vector<PlasticUpdate>& updates);

// The points' stresses and states only (no matrices): what a converged step keeps.
void plasticPointUpdates(const FeMesh& mesh, int element, const PlasticLaw& law, std::span<const double> ue,
                         const FreeThermalStrain& thermal, std::span<const PlasticState> previous,
                         std::vector<PlasticUpdate>& updates);

// The values at the four corners of a field known at the element's points: the linear field
// through the points (the one value of a linear element's point at every corner).
std::array<double, 4> pointsToCorners(const FeMesh& mesh, std::span<const double> atPoints);

}  // namespace tarvsolv
