#include "loadcase/loadcase_dialog.h"

#include "addon_base/library_state.h"
#include "loadcase/analysis_code.h"
#include "loadcase/header_file.h"
#include "loadcase/loadcase_command.h"
#include "loadcase/loadcase_file.h"
#include "platform/paths.h"
#include "ui/prompts.h"

using ui::ControlKind;

CLoadcase::CLoadcase(CLoadcaseCommand* command) : ui::Dialog(makeTemplate()), command_(command) {
    onClick(kMechanical, [this] { chooseType(loadcase::kTypeMechanical); });
    onClick(kThermal, [this] { chooseType(loadcase::kTypeThermal); });
    onClick(kFluidFlow, [this] { chooseType(loadcase::kTypeFluidFlow); });
    onClick(kMultiphysics, [this] { chooseType(loadcase::kTypeMultiphysics); });
    onClick(kApply, [this] { OnApply(); });
    onClick(kDelete, [this] { OnDelete(); });
}

ui::DialogTemplate CLoadcase::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Loadcase";
    t.rect = {0, 0, 260, 330};
    t.add(kOldGroup, ControlKind::GroupBox, "SELECT OLD LOADCASE", {7, 7, 253, 110})
        .add(kOldList, ControlKind::ListBox, "", {14, 20, 180, 104}, ui::kStyleNotify)
        .add(kDelete, ControlKind::Button, "DELETE", {188, 20, 246, 40})
        .add(kNewGroup, ControlKind::GroupBox, "CREATE NEW LOADCASE", {7, 116, 253, 290})
        .add(kPrompt, ControlKind::Static, "Loadcase Name", {14, 128, 246, 142})
        .add(kNewName, ControlKind::Edit, "", {14, 144, 246, 160})
        .add(kMechanical, ControlKind::Radio, "Mechanical", {14, 166, 120, 180}, ui::kStyleGroup)
        .add(kThermal, ControlKind::Radio, "Thermal", {130, 166, 246, 180})
        .add(kFluidFlow, ControlKind::Radio, "Fluid flow", {14, 184, 120, 198})
        .add(kMultiphysics, ControlKind::Radio, "Multiphysics", {130, 184, 246, 198})
        .add(kMeshLabel, ControlKind::Static, "Mesh Name", {14, 204, 246, 218})
        .add(kMeshList, ControlKind::ListBox, "", {14, 220, 246, 284}, ui::kStyleNotify)
        .add(kApply, ControlKind::Button, "APPLY", {60, 298, 120, 320})
        .add(kExit, ControlKind::Button, "EXIT", {140, 298, 200, 320});
    return t;
}

loadcase::Document& CLoadcase::document() const {
    return command_->document();
}

bool CLoadcase::onInitDialog() {
    type_ = -1;
    fillLists();
    setText(kPrompt, "Enter name and select type");
    return true;
}

void CLoadcase::fillLists() {
    const std::string& folder = document().projectFolder();
    clearItems(kOldList);
    for (const auto& name : platform::filesWithExtension(folder, ".api_fem"))
        addItem(kOldList, platform::fileStem(name));
    clearItems(kMeshList);
    for (const auto& name : platform::filesWithExtension(folder, ".meb"))
        addItem(kMeshList, platform::fileStem(name));
}

void CLoadcase::chooseType(int type) {
    type_ = type;
    document().setAnalysisType(type);
}

std::string CLoadcase::selectedText(int listId) const {
    return itemText(listId, selection(listId));
}

void CLoadcase::OnApply() {
    loadcase::Document& doc = document();
    const std::string oldName = selectedText(kOldList);
    const std::string meshName = selectedText(kMeshList);
    const std::string newName = text(kNewName);
    doc.save();

    if (oldName.empty() && newName.empty()) {
        ui::showMessage("Select an old loadcase or name a new one");
        return;
    }
    if (!newName.empty() && type_ == -1) {
        ui::showMessage("Select an analysis type");
        return;
    }
    const std::string name = newName.empty() ? oldName : newName;
    const std::string jobBase = platform::joinPath(doc.projectFolder(), name);

    loadcase::AnalysisSetting setting{doc.analysisType(), doc.solveIndex()};
    std::string meshPath = jobBase + ".meb";
    bool headerRead = false;
    if (!oldName.empty()) {
        const auto header = loadcase::readHeaderFile(jobBase, setting);
        setting = header.analysis;
        meshPath = header.meshPath;
        headerRead = header.fileRead;
    }
    if (!meshName.empty()) meshPath = platform::joinPath(doc.projectFolder(), meshName) + ".meb";

    const std::string oldJobBase = platform::joinPath(doc.projectFolder(), oldName);
    doc.switchTo(name, meshPath);
    loadcase::LoadcaseFile::createIfMissing(doc.loadcaseFilePath());
    if (!oldName.empty()) doc.loadFrom(oldJobBase + ".api_fem");
    if (newName.empty()) {
        setting = openedSetting(setting, headerRead);
        doc.setAnalysisType(setting.type);
        doc.setSolveIndex(setting.solveIndex);
    } else {
        if (!oldName.empty()) leaveOutOtherClass(oldName, storedType(oldJobBase));
        // Every new loadcase, a copy of an old one too, gets its header: the mesh chosen here is
        // what the mesh and solve commands read back from it.
        const int code = loadcase::headerCodeForType(type_);
        loadcase::writeHeaderFile(doc.solverInputPath(), addon::library().unitText, code, meshPath);
        // The solve index is what the new header says, as if it had been read back: otherwise the
        // first solver input (written from the solve index) would turn a thermal loadcase into a
        // mechanical one.
        doc.setSolveIndex(loadcase::settingForHeaderCode(code, {type_, doc.solveIndex()}).solveIndex);
    }
    doc.replaceSectionEntry(name + ":" + std::to_string(doc.analysisType()), model::kKindLoadcase, true);
    endDialog(ui::kIdCancel);
}

loadcase::AnalysisSetting CLoadcase::openedSetting(loadcase::AnalysisSetting fromHeader,
                                                   bool headerRead) const {
    const int entryType = document().loadcaseEntryType();
    // Without a header file the loadcase's own entry decides, not the loadcase open before it.
    if (!headerRead && isKnownType(entryType))
        fromHeader = loadcase::settingForHeaderCode(loadcase::headerCodeForType(entryType), fromHeader);
    return loadcase::withLoadcaseEntryType(fromHeader, entryType);
}

int CLoadcase::storedType(const std::string& oldJobBase) const {
    const auto header = loadcase::readHeaderFile(oldJobBase, {-1, 0});
    const int type = loadcase::withLoadcaseEntryType(header.analysis, document().loadcaseEntryType()).type;
    return isKnownType(type) ? type : document().loadcaseEntryType();
}

void CLoadcase::leaveOutOtherClass(const std::string& oldName, int oldType) {
    const auto oldClass = loadcase::analysisClassOf(oldType);
    const auto newClass = loadcase::analysisClassOf(type_);
    if (!isKnownType(oldType) || oldClass == newClass) return;
    loadcase::Document& doc = document();
    const auto materials = doc.entries().indicesOfKind(model::kKindMaterial).size();
    const auto actions = doc.entries().indicesOfKind(model::kKindAction).size();
    if (materials == 0 && actions == 0) return;
    // Materials and actions of the other class mean something else to the solver (a conductivity
    // read as a modulus, a heat flux as a load): the copy starts without them.
    doc.removeKind(model::kKindMaterial);
    doc.removeKind(model::kKindAction);
    const char* from = loadcase::analysisClassName(oldClass);
    const char* to = loadcase::analysisClassName(newClass);
    ui::showMessage("The copy of " + oldName + " is " + to + ": its " + std::to_string(materials) +
                    " material(s) and " + std::to_string(actions) + " action(s) of the " + from +
                    " loadcase are left out. Attach " + to + " ones.");
}

bool CLoadcase::isKnownType(int type) {
    return type == loadcase::kTypeMechanical || type == loadcase::kTypeThermal ||
           type == loadcase::kTypeFluidFlow || type == loadcase::kTypeMultiphysics;
}

void CLoadcase::OnDelete() {
    loadcase::Document& doc = document();
    const int index = selection(kOldList);
    const std::string oldName = selectedText(kOldList);
    if (oldName.empty()) return;
    const std::string path = platform::joinPath(doc.projectFolder(), oldName) + ".api_fem";
    const bool wasCurrent = path == doc.loadcaseFilePath();
    platform::removeFile(path);
    deleteItem(kOldList, index);
    if (!wasCurrent) return;
    // The session-named loadcase becomes current. Its file is read, not overwritten: saving the
    // deleted loadcase's entries into it would destroy what the user kept there.
    doc.switchTo(doc.sessionName(), doc.meshPath());
    doc.load();
}
