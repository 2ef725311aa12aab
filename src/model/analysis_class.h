#pragma once
// The analysis class of the current loadcase: thermal when its header's analysis code is 1 or 2,
// mechanical otherwise. It chooses the material properties, action types and table lists.
namespace loadcase {
class DocumentOwner;
}

namespace model {

// Reads the analysis code from the "HEADER" line of the current loadcase's text file (header or
// solver input) and answers whether the class is thermal. The explorer's analysis type follows the
// class, so the other dialogs of the loadcase see it; a type of the same class (Multiphysics for a
// mechanical class) is kept. Without the file the explorer's type decides.
bool readAnalysisClass(loadcase::DocumentOwner& explorer);

}  // namespace model
