#include "io/result_file_sink.h"

namespace tarvsolv {

void ResultFileSink::modeValues(std::span<const double> values) {
    blocks_ += results::modeValueBlock(values);
}

void ResultFileSink::step(const StepResult& step) {
    for (const NodeField& field : step.nodeFields) {
        const NodeQuantityInfo info = nodeQuantityInfo(field.quantity);
        blocks_ += info.width == 3 ? results::nodeVectorBlock(info.keyword, step.number, field.values)
                                   : results::nodeScalarBlock(info.keyword, step.number, field.values);
    }
    const CornerFields& corners = step.corners;
    if (!corners.stresses.empty())
        blocks_ += results::stressBlock(step.number, corners.nodes, corners.stresses);
    if (!corners.plasticStrains.empty())
        blocks_ += results::plasticStrainBlock(step.number, corners.nodes, corners.plasticStrains);
}

}  // namespace tarvsolv
