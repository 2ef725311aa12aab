#pragma once
// The "Reactions" dialog (10030): a list of fixity types; APPLY restrains the picked geometry.
#include <string>

#include "addon_base/command_dialog.h"

class CRestraintsCommand;

class CRestraints : public addon::CommandDialog<CRestraintsCommand> {
  public:
    enum ControlId {
        kPickPrompt = 11062,
        kFixityPrompt = 11063,
        kFixityList = 11032,
        kApply = 11083,
        kExit = 11094,
    };
    static constexpr int kDialogId = 10030;
    static constexpr int kFixityCount = 7;

    explicit CRestraints(CRestraintsCommand* command);

    // The list text of fixity code 0 to 6.
    static const char* fixityText(int code);
    // The directions a fixity code restrains ("XZ" for 5); empty for a code outside 0 to 6.
    static std::string fixityLetters(int code);
    // The entry text of one restrained entity: "face;fix,5=XZ".
    static std::string entryText(const char* sort, int code);

    void OnApply();

  protected:
    bool onInitDialog() override;

  private:
    static ui::DialogTemplate makeTemplate();
    void apply();
};
