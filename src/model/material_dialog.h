#pragma once
// The material dialog (10010, "Materials"): a property grid with the description, the library's
// standard materials, a material file, and the properties of the loadcase's analysis class
// (thermal, fluid, or mechanical with orthotropic values and limit stresses). APPLY gives the picked
// faces the properties, MAKE TABLE makes one property temperature dependent.
#include <string>
#include <vector>

#include "addon_base/command_dialog.h"
#include "loadcase/analysis_code.h"
#include "model/material_file.h"
#include "widgets/property_grid.h"

class CMaterialCommand;
namespace loadcase {
class DocumentOwner;
}

class CMaterial : public addon::CommandDialog<CMaterialCommand> {
  public:
    enum ControlId {
        kPromptSelect = 11062,
        kPromptValues = 11063,
        kGrid = 11078,
        kApply = 11083,
        kMakeTable = 11045,
        kExit = 11094,
    };
    static constexpr int kDialogId = 10010;
    static constexpr const char* kFileFilter = "All Files (*.*)|*.*||";

    explicit CMaterial(CMaterialCommand* command);

    widgets::PropertyGrid& grid() const { return widgetAs<widgets::PropertyGrid>(kGrid); }
    loadcase::AnalysisClass analysisClass() const { return class_; }

    // The grid items the dialog works with.
    widgets::PropertyHandle descriptionItem() const { return description_; }
    widgets::PropertyHandle standardItem() const { return standard_; }
    widgets::PropertyHandle fileItem() const { return fromFile_; }
    // The item of value slot `slot` in file and entry order (k, ky, kz, rho, c; rho, mu, k, c, beta,
    // gamma, R; or E1, nu, alpha1, rho, -, E2, G12, angle, alpha2, Sy, Su, Se, Syc, and for a
    // Multiphysics loadcase k, ky, kz, c after them); kNoProperty for the unused fifth mechanical
    // slot.
    widgets::PropertyHandle slotItem(int slot) const;

    // The entry text: the description, ": " and the value fields as typed, joined by ",".
    std::string entryText() const;
    // Loads a material file into the grid, converted to the document's units; a file that
    // cannot be opened changes nothing.
    void loadMaterialFile(const std::string& path);

    void OnApply();
    void OnMakeTable();

  protected:
    bool onInitDialog() override;

  private:
    static ui::DialogTemplate makeTemplate();
    loadcase::DocumentOwner& explorer() const;
    void buildGrid();
    void buildThermalSections(widgets::PropertyGrid& g);
    void buildMechanicalSections(widgets::PropertyGrid& g);
    void buildFluidSections(widgets::PropertyGrid& g);
    void buildMultiphysicsThermalSection(widgets::PropertyGrid& g);
    void loadMultiphysicsFiles(const std::string& path);
    // The file's values in the document's units, as a loadcase of class `cls` shows them.
    static model::MaterialValues convertedValues(const model::MaterialFile& file,
                                                 loadcase::AnalysisClass cls);
    void onGridChanged(widgets::PropertyHandle item);
    void apply();
    void makeTable();

    loadcase::AnalysisClass class_ = loadcase::AnalysisClass::Mechanical;
    widgets::PropertyHandle description_ = widgets::kNoProperty;
    widgets::PropertyHandle standard_ = widgets::kNoProperty;
    widgets::PropertyHandle fromFile_ = widgets::kNoProperty;
    std::vector<widgets::PropertyHandle> slots_;
};
