#include "model/material_dialog.h"

#include <iterator>

#include "addon_base/guarded_call.h"
#include "addon_base/host_access.h"
#include "addon_base/library_state.h"
#include "addon_base/settings.h"
#include "loadcase/document_command.h"
#include "model/analysis_class.h"
#include "model/material_command.h"
#include "model/material_file.h"
#include "model/material_format.h"
#include "model/material_units.h"
#include "model/table_maker.h"
#include "platform/host_error.h"
#include "platform/paths.h"
#include "ui/prompts.h"

using ui::ControlKind;
using widgets::PropertyHandle;

namespace {

using loadcase::AnalysisClass;

// The value slot each MAKE TABLE list item stands for, in list order.
constexpr int kThermalTableSlots[] = {0, 4, 3, 1, 2};
constexpr int kMechanicalTableSlots[] = {0, 1, 2, 3, 5, 6, 8};
constexpr int kFluidTableSlots[] = {0, 1, 2, 3, 4, 5, 6};
// A Multiphysics material's list: the mechanical items, then k, c, ky and kz (slots 13, 16, 14, 15).
constexpr int kMultiphysicsTableSlots[] = {0, 1, 2, 3, 5, 6, 8, 13, 16, 14, 15};

// A Multiphysics material's thermal values follow its 13 mechanical ones: k, ky, kz, c.
constexpr int kFirstThermalSlot = model::kMechanicalSlots;

// The slot of MAKE TABLE list item `item`; -1 for an item the class does not list.
int tableSlot(AnalysisClass cls, int item) {
    const auto at = [item](const auto& slots) {
        return item >= 0 && item < static_cast<int>(std::size(slots)) ? slots[item] : -1;
    };
    switch (cls) {
        case AnalysisClass::Thermal:
            return at(kThermalTableSlots);
        case AnalysisClass::Fluid:
            return at(kFluidTableSlots);
        case AnalysisClass::Multiphysics:
            return at(kMultiphysicsTableSlots);
        default:
            return at(kMechanicalTableSlots);
    }
}

}  // namespace

CMaterial::CMaterial(CMaterialCommand* command) : CommandDialog(makeTemplate(), command, "CMaterial", kExit) {
    attachWidget(kGrid, std::make_unique<widgets::PropertyGrid>());
    onClick(kApply, [this] { OnApply(); });
    onClick(kMakeTable, [this] { OnMakeTable(); });
    onMessage(widgets::PropertyGrid::kChangedMessage, [this](std::intptr_t item, std::intptr_t) {
        onGridChanged(static_cast<PropertyHandle>(item));
    });
}

ui::DialogTemplate CMaterial::makeTemplate() {
    ui::DialogTemplate t;
    t.id = kDialogId;
    t.caption = "Material";
    t.rect = {0, 0, 300, 420};
    t.add(kPromptSelect, ControlKind::Static, "1. Select face of solid", {7, 7, 293, 21})
        .add(kPromptValues, ControlKind::Static, "2. Enter values", {7, 25, 293, 39})
        .add(kGrid, ControlKind::Custom, "", {7, 43, 293, 370})
        .add(kApply, ControlKind::Button, "APPLY", {7, 380, 90, 404})
        .add(kMakeTable, ControlKind::Button, "MAKE TABLE", {108, 380, 192, 404})
        .add(kExit, ControlKind::Button, "EXIT", {210, 380, 293, 404});
    return t;
}

loadcase::DocumentOwner& CMaterial::explorer() const {
    return *command_->explorer();
}

PropertyHandle CMaterial::slotItem(int slot) const {
    return slot >= 0 && slot < static_cast<int>(slots_.size()) ? slots_[slot] : widgets::kNoProperty;
}

// ---- opening ----

bool CMaterial::onInitDialog() {
    class_ = model::readAnalysisClass(explorer());
    buildGrid();
    setText(kPromptSelect, "1. Select body or face on body");
    setCaption("Materials");
    return true;
}

void CMaterial::buildGrid() {
    auto& g = grid();
    g.clear();
    const PropertyHandle general = g.addSection("General");
    description_ = g.addString(general, "Description", " ");

    const std::string folder = model::materialLibraryFolder(addon::readInstallFolder(), class_);
    command_->setLibraryFolder(folder);
    std::vector<std::string> choices{"No"};
    for (auto& name : model::materialNames(folder)) choices.push_back(std::move(name));
    standard_ = g.addCombo(general, "Standard materials", std::move(choices), 0);
    fromFile_ = g.addFile(general, "From file..", platform::joinPath(folder, "*.txt"), kFileFilter);

    switch (class_) {
        case AnalysisClass::Thermal:
            buildThermalSections(g);
            break;
        case AnalysisClass::Fluid:
            buildFluidSections(g);
            break;
        case AnalysisClass::Multiphysics:
            buildMechanicalSections(g);
            buildMultiphysicsThermalSection(g);
            break;
        default:
            buildMechanicalSections(g);
    }
}

void CMaterial::buildThermalSections(widgets::PropertyGrid& g) {
    const auto units = model::materialUnitLabels(addon::library().unitText);
    const PropertyHandle s = g.addSection("Thermal");
    const PropertyHandle k = g.addString(s, "conductivity " + units.conductivity, "0");
    const PropertyHandle c = g.addString(s, "heat capacity " + units.heatCapacity, "0");
    const PropertyHandle rho = g.addString(s, "density " + units.density, "0");
    const PropertyHandle ky = g.addString(s, "Y conductivity " + units.conductivity, "0");
    const PropertyHandle kz = g.addString(s, "Z conductivity " + units.conductivity, "0");
    slots_ = {k, ky, kz, rho, c};
}

void CMaterial::buildMechanicalSections(widgets::PropertyGrid& g) {
    const auto units = model::materialUnitLabels(addon::library().unitText);
    const PropertyHandle s = g.addSection("Mechanical");
    const PropertyHandle e1 = g.addString(s, "Youngs modulus 1 " + units.stress, "0");
    const PropertyHandle nu = g.addString(s, "Poissons ratio 1", "0");
    const PropertyHandle alpha1 = g.addString(s, "expansion coeff. 1 " + units.expansion, "0");
    const PropertyHandle rho = g.addString(s, "density " + units.density, "0");

    const PropertyHandle o = g.addSection("Orthotropic", true);
    const PropertyHandle e2 = g.addString(o, "Youngs modulus 2 " + units.stress, "0");
    const PropertyHandle g12 = g.addString(o, "shear modulus 1-2 " + units.stress, "0");
    const PropertyHandle angle = g.addString(o, "angle X-axis/direction 1", "0");
    const PropertyHandle alpha2 = g.addString(o, "expansion coeff 2 " + units.expansion, "0");

    const PropertyHandle l = g.addSection("Limit stresses " + units.stress, true);
    const PropertyHandle sy = g.addString(l, "tensile yield", "0");
    const PropertyHandle su = g.addString(l, "fracture limit (uts)", "0");
    const PropertyHandle se = g.addString(l, "endurance limit", "0");
    const PropertyHandle syc = g.addString(l, "compressive yield", "0");
    slots_ = {e1, nu, alpha1, rho, widgets::kNoProperty, e2, g12, angle, alpha2, sy, su, se, syc};
}

// A Multiphysics body conducts with the thermal grid's rows; its density is the mechanical one.
void CMaterial::buildMultiphysicsThermalSection(widgets::PropertyGrid& g) {
    const auto units = model::materialUnitLabels(addon::library().unitText);
    const PropertyHandle s = g.addSection("Thermal");
    const PropertyHandle k = g.addString(s, "conductivity " + units.conductivity, "0");
    const PropertyHandle ky = g.addString(s, "Y conductivity " + units.conductivity, "0");
    const PropertyHandle kz = g.addString(s, "Z conductivity " + units.conductivity, "0");
    const PropertyHandle c = g.addString(s, "heat capacity " + units.heatCapacity, "0");
    slots_.insert(slots_.end(), {k, ky, kz, c});
}

// The flow needs the density and viscosity; the thermal properties serve a flow that carries heat,
// the gas's ratio of specific heats and gas constant the flow of a gas (0 for a liquid).
void CMaterial::buildFluidSections(widgets::PropertyGrid& g) {
    const auto units = model::materialUnitLabels(addon::library().unitText);
    const PropertyHandle f = g.addSection("Fluid");
    const PropertyHandle rho = g.addString(f, "density " + units.density, "0");
    const PropertyHandle mu = g.addString(f, "dynamic viscosity " + units.viscosity, "0");
    const PropertyHandle t = g.addSection("Thermal");
    const PropertyHandle k = g.addString(t, "conductivity " + units.conductivity, "0");
    const PropertyHandle c = g.addString(t, "heat capacity " + units.heatCapacity, "0");
    const PropertyHandle beta = g.addString(t, "expansion coeff. " + units.expansion, "0");
    const PropertyHandle gas = g.addSection("Gas");
    const PropertyHandle gamma = g.addString(gas, "ratio of specific heats", "0");
    const PropertyHandle r = g.addString(gas, "gas constant " + units.heatCapacity, "0");
    slots_ = {rho, mu, k, c, beta, gamma, r};
}

// ---- loading ----

void CMaterial::onGridChanged(PropertyHandle item) {
    auto& g = grid();
    if (item == standard_) {
        loadMaterialFile(platform::joinPath(command_->libraryFolder(), g.value(standard_) + ".txt"));
    } else if (item == fromFile_) {
        loadMaterialFile(g.value(fromFile_));
    }
}

void CMaterial::loadMaterialFile(const std::string& path) {
    if (class_ == AnalysisClass::Multiphysics) return loadMultiphysicsFiles(path);
    const model::MaterialFile file = model::readMaterialFile(path, class_);
    if (file.outcome == model::MaterialFile::Outcome::NotOpened) return;
    auto& g = grid();
    if (file.hasDescription) g.setValue(description_, file.description);
    if (file.outcome == model::MaterialFile::Outcome::ReadError) {
        ui::showMessage("Error while opening the file");
        return;
    }
    const model::MaterialValues values = convertedValues(file, class_);
    for (int slot = 0; slot < static_cast<int>(slots_.size()); ++slot) {
        if (slots_[slot] != widgets::kNoProperty)
            g.setValue(slots_[slot], model::materialValueText(class_, slot, values[slot]));
    }
}

// The mechanical values from `path`, the thermal ones from the thermal library's file of the same
// name; without that file the thermal values are 0.
void CMaterial::loadMultiphysicsFiles(const std::string& path) {
    const model::MaterialFile mechanical = model::readMaterialFile(path, AnalysisClass::Mechanical);
    if (mechanical.outcome == model::MaterialFile::Outcome::NotOpened) return;
    auto& g = grid();
    if (mechanical.hasDescription) g.setValue(description_, mechanical.description);
    if (mechanical.outcome == model::MaterialFile::Outcome::ReadError) {
        ui::showMessage("Error while opening the file");
        return;
    }
    const model::MaterialValues m = convertedValues(mechanical, AnalysisClass::Mechanical);
    for (int slot = 0; slot < model::kMechanicalSlots; ++slot) {
        if (slots_[slot] != widgets::kNoProperty)
            g.setValue(slots_[slot], model::materialValueText(AnalysisClass::Mechanical, slot, m[slot]));
    }
    const std::string thermalPath =
        platform::joinPath(model::materialLibraryFolder(addon::readInstallFolder(), AnalysisClass::Thermal),
                           platform::fileStem(path) + ".txt");
    const model::MaterialFile thermal = model::readMaterialFile(thermalPath, AnalysisClass::Thermal);
    if (thermal.outcome == model::MaterialFile::Outcome::ReadError)
        ui::showMessage("Error while opening the file");
    model::MaterialValues t{};
    if (thermal.outcome == model::MaterialFile::Outcome::Read)
        t = convertedValues(thermal, AnalysisClass::Thermal);
    // k, ky, kz and c of the thermal file (its density is the mechanical one).
    constexpr int kThermalFileSlots[] = {0, 1, 2, 4};
    for (int i = 0; i < 4; ++i) {
        const int slot = kThermalFileSlots[i];
        g.setValue(slots_[kFirstThermalSlot + i],
                   model::materialValueText(AnalysisClass::Thermal, slot, t[slot]));
    }
}

model::MaterialValues CMaterial::convertedValues(const model::MaterialFile& file, AnalysisClass cls) {
    model::MaterialValues values = file.values;
    const model::UnitSystem document = model::unitSystemOf(addon::library().unitText);
    switch (cls) {
        case AnalysisClass::Thermal:
            model::convertThermal(values, file.units, document);
            // A material without directional conductivities conducts alike in every direction.
            if (values[1] == 0.0) values[1] = values[0];
            if (values[2] == 0.0) values[2] = values[0];
            break;
        case AnalysisClass::Fluid:
            model::convertFluid(values, file.units, document);
            break;
        default:
            model::convertMechanical(values, file.units, document);
    }
    return values;
}

// ---- APPLY ----

std::string CMaterial::entryText() const {
    const auto& g = grid();
    std::string text = g.value(description_) + ": ";
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        if (slot > 0) text += ",";
        text += slots_[slot] == widgets::kNoProperty ? std::string("0") : g.value(slots_[slot]);
    }
    return text;
}

void CMaterial::OnApply() {
    addon::guardedCall("CMaterial", "OnApply", [this] { apply(); });
}

void CMaterial::apply() {
    using platform::check;
    loadcase::DocumentOwner& ex = explorer();
    const std::string text = entryText();
    auto session = addon::findSession(ex.sessionName());
    platform::RefPtr<host::IQDSelection> selection;
    check(session->get_Selection(selection.put()), host::IQDSession::iid);
    platform::require(selection, host::IQDSession::iid);
    std::int32_t count = 0;
    check(selection->get_Count(0, &count), host::IQDSelection::iid);
    if (count < 1) {
        ui::showMessage("Select a face");
        return;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        platform::RefPtr<host::IQDPickedObject> picked;
        check(selection->Item(i, picked.put()), host::IQDSelection::iid);
        platform::require(picked, host::IQDSelection::iid);
        platform::RefPtr<platform::IUnknown> object;
        check(picked->get_Object(object.put()), host::IQDPickedObject::iid);
        auto face = object.query<host::IQDFace>();
        if (!face) {
            ui::showMessage("That isn't a face; select a face");
            return;
        }
        host::KeyBytes faceKey;
        check(face->get_Key(&faceKey), host::IQDFace::iid);
        if (ex.isPartSession()) {
            platform::RefPtr<host::IQDBody> body;
            check(face->get_Body(body.put()), host::IQDFace::iid);
            platform::require(body, host::IQDFace::iid);
            host::KeyBytes bodyKey;
            check(body->get_Key(&bodyKey), host::IQDBody::iid);
            ex.document().addEntry(bodyKey, faceKey, text, model::kKindMaterial);
        } else {
            // An assembly takes one material: the last one applied.
            ex.document().removeKind(model::kKindMaterial);
            ex.document().addEntry({}, faceKey, text, model::kKindMaterial);
        }
    }
    ex.document().save();
    check(selection->HandBack(), host::IQDSelection::iid);
    ex.document().markChanged();
}

// ---- MAKE TABLE and EXIT ----

void CMaterial::OnMakeTable() {
    addon::guardedCall("CMaterial", "OnMakeTable", [this] { makeTable(); });
}

void CMaterial::makeTable() {
    const auto made = model::makeTable(explorer(), this, CTableEditDlg::Mode::Material, class_);
    if (!made) return;
    if (const int slot = tableSlot(class_, made->index); slot >= 0)
        grid().setValue(slotItem(slot), made->name);
}
