#include "model/table_edit_dlg.h"

#include <cstdio>
#include <memory>

#include "ui/prompts.h"

using ui::ControlKind;

namespace {

const std::vector<const char*> kMaterialThermal = {"conductivity ", "heat capacity ", "density ",
                                                   "Y conductivity", "Z conductivity"};
const std::vector<const char*> kMaterialMechanical = {
    "Youngs modulus 1 ", "Poissons ratio 1 ",  "expansion coeff. 1 ", "density ",
    "Youngs modulus 2 ", "shear modulus 1-2 ", "expansion coeff 2 "};
const std::vector<const char*> kLoadThermal = {"heat flux", "convection coefficient", "fluid temperature",
                                               "internal heat", "held temperature"};
const std::vector<const char*> kLoadMechanical = {"force x",        "force y",        "force z",
                                                  "pressure",       "x acceleration", "y acceleration",
                                                  "z acceleration", "spin speed"};
const std::vector<const char*> kMaterialFluid = {
    "density ",          "dynamic viscosity ",       "conductivity ", "heat capacity ",
    "expansion coeff. ", "ratio of specific heats ", "gas constant "};
// A Multiphysics loadcase's lists: the mechanical items, then the thermal ones (its density is the
// mechanical one, so the thermal materials leave theirs out).
const std::vector<const char*> kMaterialMultiphysics = {
    "Youngs modulus 1 ", "Poissons ratio 1 ",  "expansion coeff. 1 ", "density ",
    "Youngs modulus 2 ", "shear modulus 1-2 ", "expansion coeff 2 ",  "conductivity ",
    "heat capacity ",    "Y conductivity",     "Z conductivity"};
const std::vector<const char*> kLoadMultiphysics = {
    "force x",           "force y",        "force z",         "pressure",  "x acceleration",
    "y acceleration",    "z acceleration", "spin speed",      "heat flux", "convection coefficient",
    "fluid temperature", "internal heat",  "held temperature"};
// A fluid loadcase's flow items, then the thermal ones of a flow that carries heat, then a gas's.
const std::vector<const char*> kLoadFluid = {
    "velocity x",         "velocity y",        "velocity z",
    "pressure",           "x acceleration",    "y acceleration",
    "z acceleration",     "heat flux",         "convection coefficient",
    "fluid temperature",  "internal heat",     "held temperature",
    "total pressure",     "total temperature", "initial pressure",
    "initial temperature"};

}  // namespace

CTableEditDlg::CTableEditDlg(ui::Window* /*parent*/, Mode mode, loadcase::AnalysisClass cls)
    : ui::Dialog(makeTemplate()), mode_(mode), class_(cls) {
    // The parent is disabled by the backend's modal loop while the editor runs.
    attachWidget(kGrid, std::make_unique<widgets::EditableGrid>());
    onClick(kApply, [this] { OnApply(); });
    onClick(kInsert, [this] { OnInsert(); });
    onClick(kDelete, [this] { OnDelete(); });
}

ui::DialogTemplate CTableEditDlg::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Table";
    t.rect = {0, 0, 300, 330};
    t.add(kPromptList, ControlKind::Static, "1. Select item from list", {7, 7, 290, 20})
        .add(kList, ControlKind::ListBox, "", {7, 22, 290, 100}, ui::kStyleNotify)
        .add(kPromptTable, ControlKind::Static, "2. Construct table", {7, 106, 290, 120})
        .add(kGrid, ControlKind::Custom, "", {7, 122, 220, 290})
        .add(kInsert, ControlKind::Button, "INSERT", {228, 122, 290, 144})
        .add(kDelete, ControlKind::Button, "DELETE", {228, 150, 290, 172})
        .add(kApply, ControlKind::Button, "APPLY", {60, 298, 130, 320}, ui::kStyleDefault)
        .add(kExit, ControlKind::Button, "EXIT", {170, 298, 240, 320});
    return t;
}

const std::vector<const char*>& CTableEditDlg::listTexts(Mode mode, loadcase::AnalysisClass cls) {
    const bool material = mode == Mode::Material;
    switch (cls) {
        case loadcase::AnalysisClass::Thermal:
            return material ? kMaterialThermal : kLoadThermal;
        case loadcase::AnalysisClass::Fluid:
            return material ? kMaterialFluid : kLoadFluid;
        case loadcase::AnalysisClass::Multiphysics:
            return material ? kMaterialMultiphysics : kLoadMultiphysics;
        default:
            return material ? kMaterialMechanical : kLoadMechanical;
    }
}

void CTableEditDlg::fillDefaultGrid() {
    auto& g = grid();
    g.setListMode(true);
    g.setEditable(true);
    g.setColumnCount(2);
    g.setRowCount(2);
    g.setFixedRowCount(1);
    g.setFixedColumnCount(0);
    g.setCellText(0, 0, mode_ == Mode::Material ? "Temps." : "Time (s)");
    for (int c = 1; c < g.columnCount(); ++c) {
        char heading[32];
        std::snprintf(heading, sizeof heading, "Table ta%d", c);
        g.setCellText(0, c, heading);
    }
    for (int r = 1; r < g.rowCount(); ++r) {
        for (int c = 0; c < g.columnCount(); ++c) g.setCellText(r, c, "0");
    }
    g.autoSizeColumns();
    g.setColumnWidth(0, g.columnWidth(0) * 3 / 2);
}

bool CTableEditDlg::onInitDialog() {
    chosen_ = -1;
    clearItems(kList);
    for (const char* text : listTexts(mode_, class_)) addItem(kList, text);
    return true;
}

void CTableEditDlg::OnApply() {
    // Without a chosen item the table would be named for position -1, which no field has.
    const int chosen = selection(kList);
    if (chosen < 0) {
        ui::showMessage(kNoChoiceMessage);
        return;
    }
    chosen_ = chosen;
    endDialog(ui::kIdOk);
}

void CTableEditDlg::OnInsert() {
    auto& g = grid();
    const int row = g.focusRow();
    if (row >= 0) g.insertRow("new", row);
}

void CTableEditDlg::OnDelete() {
    auto& g = grid();
    const int row = g.focusRow();
    if (row >= 0) g.deleteRow(row);
}
