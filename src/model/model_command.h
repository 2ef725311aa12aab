#pragma once
// The base of the model-definition commands (materials, mesh sizes, actions, reactions,
// interactions): each one attaches entries of one kind to picked geometry, and while it runs the
// host view shows the marks of that kind's entries.
//
// How to use it: derive the command from CModelCommand instead of CDocumentCommand and pass the
// entry kind it adds,
//
//   class CMaterialCommand : public CModelCommand {
//   public:
//       explicit CMaterialCommand(loadcase::DocumentOwner* ex) : CModelCommand(ex, model::kKindMaterial) {}
//       std::string className() const override { return "CMaterialCommand"; }
//       void Start() override;
//   };
//
// and the host's overlay callback (operation 6) draws that kind's marks (overlay_marks.h) and its
// redraw request (operation 14) asks the command site to redraw now. Both ignore host failures, as
// the host expects of them. redrawView() is the same request for the command's own use.
#include "entry_record/entry_kind.h"
#include "loadcase/document_command.h"

class CModelCommand : public CDocumentCommand {
  public:
    model::EntryKind entryKind() const { return kind_; }

    // Draws the marks of this command's entry kind; never fails.
    platform::Status OnDrawOverlay(render::Canvas* canvas) override;
    // Asks the command site to redraw now; never fails.
    platform::Status OnRedraw() override;

    // The redraw request for the command's own use (after an APPLY); a host failure is ignored.
    void redrawView();

  protected:
    CModelCommand(loadcase::DocumentOwner* explorer, model::EntryKind kind)
        : CDocumentCommand(explorer), kind_(kind) {}

  private:
    model::EntryKind kind_;
};
