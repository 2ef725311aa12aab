#pragma once
// "Loadcase": chooses, creates and deletes the loadcases of the session.
#include "loadcase/document_command.h"

class CLoadcaseCommand : public CDocumentCommand {
  public:
    explicit CLoadcaseCommand(loadcase::DocumentOwner* explorer) : CDocumentCommand(explorer) {}

    std::string className() const override { return "CLoadcaseCommand"; }
    void Start() override;
};
