#include "length_unit.h"

namespace velgrin {

std::optional<double> metresPerUnit(std::string_view unitText) {
    if (unitText == "mm") return 0.001;
    if (unitText == "cm") return 0.01;
    if (unitText == "m.") return 1.0;
    if (unitText == "in") return 0.0254;
    if (unitText == "ft") return 0.3048;
    return std::nullopt;
}

double displayUnitsPerMillimetre(std::string_view unitText) {
    return 0.001 / metresPerUnit(unitText).value_or(1.0);
}

}  // namespace velgrin
