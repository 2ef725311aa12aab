#pragma once
// The unit labels the material dialog appends to its property labels, by the document's unit text.
#include <string>
#include <string_view>

namespace model {

struct MaterialUnitLabels {
    std::string conductivity;
    std::string heatCapacity;
    std::string stress;
    std::string expansion;
    std::string density;
    std::string viscosity;  // dynamic viscosity: the stress unit times seconds
};

// Labels for mm, m, cm and in documents; feet documents get empty labels except the expansion
// unit, which is "1/F" for inch documents and "1/C" for every other.
MaterialUnitLabels materialUnitLabels(std::string_view unitText);

}  // namespace model
