#pragma once
// The analysis class of the current loadcase (Mechanical, Thermal, Fluid or Multiphysics, by its
// header's analysis code: 1 and 2 thermal, 8 to 10 and above 14 fluid, 11 to 14 multiphysics, any
// other mechanical, or multiphysics when the loadcase entry says so). It chooses the material
// properties, action types and table lists.
#include "loadcase/analysis_code.h"

namespace loadcase {
class DocumentOwner;
}

namespace model {

using loadcase::AnalysisClass;

// Reads the analysis code from the "HEADER" line of the current loadcase's text file (header or
// solver input) and answers its class. The explorer's analysis type follows the class, so the
// other dialogs of the loadcase see it. Without the file the explorer's type decides.
AnalysisClass readAnalysisClass(loadcase::DocumentOwner& explorer);

}  // namespace model
