#pragma once
// The "Loadcase" dialog (11001): choose an old loadcase or name a new one with its analysis type,
// choose its mesh, delete loadcases.
#include <string>

#include "loadcase/loadcase_document.h"
#include "ui/dialog.h"

class CLoadcaseCommand;

class CLoadcase : public ui::Dialog {
  public:
    enum ControlId {
        kOldGroup = 11069,
        kOldList = 11032,
        kDelete = 11045,
        kNewGroup = 11070,
        kPrompt = 11061,
        kNewName = 11066,
        kMechanical = 11024,
        kThermal = 11025,
        kFluidFlow = 11026,
        kMultiphysics = 11027,
        kMeshLabel = 11062,
        kMeshList = 11033,
        kApply = 11083,
        kExit = 2,
    };
    static constexpr int kDialogId = 11001;

    explicit CLoadcase(CLoadcaseCommand* command);

    // The analysis type chosen with the type buttons; -1 until one is pressed.
    int chosenType() const { return type_; }

    void OnApply();
    void OnDelete();

  protected:
    bool onInitDialog() override;

  private:
    static ui::DialogTemplate makeTemplate();
    loadcase::Document& document() const;
    void chooseType(int type);
    std::string selectedText(int listId) const;
    // Fills the two lists with the loadcases and meshes of the project folder.
    void fillLists();

    CLoadcaseCommand* command_;
    int type_ = -1;
};
