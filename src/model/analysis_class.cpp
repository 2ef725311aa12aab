#include "model/analysis_class.h"

#include "addon_base/library_state.h"
#include "loadcase/analysis_code.h"
#include "loadcase/document_command.h"
#include "loadcase/header_file.h"

namespace model {

bool readAnalysisClass(loadcase::DocumentOwner& explorer) {
    const loadcase::AnalysisSetting current{explorer.document().analysisType(),
                                            explorer.document().solveIndex()};
    const auto header = loadcase::readHeaderFile(explorer.document().jobBasePath(), current);
    const bool thermal = header.analysis.type == loadcase::kTypeThermal;
    const bool explorerThermal = explorer.document().analysisType() == loadcase::kTypeThermal;
    if (header.fileRead && thermal != explorerThermal)
        explorer.document().setAnalysisType(header.analysis.type);
    return thermal;
}

}  // namespace model
