#pragma once
// The Euler flux of an ideal gas through an area vector and its analytic derivatives in the
// conserved variables: the 5 x 5 blocks of the Jacobian of the first-order scheme that the implicit
// pseudo-time steps solve with. The first-order flux across a dual face is Rusanov's (the mean of
// the two states' fluxes less the largest wave speed times the jump), whose Jacobian is the
// flux Jacobian of each side plus or minus that wave speed, the speed taken as frozen.
#include <array>

#include "fem/vec3.h"
#include "physics/gas_state.h"

namespace tarvsolv {

// Row-major: entry (i, j) is d flux_i / d U_j.
using GasBlock = std::array<double, kGasFields * kGasFields>;

// F(U).n: the flux of mass, momentum and energy through the area vector `n`.
GasConserved eulerFlux(const IdealGas& gas, const GasConserved& U, Vec3 n);
// d(F(U).n)/dU.
GasBlock eulerFluxJacobian(const IdealGas& gas, const GasConserved& U, Vec3 n);

// The fastest wave through `n` of state `U`, times |n|: |u.n| + c |n|.
double spectralRadius(const IdealGas& gas, const GasConserved& U, Vec3 n);

struct RusanovJacobians {
    GasBlock a;  // d flux / d Ua
    GasBlock b;  // d flux / d Ub
};
// The derivatives of Rusanov's flux from `a` to `b` through `n` (pointing from a to b),
// 1/2 (F(a) + F(b)).n - 1/2 lambda (b - a) with lambda the larger spectralRadius of the two, the
// wave speed frozen.
RusanovJacobians rusanovJacobians(const IdealGas& gas, const GasConserved& a, const GasConserved& b, Vec3 n);

// A wall's flux (0, p n, 0) through the outward area vector `n`, and its derivative by U.
GasConserved wallFlux(const IdealGas& gas, const GasConserved& U, Vec3 n);
GasBlock wallFluxJacobian(const IdealGas& gas, const GasConserved& U, Vec3 n);

}  // namespace tarvsolv
