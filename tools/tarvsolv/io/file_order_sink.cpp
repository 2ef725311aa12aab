#include "io/file_order_sink.h"

#include "fem/node_pieces.h"

namespace tarvsolv {

void FileOrderSink::step(const StepResult& step) {
    if (mesh_.fileNodes.empty()) return next_.step(step);
    StepResult file = step;
    for (NodeField& field : file.nodeFields)
        if (!step.share)
            field.values = inFileOrder(mesh_, field.values, nodeQuantityInfo(field.quantity).width);
    for (std::int32_t& node : file.corners.nodes)
        if (node >= 1 && node <= mesh_.nodeCount()) node = mesh_.fileNodes[node - 1] + 1;
    next_.step(file);
}

}  // namespace tarvsolv
