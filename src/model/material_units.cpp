#include "model/material_units.h"

#include "model/unit_system.h"

namespace model {

MaterialUnitLabels materialUnitLabels(std::string_view unitText) {
    const UnitSystem system = unitSystemOf(unitText);
    MaterialUnitLabels labels;
    labels.expansion = system == UnitSystem::Inch ? "1/F" : "1/C";
    switch (system) {
        case UnitSystem::Millimetre:
            labels.conductivity = "W/(mm-C)";
            labels.heatCapacity = "J/(kg-C)";
            labels.stress = "N/mm2";
            labels.density = "kg/mm3";
            labels.viscosity = "N-s/mm2";
            break;
        case UnitSystem::Metre:
            labels.conductivity = "W/(m-C)";
            labels.heatCapacity = "J/(kg-C)";
            labels.stress = "N/m2";
            labels.density = "kg/m3";
            labels.viscosity = "N-s/m2";
            break;
        case UnitSystem::Centimetre:
            labels.conductivity = "W/(cm-C)";
            labels.heatCapacity = "J/(kg-C)";
            labels.stress = "N/cm2";
            labels.density = "kg/cm3";
            labels.viscosity = "N-s/cm2";
            break;
        case UnitSystem::Inch:
            labels.conductivity = "Btu/(s-in-F)";
            labels.heatCapacity = "Btu/(lb-F)";
            labels.stress = "lbf/in2";
            labels.density = "lbf/in3";
            labels.viscosity = "lbf-s/in2";
            break;
        case UnitSystem::None:
            break;
    }
    return labels;
}

}  // namespace model
