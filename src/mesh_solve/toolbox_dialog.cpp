#include "mesh_solve/toolbox_dialog.h"

#include <iterator>

#include "addon_base/library_state.h"
#include "addon_base/menu.h"
#include "mesh_solve/show_ui_command.h"
#include "mesh_solve/toolbox_command.h"

using ui::ControlKind;

namespace {

constexpr CToolbox::Button kButtons[CToolbox::kButtonCount] = {
    {CToolbox::kLoadcase, "Loadcase", "Loadcase", 11051, addon::kMenuLoadcase},
    {CToolbox::kMaterial, "Material", "Attach Material", 11046, addon::kMenuMaterials},
    {CToolbox::kMesh, "Mesh", "Build Mesh", 11033, addon::kMenuMesh},
    {CToolbox::kActions, "Actions", "Add/Plot Actions", 11025, addon::kMenuActions},
    {CToolbox::kReactions, "Reactions", "Add/Plot Reactions", 11037, addon::kMenuReactions},
    {CToolbox::kInteractions, "Interactions", "Add/Plot Interactions", 11027, addon::kMenuInteractions},
    {CToolbox::kSolve, "Solve", "Solve", 11031, addon::kMenuSolve},
    {CToolbox::kResults, "Results", "Plot Mesh/Results", 11060, addon::kMenuPlot},
};

}  // namespace

const CToolbox::Button* CToolbox::buttons() {
    return kButtons;
}

const CToolbox::Button* CToolbox::button(int id) {
    for (const Button& b : kButtons)
        if (b.control == id) return &b;
    return nullptr;
}

CToolbox::CToolbox(CToolboxCommand* command)
    : CommandDialog(makeTemplate(), command, "CToolbox", kNoExitButton) {
    for (const Button& b : kButtons) {
        const std::int32_t id = b.command;
        onClick(b.control, [this, id] { command_->startCommand(id); });
    }
    onClick(kPopOut, [this] { popOutClicked(); });
    mesh_solve::programRuns().addListener(this);
}

CToolbox::~CToolbox() {
    mesh_solve::programRuns().removeListener(this);
}

void CToolbox::runChanged(const mesh_solve::RunReport& report) {
    if (command_ == nullptr || command_->explorer() == nullptr) return;
    if (report.job.projectFolder != command_->explorer()->document().projectFolder()) return;
    setText(kLoadcaseLabel, report.labelText);
}

ui::DialogTemplate CToolbox::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.rect = {0, 0, 200, 300};
    int top = 4;
    for (const Button& b : kButtons) {
        t.addIconButton(b.control, b.templateText, {4, top, 196, top + 26}, b.icon);
        top += 30;
    }
    t.add(kLoadcaseLabel, ControlKind::Static, "default loadcase", {4, top, 196, top + 16},
          ui::kStyleNoPrefix)
        .add(kPopOut, ControlKind::CheckBox, "Pop-out", {4, top + 20, 196, top + 36});
    return t;
}

bool CToolbox::onInitDialog() {
    for (const Button& b : kButtons) setText(b.control, b.shownText);
    // The box shows where results go now (a second toolbox of the library finds the choice made).
    setCheck(kPopOut, addon::library().popOutResults);
    return true;
}

void CToolbox::refreshLabel() {
    setText(kLoadcaseLabel, command_->explorer()->document().loadcaseName());
}

void CToolbox::popOutClicked() {
    addon::library().popOutResults = isChecked(kPopOut);
}
