#pragma once
// The actions dialog (10040, "Mechanical Loads", "Thermal Loads", "Fluid Loads" or "Multiphysics Loads"): an
// action type, up to three value texts (numbers, table names or equations); APPLY loads the picked geometry,
// MAKE TABLE builds a time table for one load component.
#include <optional>
#include <string>
#include <vector>

#include "addon_base/command_dialog.h"
#include "addon_base/picked_entity.h"
#include "model/action_types.h"

class CLoadsCommand;
namespace loadcase {
class DocumentOwner;
}

class CLoads : public addon::CommandDialog<CLoadsCommand> {
  public:
    enum ControlId {
        kTypePrompt = 11062,
        kTypeList = 11032,
        kValuePrompt = 11061,
        kValueLabel = 11063,
        kUnitLabel = 11059,
        kValue1 = 11016,
        kValue2 = 11019,
        kValue3 = 11020,
        kApply = 11083,
        kMakeTable = 11045,
        kExit = 11094,
    };
    static constexpr int kDialogId = 10040;
    // A value text is cut to this many characters.
    static constexpr std::size_t kValueLength = 59;
    // The head of a convection text; a face holds one convection.
    static constexpr const char* kConvectionHead = "face;convection=";

    explicit CLoads(CLoadsCommand* command);

    model::AnalysisClass analysisClass() const { return class_; }

    void OnTypeChanged();
    void OnApply();
    void OnMakeTable();

  protected:
    bool onInitDialog() override;

  private:
    // `growth` lengthens the type list (and moves what is below it down) by that many units.
    static ui::DialogTemplate makeTemplate(int growth);
    loadcase::DocumentOwner& explorer() const;
    std::string value(int editId) const;
    void fillTypes();
    void showValueEdits(int code);
    void apply();
    static std::string boxName(const model::ActionType& type, int box);
    bool valuesReadable(const model::ActionType& type, const std::string (&values)[3]) const;
    std::optional<std::string> refusal(const model::ActionType& type, int code,
                                       const std::vector<addon::PickedEntity>& picks) const;
    void makeTable();

    model::AnalysisClass class_ = model::AnalysisClass::Mechanical;
};
