#pragma once
// The loadcase overlay: marks drawn into the host view over the geometry that the entries of one
// kind are attached to, so that the user sees what a model-definition command has already done.
// Commands do not call this directly: they derive from CModelCommand (model_command.h), which
// draws their kind from the host's overlay callback.
#include <optional>

#include "entry_record/entry_kind.h"
#include "host/host_interfaces.h"
#include "render/canvas.h"

namespace loadcase {
class DocumentOwner;
}

namespace addon {

struct OverlayStyle {
    const char* label;      // written at kLabelX, kLabelY
    render::Colour colour;  // of the 3-pixel pen
};

inline constexpr double kLabelX = 60.0;
inline constexpr double kLabelY = 10.0;
inline constexpr int kOverlayPenWidth = 3;

// The label and pen colour of the kinds that have marks (materials, mesh sizes, actions,
// reactions, interactions); nothing for the others.
std::optional<OverlayStyle> overlayStyle(model::EntryKind kind);

// Draws, when the explorer's section of `kind` shows lines, one mark per entry of that kind in
// list order: the kind's label, a shape (a box for mesh sizes and interactions, the fixed
// directions of a reaction, the force components of an action) and the entry's text. The entity
// of each entry is looked up through the host and projected by `site`. A host failure ends the
// drawing of this call quietly: what is drawn stays, the rest is left out.
void drawLoadcaseOverlay(render::Canvas& canvas, loadcase::DocumentOwner& explorer,
                         host::IQDCommandSite* site, model::EntryKind kind);

}  // namespace addon
