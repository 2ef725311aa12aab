#pragma once
// The consistent unit system of a model, chosen by the document's length unit text. Lengths are
// in that unit; stresses, pressures and moduli in force per length squared (N/mm2, N/cm2, N/m2,
// lbf/in2, lbf/ft2); forces in N or lbf; densities in kg or lb per length cubed; accelerations in
// m/s2 for the metric units and in length per s2 otherwise; temperatures in C (F for inches).
#include <string>

namespace tarvsolv {

struct UnitSystem {
    std::string name;            // "mm", "cm", "m", "in", "ft"
    double metresPerLength = 1;  // size of the length unit in metres
    // density x volume -> force x s^2 / length: mass in the consistent unit of the model
    double massScale = 1;
    // a typed acceleration -> length / s^2
    double accelerationScale = 1;
};

// "mm", "cm", "m." (any "m" not followed by "m"), "in", "ft"; throws std::runtime_error otherwise.
UnitSystem unitSystemFor(const std::string& unitText);

}  // namespace tarvsolv
