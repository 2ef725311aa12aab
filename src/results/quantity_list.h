#pragma once
// The result quantities both result dialogs offer (the 25 of mechanical loadcases, then the
// flow's, the heat flux, a gas's density and Mach number, and the error estimate): list text, legend label,
// (kind, item) and unit class; which of them a loadcase offers; and the unit texts of the length unit.
#include <string>
#include <string_view>
#include <vector>

#include "formats/result_kinds.h"

namespace results {

// Physics of a loadcase the results depend on.
inline constexpr int kPhysicsMechanical = 0;
inline constexpr int kPhysicsThermal = 6;
inline constexpr int kPhysicsFluid = 8;
// Thermal stress: the mechanical quantities with the temperatures they come from.
inline constexpr int kPhysicsMultiphysics = 10;
// A flow that carries heat (solve index of a fluid loadcase): the flow's quantities and its
// temperatures.
inline constexpr int kSolutionFlowWithHeat = 10;
// The flow of a gas (solve index of a fluid loadcase): the flow's quantities, its temperatures,
// density and Mach number.
inline constexpr int kSolutionCompressibleFlow = 9;
// The natural frequencies about a heated state (solve index of a Multiphysics loadcase).
inline constexpr int kSolutionThermalNaturalFrequencies = 14;

// Velocity: the length unit per second; PerSecond: "1/s" (vorticity); HeatFlux: power per area;
// Density: mass per volume as the material dialog gives it; Percent: "%".
enum class UnitClass { None, Stress, Length, Temperature, Velocity, PerSecond, HeatFlux, Density, Percent };

struct Quantity {
    std::string_view listText;
    std::string_view legendLabel;
    int kind;
    int item;
    UnitClass unit;
};

inline constexpr int kQuantityCount = 35;
// Positions 0 to 24 are the mechanical list.
inline constexpr int kMechanicalQuantityCount = 25;
inline constexpr int kPositionMesh = 0;
inline constexpr int kPositionTemperature = 19;
inline constexpr int kPositionFrequency = 20;
inline constexpr int kPositionXVelocity = 21;
inline constexpr int kPositionZVelocity = 23;
inline constexpr int kPositionSpeed = 25;
inline constexpr int kPositionPressure = 26;
inline constexpr int kPositionVorticity = 27;
// The heat flux's x, y, z components and its magnitude.
inline constexpr int kPositionXHeatFlux = 28;
inline constexpr int kPositionHeatFlux = 31;
inline constexpr int kPositionDensity = 32;
inline constexpr int kPositionMach = 33;
// The estimated error of the stresses, heat flux or mode shape, local, in per cent of the mean.
inline constexpr int kPositionErrorEstimate = 34;

// The quantity at list position `position` (0 to 34); "Mesh" for any other position.
const Quantity& quantityAt(int position);

// The unit class of position `position` in a loadcase of `physics`: a flow's velocity components
// are velocities; a mechanical loadcase's carry no unit, as they always have.
UnitClass unitClassAt(int position, int physics);

// Whether the time history graph plots the quantity at `position` of a loadcase of `physics`:
// every quantity of a node or stress block that a list of that physics offers (with its heat flux).
bool hasTimeHistory(int position, int physics);

// One line of a dialog's quantity list: its text and the position it stands for.
struct OfferedQuantity {
    std::string text;
    int position;
};

// The list a loadcase of `physics` and `solutionType` offers. A Multiphysics loadcase offers the
// mechanical list (its temperatures among them); its natural frequencies the frequency and the
// temperatures; a flow that carries heat the flow's list and the temperatures; the flow of a gas
// the flow's list, the temperatures, the density and the Mach number. Loadcases that
// carry heat offer the heat flux after "Temperatures" when `heatFlux` says their results hold it;
// any loadcase offers "Error estimate" last when `errorEstimate` says its results hold one.
std::vector<OfferedQuantity> offeredQuantities(int physics, int solutionType, bool heatFlux,
                                               bool errorEstimate = false);

// Whether a loadcase of `physics` and `solutionType` solves for temperatures: thermal,
// Multiphysics, and a flow that carries heat.
bool carriesHeat(int physics, int solutionType);

// Whether the mode shapes of a loadcase of `physics` and `solutionType` are natural frequencies
// (not buckling factors).
bool hasNaturalFrequencies(int physics, int solutionType);

// The position a plot uses: 19 for thermal loadcases (their heat flux lines keep their own), 20
// for mechanical natural-frequency loadcases, else the position of the list line chosen; the
// error estimate keeps its own everywhere.
int plotPosition(int physics, int solutionType, int listPosition);

// Unit texts given by the length unit's short text ("mm", "cm", "m.", "in", "ft").
std::string stressUnit(std::string_view lengthUnit);
std::string temperatureUnit(std::string_view lengthUnit);
// The length unit per second ("mm/s", "m/s" of "m.", "in/s"); "" without a length unit.
std::string velocityUnit(std::string_view lengthUnit);
// Power per area as the thermal loads take it: "W/mm2", "W/m2", "W/cm2", "Btu/(s-in2)"; "" for
// other units.
std::string heatFluxUnit(std::string_view lengthUnit);
// Mass per volume as the material dialog labels it: "kg/mm3", "kg/m3", "kg/cm3", "lbf/in3"; ""
// for other units.
std::string densityUnit(std::string_view lengthUnit);
// The unit text of a quantity's unit class.
std::string unitText(UnitClass unit, std::string_view lengthUnit);
// The unit text of a result kind: stress for stresses and pressures, temperature, the length unit
// for displacements, the heat flux unit, the density unit, "%" for the error estimate, else "".
std::string unitTextForKind(int kind, std::string_view lengthUnit);

}  // namespace results
