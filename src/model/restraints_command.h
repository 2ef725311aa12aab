#pragma once
// "Reactions": restrains picked points, edges and faces in one, two or all three directions.
#include "model/model_command.h"

class CRestraintsCommand : public CModelCommand {
  public:
    explicit CRestraintsCommand(loadcase::DocumentOwner* explorer)
        : CModelCommand(explorer, model::kKindReaction) {}

    std::string className() const override { return "CRestraintsCommand"; }
    void Start() override;
};
