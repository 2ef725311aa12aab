#pragma once
// "Build Mesh": local element sizes on picked geometry, the mesher settings, and the mesh run
// (STEP export, mesher settings entry, solver input, mesher start).
#include "model/model_command.h"

class CMesh;

class CMeshCommand : public CModelCommand {
  public:
    explicit CMeshCommand(loadcase::DocumentOwner* explorer)
        : CModelCommand(explorer, model::kKindMeshSize) {}

    std::string className() const override { return "CMeshCommand"; }
    void Start() override;

    CMesh* meshDialog() const;

    // The mesh run, logged line by line in the loadcase's run log; any failure is reported as
    // "Exception caught in CMeshCommand::GetNet".
    void GetNet();

  private:
    void run();
};
