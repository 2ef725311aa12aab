#pragma once
// The analysis class of the current loadcase (Mechanical, Thermal or Fluid, by its header's
// analysis code: 1 and 2 thermal, 8 and above fluid, any other mechanical). It chooses the
// material properties, action types and table lists.
#include "loadcase/analysis_code.h"

namespace loadcase {
class DocumentOwner;
}

namespace model {

using loadcase::AnalysisClass;

// Reads the analysis code from the "HEADER" line of the current loadcase's text file (header or
// solver input) and answers its class. The explorer's analysis type follows the class, so the
// other dialogs of the loadcase see it; a type of the same class (Multiphysics for a mechanical
// class) is kept. Without the file the explorer's type decides.
AnalysisClass readAnalysisClass(loadcase::DocumentOwner& explorer);

}  // namespace model
