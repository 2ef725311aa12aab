#pragma once
// The toolbox panel (10080): eight icon buttons in the order of an analysis, the current
// loadcase's name and the "Pop-out" check box.
#include <cstdint>

#include "addon_base/command_dialog.h"

class CToolboxCommand;

class CToolbox : public addon::CommandDialog<CToolboxCommand> {
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
