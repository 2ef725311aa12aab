#pragma once
// The toolbox panel (10080): eight icon buttons in the order of an analysis, the current
// loadcase's name and the "Pop-out" check box.
#include <cstdint>

#include "addon_base/command_dialog.h"
#include "mesh_solve/program_runs.h"

class CToolboxCommand;

// The label line under the buttons names the current loadcase and, while the mesher or the solver
// runs on a loadcase of this explorer's project, how far it is and then how it ended.
class CToolbox : public addon::CommandDialog<CToolboxCommand>, public mesh_solve::RunListener {
  public:
    enum ControlId {
        kLoadcase = 11045,
        kMaterial = 11039,
        kMesh = 11044,
        kActions = 11041,
        kReactions = 11040,
        kInteractions = 11046,
        kSolve = 11042,
        kResults = 11043,
        kLoadcaseLabel = 11091,
        kPopOut = 11006,
    };
    static constexpr int kDialogId = 10080;
    static constexpr int kButtonCount = 8;

    struct Button {
        int control;
        const char* templateText;
        const char* shownText;
        int icon;  // 16 x 16 icon resource
        std::int32_t command;
    };
    // The buttons from top to bottom.
    static const Button* buttons();
    // The button of control `id`; null for any other control.
    static const Button* button(int id);

    explicit CToolbox(CToolboxCommand* command);
    ~CToolbox() override;

    void runChanged(const mesh_solve::RunReport& report) override;

    // Sets the label to the current loadcase's name.
    void refreshLabel();

  protected:
    bool onInitDialog() override;
    // A panel in the explorer: Escape does not close it.
    void onCancel() override {}

  private:
    static ui::DialogTemplate makeTemplate();
    void popOutClicked();
};
