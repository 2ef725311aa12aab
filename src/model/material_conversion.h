#pragma once
// Conversion of material values from a library file's unit system to the document's.
#include <array>
#include <optional>

#include "model/unit_system.h"

namespace model {

// Value slots of a material file, in file order.
inline constexpr int kThermalSlots = 5;  // k, ky, kz, rho, c
inline constexpr int kFluidSlots = 7;    // rho, mu, k, c, beta, gamma, R
inline constexpr int kMechanicalSlots =
    13;  // E1, nu, alpha1, rho, (unused), E2, G12, angle, alpha2, Sy, Su, Se, Syc
using MaterialValues = std::array<double, kMechanicalSlots>;

// Factors a file value is multiplied by. Mechanical: stresses and moduli, density, expansion
// coefficients. Thermal: conductivities, density, heat capacity.
struct MechanicalFactors {
    double stress = 1.0;
    double density = 1.0;
    double expansion = 1.0;
};
struct ThermalFactors {
    double conductivity = 1.0;
    double density = 1.0;
    double heatCapacity = 1.0;
};

// The factors from `file` to `document`; nothing when no conversion applies: the file names no
// unit system, is in cm, or is in the document's system, or the document is in none of mm, m, cm
// and in (feet: the values are taken as they stand).
std::optional<MechanicalFactors> mechanicalFactors(UnitSystem file, UnitSystem document);
std::optional<ThermalFactors> thermalFactors(UnitSystem file, UnitSystem document);

// Converts the slots of a mechanical file in place (Poisson's ratio and the angle never change).
void convertMechanical(MaterialValues& values, UnitSystem file, UnitSystem document);
// Converts the five slots of a thermal file in place.
void convertThermal(MaterialValues& values, UnitSystem file, UnitSystem document);
// Converts the seven slots of a fluid file in place: the density as a mechanical density, the
// dynamic viscosity (a stress times a time) as a stress, the conductivity and heat capacity as
// the thermal ones, the expansion coefficient as the mechanical one, and a gas's gas constant (an
// energy per mass and degree) as the heat capacity; the ratio of specific heats has no unit.
void convertFluid(MaterialValues& values, UnitSystem file, UnitSystem document);

}  // namespace model
