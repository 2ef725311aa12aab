#include "io/result_file_sink.h"

namespace tarvsolv {

void ResultFileSink::modeValues(std::span<const double> values) {
    blocks_ += results::modeValueBlock(values);
}

void ResultFileSink::step(const StepResult& step) {
    for (const NodeField& field : step.nodeFields) {
        const NodeQuantityInfo info = nodeQuantityInfo(field.quantity);
        if (info.width == 3) {
            blocks_ += results::nodeVectorBlock(info.keyword, step.number, field.values);
            continue;
        }
        // Scalar blocks ("PRES") are laid out as "TEMP", the block the format library writes.
        std::string block = results::temperatureBlock(step.number, field.values);
        block.replace(0, 4, info.keyword);
        blocks_ += block;
    }
    const CornerFields& corners = step.corners;
    if (!corners.stresses.empty())
        blocks_ += results::stressBlock(step.number, corners.nodes, corners.stresses);
    if (!corners.plasticStrains.empty())
        blocks_ += results::plasticStrainBlock(step.number, corners.nodes, corners.plasticStrains);
}

}  // namespace tarvsolv
