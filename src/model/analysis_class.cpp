#include "model/analysis_class.h"

#include "addon_base/library_state.h"
#include "loadcase/document_command.h"
#include "loadcase/header_file.h"

namespace model {

AnalysisClass readAnalysisClass(loadcase::DocumentOwner& explorer) {
    const loadcase::AnalysisSetting current{explorer.document().analysisType(),
                                            explorer.document().solveIndex()};
    const auto header = loadcase::readHeaderFile(explorer.document().jobBasePath(), current);
    // The header of a Multiphysics loadcase that has not been solved reads as Mechanical; its
    // loadcase entry (or, before it has one, the explorer's type) tells the two apart.
    const int entryType = explorer.document().loadcaseEntryType();
    const auto analysis = loadcase::withLoadcaseEntryType(
        header.analysis, entryType >= 0 ? entryType : explorer.document().analysisType());
    const AnalysisClass fromHeader = loadcase::analysisClassOf(analysis.type);
    if (header.fileRead && fromHeader != loadcase::analysisClassOf(explorer.document().analysisType()))
        explorer.document().setAnalysisType(analysis.type);
    return fromHeader;
}

}  // namespace model
