#pragma once
// "Actions": loads on the picked geometry (forces, pressures, accelerations, heat flux, ...).
#include "addon/model_command.h"

class CLoadsCommand : public CModelCommand {
public:
    explicit CLoadsCommand(CShowUICommand* explorer) : CModelCommand(explorer, model::kKindAction) {}

    std::string className() const override { return "CLoadsCommand"; }
    void Start() override;
};
