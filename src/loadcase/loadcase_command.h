#pragma once
// "Loadcase": chooses, creates and deletes the loadcases of the session.
#include "addon/addon_command.h"

class CLoadcaseCommand : public CAddOnCommand {
public:
    explicit CLoadcaseCommand(CShowUICommand* explorer) : CAddOnCommand(explorer) {}

    std::string className() const override { return "CLoadcaseCommand"; }
    void Start() override;
};
