#pragma once
// "Actions": loads on the picked geometry (forces, pressures, accelerations, heat flux, ...).
#include "model/model_command.h"

class CLoadsCommand : public CModelCommand {
  public:
    explicit CLoadsCommand(loadcase::DocumentOwner* explorer) : CModelCommand(explorer, model::kKindAction) {}

    std::string className() const override { return "CLoadsCommand"; }
    void Start() override;
};
