#include "model/model_command.h"

#include "loadcase/document_command.h"
#include "model/overlay_marks.h"

using platform::kOk;
using platform::Status;

Status CModelCommand::OnDrawOverlay(render::Canvas* canvas) {
    if (canvas == nullptr || explorer() == nullptr) return kOk;
    try {
        addon::drawLoadcaseOverlay(*canvas, *explorer(), site(), kind_);
    } catch (...) {
        // The overlay is a courtesy: whatever goes wrong, the host's drawing goes on.
    }
    return kOk;
}

Status CModelCommand::OnRedraw() {
    redrawView();
    return kOk;
}

void CModelCommand::redrawView() {
    try {
        requestRedraw();
    } catch (const platform::HostError&) {
        // A view that cannot redraw now shows the marks at its next redraw.
    }
}
