#pragma once
// Compressible neo-Hookean law and the total-Lagrangian element kernel built on it, the material
// part of a large-displacement analysis:
//   W = mu/2 (I1 - 3) - mu ln J + lambda/2 (ln J)^2,
// with mu and lambda the Lame constants of E and nu, so that small strains give back linear
// elasticity.
#include <array>
#include <functional>
#include <span>
#include <vector>

#include "fem/fe_mesh.h"

namespace tarvsolv {

struct NeoHookean {
    double mu = 0, lambda = 0;
    static NeoHookean fromYoung(double young, double poisson);
};

using Tensor3 = std::array<std::array<double, 3>, 3>;

double determinant(const Tensor3& a);
// Inverse of `a` by its cofactors, with `det` its determinant.
Tensor3 inverse(const Tensor3& a, double det);

// First Piola-Kirchhoff stress P of the deformation gradient F (rows: spatial, columns: material);
// `tangent`, when given, receives dP_iJ / dF_kL at index ((3 i + J) * 9 + 3 k + L). Throws when
// det F is not positive (an element turned inside out).
Tensor3 firstPiolaStress(const NeoHookean& m, const Tensor3& f, std::array<double, 81>* tangent = nullptr);
// Cauchy stress sx sy sz txy tyz txz of F: sigma = P F^T / J.
std::array<double, 6> cauchyStress(const NeoHookean& m, const Tensor3& f);

// Internal force (3P) and tangent stiffness (3P x 3P) of `element` at the nodal displacements `u`
// (3 per element node, in the element's node order), integrated over the reference configuration.
void hyperelasticElement(const FeMesh& mesh, int element, const NeoHookean& m, std::span<const double> u,
                         std::vector<double>& force, std::vector<double>& stiffness);

// A pressure that follows the deformed face: the nodal forces -p n da on boundary facet `facet`
// (n da from the deformed positions of its nodes, reference position + `u`, 3 per face node in
// FeMesh::faceNodes order) with p from `pressure` at the reference position, and the load
// stiffness -d force / d u (unsymmetric: 3F x 3F, row-major). At u = 0 the forces are those of the
// same pressure on the undeformed face.
void followerPressureFacet(const FeMesh& mesh, const Facet& facet,
                           const std::function<double(const Vec3&)>& pressure, std::span<const double> u,
                           std::vector<double>& force, std::vector<double>& stiffness);

}  // namespace tarvsolv
