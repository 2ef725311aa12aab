#include "io/result_file_sink.h"

namespace tarvsolv {

void ResultFileSink::modeValues(std::span<const double> values) {
    blocks_ += results::modeValueBlock(values);
}

void ResultFileSink::step(const StepResult& step) {
    for (const NodeField& field : step.nodeFields) {
        // The result file's one scalar block is "TEMP"; the other fields are vectors.
        blocks_ += field.quantity == NodeQuantity::Temperature
                       ? results::temperatureBlock(step.number, field.values)
                       : results::nodeVectorBlock(nodeQuantityInfo(field.quantity).keyword, step.number,
                                                  field.values);
    }
    const CornerFields& corners = step.corners;
    if (!corners.stresses.empty())
        blocks_ += results::stressBlock(step.number, corners.nodes, corners.stresses);
    if (!corners.plasticStrains.empty())
        blocks_ += results::plasticStrainBlock(step.number, corners.nodes, corners.plasticStrains);
}

}  // namespace tarvsolv
