#include "mesh_solve/solvable_analyses.h"

#include "loadcase/analysis_code.h"
#include "mesh_solve/solve_parameters.h"

namespace mesh_solve {

// Of the fluid analyses the solver runs incompressible flow; compressible flow and fluid
// multiphysics are refused before anything is written.
std::string unsolvedAnalysisMessage(int type) {
    if (type <= loadcase::kFirstFluidAnalysis || type > loadcase::kLastFluidAnalysis) return {};
    const auto names = analysisTypeNames(loadcase::kTypeFluidFlow);
    const std::string name = names[static_cast<std::size_t>(type - loadcase::kFirstFluidAnalysis)];
    return "\"" + name +
           "\" is not solved by this version: of the fluid flow analyses only incompressible flow is "
           "available yet. The loadcase keeps its choice; the solver is not started.";
}

}  // namespace mesh_solve
