#pragma once
// How the material dialog writes a loaded value into its grid: the conductivities of a thermal
// material and Young's modulus 1 with "%f", every other value (all of a fluid's) with "%g".
#include <string>

#include "loadcase/analysis_code.h"

namespace model {

std::string materialValueText(loadcase::AnalysisClass cls, int slot, double value);

// `value` written with the printf format `format` ("%f", "%g"), however long the text.
std::string formatNumber(const char* format, double value);

}  // namespace model
