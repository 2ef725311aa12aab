#include "mesh_solve/mesher_settings.h"

#include "formats/mesh.h"
#include "loadcase/text_format.h"
#include "mesh_solve/plain_number.h"

namespace mesh_solve {

namespace {
constexpr double kChoiceStep = 0.25;
}

MesherSettings defaultMesherSettings(double modelSize) {
    MesherSettings settings;
    settings.upperSize = modelSize * kUpperSizeShare;
    return settings;
}

std::string mesherParameterLine(const MesherSettings& s) {
    return loadcase::format("1:%g %g %g %g %g %d %d %d %d %d 0", s.upperSize, s.lowerSize,
                            s.fineness * kChoiceStep, s.grading * kChoiceStep, s.closeEdgeFactor,
                            wholePart(s.curveElements), wholePart(s.edgeElements), wholePart(s.surfaceSteps),
                            wholePart(s.volumeSteps), s.order);
}

std::int32_t nodesPerElement(const MesherSettings& settings) {
    return settings.order == 0 ? kLinearNodesPerElement : kQuadraticNodesPerElement;
}

}  // namespace mesh_solve
