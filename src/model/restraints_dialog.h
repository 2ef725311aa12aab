#pragma once
// The "Reactions" dialog (10030): in a mechanical loadcase a list of fixity types, in a thermal one
// a temperature (a number, a time table's name or a formula) with MAKE TABLE; APPLY restrains or
// holds the picked geometry.
#include <functional>
#include <string>
#include <vector>

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
        // A thermal loadcase's temperature row, in the list's place.
        kValueLabel = 11061,
        kValue = 11016,
        kUnitLabel = 11059,
        kMakeTable = 11045,
    };
    static constexpr int kDialogId = 10030;
    static constexpr int kFixityCount = 7;
    // A value text is cut to this many characters, as the actions' values are.
    static constexpr std::size_t kValueLength = 59;

    explicit CRestraints(CRestraintsCommand* command);

    // The list text of fixity code 0 to 6.
    static const char* fixityText(int code);
    // The directions a fixity code restrains ("XZ" for 5); empty for a code outside 0 to 6.
    static std::string fixityLetters(int code);
    // The entry text of one restrained entity: "face;fix,5=XZ".
    static std::string entryText(const char* sort, int code);
    // The entry text of an entity held at a temperature: "face;temperature=100".
    static std::string heldText(const char* sort, const std::string& value);

    // A thermal loadcase holds temperatures only, a Multiphysics one fixities and temperatures.
    bool isThermal() const { return temperatures_ && !fixities_; }

    void OnApply();
    void OnMakeTable();

  protected:
    bool onInitDialog() override;

  private:
    static ui::DialogTemplate makeTemplate(bool bothRows);
    // Shows the fixity list, the temperature row or both, by the loadcase's analysis class.
    void showRowsOfClass();
    void apply();
    void holdTemperatures(int code, bool alsoFixed);
    void storePicks(int code, const std::function<std::vector<std::string>(const char*)>& textsFor);
    void makeTable();

    bool fixities_ = true;
    bool temperatures_ = false;
};
