#include "model/analysis_class.h"

#include "addon/library_state.h"
#include "loadcase/analysis_code.h"
#include "loadcase/header_file.h"
#include "mesh_solve/show_ui_command.h"

namespace model {

bool readAnalysisClass(CShowUICommand& explorer) {
    const loadcase::AnalysisSetting current{explorer.analysisType(), explorer.solveIndex()};
    const auto header = loadcase::readHeaderFile(addon::library().jobBasePath, current);
    const bool thermal = header.analysis.type == loadcase::kTypeThermal;
    const bool explorerThermal = explorer.analysisType() == loadcase::kTypeThermal;
    if (header.fileRead && thermal != explorerThermal) explorer.setAnalysisType(header.analysis.type);
    return thermal;
}

}  // namespace model
