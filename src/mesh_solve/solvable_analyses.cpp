#include "mesh_solve/solvable_analyses.h"

#include "loadcase/analysis_code.h"
#include "mesh_solve/solve_parameters.h"

namespace mesh_solve {

// Of the fluid analyses the solver runs incompressible flow, with or without heat; compressible
// flow is refused before anything is written.
std::string unsolvedAnalysisMessage(int type) {
    if (type != loadcase::kCompressibleFlow) return {};
    const auto names = analysisTypeNames(loadcase::kTypeFluidFlow);
    const std::string name = names[static_cast<std::size_t>(type - loadcase::kFirstFluidAnalysis)];
    return "\"" + name +
           "\" is not solved by this version: of the fluid flow analyses only incompressible flow and "
           "multiphysics are "
           "available yet. The loadcase keeps its choice; the solver is not started.";
}

}  // namespace mesh_solve
