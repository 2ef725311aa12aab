#pragma once
// "Attach Materials": gives picked faces the material properties typed or loaded from the
// material library; MAKE TABLE makes one property temperature dependent.
#include <string>

#include "model/model_command.h"

class CMaterialCommand : public CModelCommand {
  public:
    explicit CMaterialCommand(loadcase::DocumentOwner* explorer)
        : CModelCommand(explorer, model::kKindMaterial) {}

    std::string className() const override { return "CMaterialCommand"; }
    void Start() override;

    // The library folder chosen by the analysis class when the dialog opened.
    const std::string& libraryFolder() const { return libraryFolder_; }
    void setLibraryFolder(std::string folder) { libraryFolder_ = std::move(folder); }

  private:
    std::string libraryFolder_;
};
