#pragma once
// The "Loadcase" dialog (11001): choose an old loadcase or name a new one with its analysis type,
// choose its mesh, delete loadcases.
#include <string>

#include "loadcase/analysis_code.h"
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
    // The setting an old loadcase opens with: its header's, told apart by its loadcase entry
    // (Multiphysics), or the entry's own type when there is no header file.
    loadcase::AnalysisSetting openedSetting(loadcase::AnalysisSetting fromHeader, bool headerRead) const;
    // The analysis type of the old loadcase at `oldJobBase` (its entries loaded): its header's,
    // else its loadcase entry's; -1 when neither says.
    int storedType(const std::string& oldJobBase) const;
    // A copy into the other analysis class drops the old class's materials and actions, and says so.
    void leaveOutOtherClass(const std::string& oldName, int oldType);
    static bool isKnownType(int type);

    CLoadcaseCommand* command_;
    int type_ = -1;
};
