#include "results/quantity_list.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace results {
namespace {

using U = UnitClass;

constexpr std::array<Quantity, kQuantityCount> kQuantities{{
    {"Mesh", "Mesh", kKindMesh, 0, U::None},
    {"X Stress", "X Direct Stress", kKindStress, 0, U::Stress},
    {"Y Stress", "Y Direct Stress", kKindStress, 1, U::Stress},
    {"Z Stress", "Z Direct Stress", kKindStress, 2, U::Stress},
    {"XY Shear", "XY Shear Stress", kKindStress, 3, U::Stress},
    {"YZ Shear", "YZ Shear Stress", kKindStress, 4, U::Stress},
    {"XZ Shear", "XZ Shear Stress", kKindStress, 5, U::Stress},
    {"Von Mises Stress", "von Mises Stress", kKindStress, 6, U::Stress},
    {"Tresca Stress", "Tresca Stress", kKindStress, 7, U::Stress},
    {"Signed Von Mises", "signed von Mises Stress", kKindStress, 8, U::Stress},
    {"Signed Tresca", "signed Tresca Stress", kKindStress, 9, U::Stress},
    {"Principal 1", "Principal Stress 1", kKindStress, 10, U::Stress},
    {"Principal 2", "Principal Stress 2", kKindStress, 11, U::Stress},
    {"Principal 3", "Principal Stress 3", kKindStress, 12, U::Stress},
    {"Max. Principal", "Max. Principal Stress", kKindStress, 13, U::Stress},
    {"XYZ Displacement", "Combined Displacement", kKindDisplacement, 3, U::Length},
    {"X Displacement", "X Displacement", kKindDisplacement, 0, U::Length},
    {"Y Displacement", "Y displacement", kKindDisplacement, 1, U::Length},
    {"Z Displacement", "Z displacement", kKindDisplacement, 2, U::Length},
    {"Temperatures", "Temperature", kKindTemperature, 0, U::Temperature},
    {"Buckling Load", "Frequency", kKindModeShape, 3, U::None},
    {"X Velocity", "X Velocity", kKindVelocity, 0, U::None},
    {"Y Velocity", "Y velocity", kKindVelocity, 1, U::None},
    {"Z Velocity", "Z velocity", kKindVelocity, 2, U::None},
    {"Plastic Strain", "Plastic Strain", kKindPlasticStrain, 0, U::None},
    {"Speed", "Speed", kKindVelocity, kItemMagnitude, U::Velocity},
    {"Pressure", "Pressure", kKindPressure, 0, U::Stress},
    {"Vorticity", "Vorticity magnitude", kKindVorticity, kItemMagnitude, U::PerSecond},
    {"X Heat Flux", "X Heat Flux", kKindHeatFlux, 0, U::HeatFlux},
    {"Y Heat Flux", "Y Heat Flux", kKindHeatFlux, 1, U::HeatFlux},
    {"Z Heat Flux", "Z Heat Flux", kKindHeatFlux, 2, U::HeatFlux},
    {"Heat Flux", "Heat Flux", kKindHeatFlux, kItemMagnitude, U::HeatFlux},
    {"Density", "Density", kKindDensity, 0, U::Density},
    {"Mach number", "Mach number", kKindMach, 0, U::None},
    {"Error estimate", "Error estimate", kKindErrorEstimate, 0, U::Percent},
}};

// A flow's list: the mesh, the velocity components, speed, pressure and vorticity.
constexpr int kFluidPositions[] = {kPositionMesh,      kPositionXVelocity, kPositionXVelocity + 1,
                                   kPositionZVelocity, kPositionSpeed,     kPositionPressure,
                                   kPositionVorticity};

bool isGasQuantity(int position) {
    return position == kPositionDensity || position == kPositionMach;
}

bool isHeatFlux(int position) {
    return position >= kPositionXHeatFlux && position <= kPositionHeatFlux;
}

// The heat flux lines after "Temperatures" in `list`.
void insertHeatFlux(std::vector<OfferedQuantity>& list) {
    auto at = std::find_if(list.begin(), list.end(),
                           [](const OfferedQuantity& q) { return q.position == kPositionTemperature; });
    if (at != list.end()) ++at;
    for (int p = kPositionHeatFlux; p >= kPositionXHeatFlux; --p)
        at = list.insert(at, {std::string(kQuantities[p].listText), p});
}

// A mechanical natural-frequency loadcase offers one quantity, whichever line is chosen.
bool isNaturalFrequencies(int physics, int solutionType) {
    return physics == kPhysicsMechanical && solutionType == kSolutionNaturalFrequencies;
}

}  // namespace

bool carriesHeat(int physics, int solutionType) {
    return physics == kPhysicsThermal || physics == kPhysicsMultiphysics ||
           (physics == kPhysicsFluid && solutionType == kSolutionFlowWithHeat);
}

bool hasNaturalFrequencies(int physics, int solutionType) {
    return isNaturalFrequencies(physics, solutionType) ||
           (physics == kPhysicsMultiphysics && solutionType == kSolutionThermalNaturalFrequencies);
}

const Quantity& quantityAt(int position) {
    if (position < 0 || position >= kQuantityCount) return kQuantities[kPositionMesh];
    return kQuantities[static_cast<std::size_t>(position)];
}

std::vector<OfferedQuantity> offeredQuantities(int physics, int solutionType, bool heatFlux,
                                               bool errorEstimate) {
    std::vector<OfferedQuantity> list{{"Mesh", kPositionMesh}};
    if (physics == kPhysicsThermal) {
        list.push_back({"Temperatures", kPositionTemperature});
    } else if (isNaturalFrequencies(physics, solutionType)) {
        list.push_back({"Natural frequency", kPositionFrequency});
    } else if (physics == kPhysicsMultiphysics && solutionType == kSolutionThermalNaturalFrequencies) {
        list.push_back({"Natural frequency", kPositionFrequency});
        list.push_back({"Temperatures", kPositionTemperature});
    } else if (physics == kPhysicsMechanical || physics == kPhysicsMultiphysics) {
        for (int p = 1; p < kMechanicalQuantityCount; ++p)
            list.push_back({std::string(kQuantities[p].listText), p});
    } else if (physics == kPhysicsFluid) {
        for (int p : kFluidPositions)
            if (p != kPositionMesh) list.push_back({std::string(kQuantities[p].listText), p});
        if (solutionType == kSolutionFlowWithHeat || solutionType == kSolutionCompressibleFlow)
            list.push_back({"Temperatures", kPositionTemperature});
        if (solutionType == kSolutionCompressibleFlow)
            for (int p : {kPositionDensity, kPositionMach})
                list.push_back({std::string(kQuantities[p].listText), p});
    }
    if (heatFlux && carriesHeat(physics, solutionType)) insertHeatFlux(list);
    if (errorEstimate && list.size() > 1)
        list.push_back({std::string(kQuantities[kPositionErrorEstimate].listText), kPositionErrorEstimate});
    return list;
}

UnitClass unitClassAt(int position, int physics) {
    if (physics == kPhysicsFluid && position >= kPositionXVelocity && position <= kPositionZVelocity)
        return UnitClass::Velocity;
    return quantityAt(position).unit;
}

bool hasTimeHistory(int position, int physics) {
    if (physics == kPhysicsThermal) return position == kPositionTemperature || isHeatFlux(position);
    if (physics == kPhysicsMultiphysics && isHeatFlux(position)) return true;
    // A flow's temperatures are offered only where it carries heat.
    if (physics == kPhysicsFluid)
        return position == kPositionTemperature || isHeatFlux(position) || isGasQuantity(position) ||
               (position != kPositionMesh && std::find(std::begin(kFluidPositions), std::end(kFluidPositions),
                                                       position) != std::end(kFluidPositions));
    if (physics != kPhysicsMechanical && physics != kPhysicsMultiphysics) return false;
    return (position >= 1 && position <= kPositionTemperature) ||
           (position >= kPositionXVelocity && position <= kPositionZVelocity);
}

int plotPosition(int physics, int solutionType, int listPosition) {
    if (listPosition == kPositionErrorEstimate) return listPosition;
    if (physics == kPhysicsThermal) return isHeatFlux(listPosition) ? listPosition : kPositionTemperature;
    if (isNaturalFrequencies(physics, solutionType)) return kPositionFrequency;
    return listPosition;
}

std::string stressUnit(std::string_view lengthUnit) {
    if (lengthUnit.starts_with("mm")) return "N/mm2";
    if (lengthUnit.starts_with("m")) return "N/m2";
    if (lengthUnit.starts_with("c")) return "N/cm2";
    if (lengthUnit.starts_with("i")) return "lbf/in2";
    return "";
}

std::string temperatureUnit(std::string_view lengthUnit) {
    return lengthUnit.starts_with("i") ? "deg. F" : "deg. C";
}

std::string velocityUnit(std::string_view lengthUnit) {
    // "m." names metres: the dot is not part of the unit.
    while (lengthUnit.ends_with('.')) lengthUnit.remove_suffix(1);
    return lengthUnit.empty() ? "" : std::string(lengthUnit) + "/s";
}

std::string heatFluxUnit(std::string_view lengthUnit) {
    if (lengthUnit.starts_with("mm")) return "W/mm2";
    if (lengthUnit.starts_with("m")) return "W/m2";
    if (lengthUnit.starts_with("c")) return "W/cm2";
    if (lengthUnit.starts_with("i")) return "Btu/(s-in2)";
    return "";
}

std::string densityUnit(std::string_view lengthUnit) {
    if (lengthUnit.starts_with("mm")) return "kg/mm3";
    if (lengthUnit.starts_with("m")) return "kg/m3";
    if (lengthUnit.starts_with("c")) return "kg/cm3";
    if (lengthUnit.starts_with("i")) return "lbf/in3";
    return "";
}

std::string unitText(UnitClass unit, std::string_view lengthUnit) {
    switch (unit) {
        case UnitClass::Stress:
            return stressUnit(lengthUnit);
        case UnitClass::Temperature:
            return temperatureUnit(lengthUnit);
        case UnitClass::Length:
            return std::string(lengthUnit);
        case UnitClass::Velocity:
            return velocityUnit(lengthUnit);
        case UnitClass::PerSecond:
            return "1/s";
        case UnitClass::HeatFlux:
            return heatFluxUnit(lengthUnit);
        case UnitClass::Density:
            return densityUnit(lengthUnit);
        case UnitClass::Percent:
            return "%";
        case UnitClass::None:
            break;
    }
    return "";
}

std::string unitTextForKind(int kind, std::string_view lengthUnit) {
    switch (kind) {
        case kKindStress:
        case kKindPressure:
            return stressUnit(lengthUnit);
        case kKindTemperature:
            return temperatureUnit(lengthUnit);
        case kKindDisplacement:
            return std::string(lengthUnit);
        case kKindHeatFlux:
            return heatFluxUnit(lengthUnit);
        case kKindDensity:
            return densityUnit(lengthUnit);
        case kKindErrorEstimate:
            return "%";
        default:
            return "";
    }
}

}  // namespace results
