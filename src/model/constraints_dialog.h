#pragma once
// The "Interactions" dialog (11048): an interaction type and its value; APPLY attaches it to the
// picked faces, with the plane picked among them for the two plane types.
#include <string>

#include "addon_base/command_dialog.h"

class CConstraintsCommand;
namespace loadcase {
class DocumentOwner;
}

class CConstraints : public addon::CommandDialog<CConstraintsCommand> {
  public:
    enum ControlId {
        kPickPrompt = 11062,
        kTypeList = 11032,
        kValuePrompt = 11061,
        kValueLabel = 11060,
        kUnitLabel = 11059,
        kValue = 11058,
        kApply = 11083,
        kExit = 11094,
    };
    static constexpr int kDialogId = 11048;
    static constexpr int kTypeCount = 5;
    // Shown after an APPLY whose selection held a design point, which gets no interaction.
    static constexpr const char* kDesignPointPassedOver =
        "Interactions apply to faces: the picked design point was passed over";
    // Interaction codes that read a plane from the selection.
    static constexpr int kDisplacementToPlane = 0;
    static constexpr int kGapToPlane = 2;
    static constexpr int kContact = 4;
    // The value text is cut to this many characters.
    static constexpr std::size_t kValueLength = 59;

    explicit CConstraints(CConstraintsCommand* command);

    void OnTypeChanged();
    void OnApply();

  protected:
    bool onInitDialog() override;

  private:
    static ui::DialogTemplate makeTemplate();
    void apply();
    bool valueReadable(int code, loadcase::DocumentOwner& explorer) const;
};
