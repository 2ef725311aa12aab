#include "model/analysis_class.h"

#include "addon_base/library_state.h"
#include "loadcase/document_command.h"
#include "loadcase/header_file.h"

namespace model {

AnalysisClass readAnalysisClass(loadcase::DocumentOwner& explorer) {
    const loadcase::AnalysisSetting current{explorer.document().analysisType(),
                                            explorer.document().solveIndex()};
    const auto header = loadcase::readHeaderFile(explorer.document().jobBasePath(), current);
    const AnalysisClass fromHeader = loadcase::analysisClassOf(header.analysis.type);
    if (header.fileRead && fromHeader != loadcase::analysisClassOf(explorer.document().analysisType()))
        explorer.document().setAnalysisType(header.analysis.type);
    return fromHeader;
}

}  // namespace model
