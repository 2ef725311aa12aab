#pragma once
// Result kinds and items of the result file, and the solution types (solve index) that decide how
// its blocks are numbered.
namespace results {

// Result kinds of the result file.
enum ResultKind : int {
    kKindMesh = 0,
    kKindTemperature = 1,
    kKindDisplacement = 2,
    kKindModeShape = 3,
    kKindStress = 4,
    kKindVelocity = 6,
    kKindPlasticStrain = 7,
    kKindPressure = 8,        // a flow's pressure, one value per node as the temperature
    kKindVorticity = 9,       // the curl of a flow's velocity, three components per node
    kKindHeatFlux = 10,       // q = -k grad T of a heat solution, three components per node
    kKindDensity = 11,        // a gas's density, one value per node as the temperature
    kKindMach = 12,           // a gas's Mach number, one value per node
    kKindErrorEstimate = 13,  // the estimated local error in per cent of the mean, one value per node
};

// Item of a node kind that asks for the three components as a vector.
inline constexpr int kItemVector = -1;
// Item of a node kind that asks for the magnitude of the three components.
inline constexpr int kItemMagnitude = 3;

// Solution types (solve index of a loadcase) the results depend on.
inline constexpr int kSolutionPlasticity = 1;
inline constexpr int kSolutionBuckling = 3;
inline constexpr int kSolutionNaturalFrequencies = 4;
inline constexpr int kSolutionForcedVibrations = 5;
// A transient thermal stress: its stress blocks, like the temperatures, carry the printed steps.
inline constexpr int kSolutionTransientThermalStress = 12;

// Kinds whose node blocks hold one value a node; the others hold three.
inline constexpr bool isScalarNodeKind(int kind) {
    return kind == kKindTemperature || kind == kKindPressure || kind == kKindDensity || kind == kKindMach ||
           kind == kKindErrorEstimate;
}

}  // namespace results
