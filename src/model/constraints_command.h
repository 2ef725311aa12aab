#pragma once
// "Interactions": prescribed displacements and gaps of picked faces, and face-to-face contact.
#include "model/model_command.h"

class CConstraintsCommand : public CModelCommand {
  public:
    explicit CConstraintsCommand(loadcase::DocumentOwner* explorer)
        : CModelCommand(explorer, model::kKindInteraction) {}

    std::string className() const override { return "CConstraintsCommand"; }
    void Start() override;
};
