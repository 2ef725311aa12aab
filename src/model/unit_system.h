#pragma once
// The unit systems material values come in, recognised by the first letters of a unit text: the
// document's ("mm", "cm", "m.", "in", "ft") or a material file's first line.
#include <cstddef>
#include <string_view>

namespace model {

// None: feet documents, and material files that name no unit system.
enum class UnitSystem { None, Millimetre, Metre, Centimetre, Inch };

// "mm" is m followed by m, "m" is m followed by anything else (or nothing), "in" is a first
// letter i, "cm" a first letter c; anything else is None.
UnitSystem unitSystemOf(std::string_view text);

// How many letters at the start of `text` name its unit system: 2 for "mm", "in", "cm", 1 for
// "m" (and a lone "i" or "c"), 0 for None.
std::size_t unitLetterCount(std::string_view text);

}  // namespace model
