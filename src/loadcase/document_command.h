#pragma once
// The base of every command that works on the session's loadcase: it reaches the loadcase document
// through the explorer that made it.
#include "addon_base/addon_command.h"
#include "addon_base/command_owner.h"
#include "loadcase/loadcase_document.h"

namespace loadcase {

// The explorer as the commands of the loadcase see it: the command owner and its document.
class DocumentOwner : public addon::CommandOwner {
  public:
    virtual Document& document() = 0;

  protected:
    ~DocumentOwner() = default;
};

}  // namespace loadcase

class CDocumentCommand : public CAddOnCommand {
  public:
    loadcase::DocumentOwner* explorer() const { return explorer_; }
    loadcase::Document& document() const { return explorer_->document(); }

  protected:
    explicit CDocumentCommand(loadcase::DocumentOwner* explorer)
        : CAddOnCommand(explorer), explorer_(explorer) {}

  private:
    loadcase::DocumentOwner* explorer_;
};
