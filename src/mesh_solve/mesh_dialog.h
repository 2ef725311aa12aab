#pragma once
// The "Mesh" dialog (10020): local element sizes for picked points, edges and faces (APPLY), the
// mesher settings in a property grid, and MESH.
#include <array>

#include "addon_base/command_dialog.h"
#include "mesh_solve/mesher_settings.h"
#include "widgets/property_grid.h"

class CMeshCommand;
namespace loadcase {
class DocumentOwner;
}

class CMesh : public addon::CommandDialog<CMeshCommand> {
  public:
    enum ControlId {
        kSizeBox = 11014,
        kUnitLabel = 11035,
        kApply = 11083,
        kGrid = 11086,
        kMesh = 11012,
        kPlot = 1003,
        kExit = 11094,
    };
    static constexpr int kDialogId = 10020;
    // The grid's rows, in the order they are added.
    enum Row {
        kFineness,
        kGrading,
        kOrder,
        kUpperSize,
        kLowerSize,
        kCurveElements,
        kEdgeElements,
        kCloseEdgeFactor,
        kSurfaceSteps,
        kVolumeSteps,
        kRowCount
    };

    explicit CMesh(CMeshCommand* command);

    widgets::PropertyGrid& grid() const { return widgetAs<widgets::PropertyGrid>(kGrid); }
    widgets::PropertyHandle item(Row row) const { return items_[row]; }
    // The settings as the grid holds them now; numbers that are not numbers read as 0.
    mesh_solve::MesherSettings settings() const;

    void OnApply();
    void OnMesh();

  protected:
    bool onInitDialog() override;

  private:
    static ui::DialogTemplate makeTemplate();
    loadcase::DocumentOwner& explorer() const;
    void fillGrid(const mesh_solve::MesherSettings& defaults);
    void apply();
    // Refuses, naming the row, a number row of the grid whose text is not a number.
    bool settingsHoldNumbers() const;

    std::array<widgets::PropertyHandle, kRowCount> items_{};
};
