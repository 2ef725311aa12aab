#pragma once
// The display length unit named in the solver input's header. The mesh, the element sizes and the
// local-size points are all in this unit; the CAD model is read in millimetres.
#include <optional>
#include <string_view>

namespace velgrin {

// Metres per unit for "mm", "cm", "m.", "in", "ft"; nothing for any other text.
std::optional<double> metresPerUnit(std::string_view unitText);

// The factor from the model's millimetres to the display unit. An unknown unit text means the host
// gave no display unit, in which case its coordinates are in metres.
double displayUnitsPerMillimetre(std::string_view unitText);

}  // namespace velgrin
