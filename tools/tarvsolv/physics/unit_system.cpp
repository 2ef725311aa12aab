#include "physics/unit_system.h"

#include <stdexcept>

namespace tarvsolv {

UnitSystem unitSystemFor(const std::string& unitText) {
    constexpr double kGravityInches = 386.08858;  // in/s^2: 1 lb = 1/386.09 lbf s^2/in
    constexpr double kGravityFeet = 32.174049;
    if (unitText.size() >= 2 && unitText[0] == 'm' && unitText[1] == 'm') return {"mm", 1e-3, 1e-3, 1e3};
    if (!unitText.empty() && unitText[0] == 'm') return {"m", 1.0, 1.0, 1.0};
    if (!unitText.empty() && unitText[0] == 'c') return {"cm", 1e-2, 1e-2, 1e2};
    if (!unitText.empty() && unitText[0] == 'i') return {"in", 0.0254, 1.0 / kGravityInches, 1.0};
    if (!unitText.empty() && unitText[0] == 'f') return {"ft", 0.3048, 1.0 / kGravityFeet, 1.0};
    throw std::runtime_error("unknown length unit '" + unitText + "' in the header");
}

}  // namespace tarvsolv
