#pragma once
// The fluxes of an ideal gas through a face of a control volume, each along the face's area vector
// `n` (pointing from the left state to the right one; its length the face's area), so that the
// flux is what leaves the left volume per unit time.
#include "physics/gas_state.h"

namespace tarvsolv {

// The physical (Euler) flux F(U).n of one state.
GasConserved eulerFlux(const IdealGas& gas, const GasPrimitive& w, const Vec3& n);

// Toro's HLLC approximate Riemann flux between `left` and `right`, with Einfeldt's wave speeds (the
// Davis estimates bounded by the Roe-averaged ones): it keeps contacts and shear waves sharp and
// stays positive through strong shocks and expansions.
GasConserved hllcFlux(const IdealGas& gas, const GasPrimitive& left, const GasPrimitive& right,
                      const Vec3& n);

// The flux through a wall no gas passes: only the pressure's push, (0, p n, 0).
GasConserved wallFlux(const GasPrimitive& w, const Vec3& n);

}  // namespace tarvsolv
