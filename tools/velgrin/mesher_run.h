#pragma once
// One run of the mesher: solver input -> STEP model -> tetrahedral mesh -> mesh file and companion
// file, with progress on standard output and a summary in the run log.
#include <string>

#include "velgrin_error.h"

namespace velgrin {

// Runs the whole job named by the solver input at `inputPath`; every failure is reported to the
// run log and standard error and answered by its exit code. A `sizeFieldPath` names the sizes a
// refinement asks for (formats/size_field.h); empty: the user's sizes alone.
ExitCode runMesher(const std::string& inputPath, const std::string& sizeFieldPath = "");

}  // namespace velgrin
