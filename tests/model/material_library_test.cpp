// The material library as the build installs it (data/Materials copied into tarvdir): every file
// reads, names a unit system and holds values in the range of real materials (and fluids) once
// converted to SI.
#include <gtest/gtest.h>

#include "model/material_conversion.h"
#include "model/material_file.h"

namespace {

using model::UnitSystem;
using C = loadcase::AnalysisClass;

std::string shippedInstallFolder() {
    return KOLVANE_TARVDIR;
}

std::string folderOf(C cls) {
    return model::materialLibraryFolder(shippedInstallFolder(), cls);
}

model::MaterialFile shipped(C cls, const std::string& name) {
    return model::readMaterialFile(folderOf(cls) + "/" + name + ".txt", cls);
}

model::MaterialValues inSi(const model::MaterialFile& file, C cls) {
    model::MaterialValues v = file.values;
    switch (cls) {
        case C::Thermal:
            model::convertThermal(v, file.units, UnitSystem::Metre);
            break;
        case C::Fluid:
            model::convertFluid(v, file.units, UnitSystem::Metre);
            break;
        default:
            model::convertMechanical(v, file.units, UnitSystem::Metre);
    }
    return v;
}

TEST(ShippedLibrary, MechanicalValuesAreThoseOfRealMaterials) {
    bool sawMm = false, sawM = false, sawIn = false;
    for (const auto& name : model::materialNames(folderOf(C::Mechanical))) {
        SCOPED_TRACE(name);
        const auto file = shipped(C::Mechanical, name);
        ASSERT_EQ(file.outcome, model::MaterialFile::Outcome::Read);
        EXPECT_NE(file.units, UnitSystem::None);
        sawMm |= file.units == UnitSystem::Millimetre;
        sawM |= file.units == UnitSystem::Metre;
        sawIn |= file.units == UnitSystem::Inch;
        EXPECT_GT(file.description.size(), 2u);
        const auto v = inSi(file, C::Mechanical);
        EXPECT_GT(v[0], 1e9);     // E1, Pa: plastics upwards
        EXPECT_LT(v[0], 2.5e11);  // steels downwards
        EXPECT_GT(v[1], 0.2);     // Poisson's ratio
        EXPECT_LT(v[1], 0.5);
        EXPECT_GT(v[2], 5e-6);  // expansion, 1/C
        EXPECT_LT(v[2], 1.5e-4);
        EXPECT_GT(v[3], 900.0);  // density, kg/m3
        EXPECT_LT(v[3], 9000.0);
        for (int slot : {4, 5, 6, 7, 8}) EXPECT_EQ(v[slot], 0.0) << "isotropic: slot " << slot;
        EXPECT_GT(v[9], 1e7);     // yield, Pa
        EXPECT_GE(v[10], v[9]);   // ultimate at least yield
        EXPECT_LT(v[11], v[10]);  // endurance below ultimate
        EXPECT_GE(v[12], v[9]);   // compressive yield at least tensile
    }
    EXPECT_TRUE(sawMm && sawM && sawIn) << "files in mm, m and in exercise the conversion";
}

TEST(ShippedLibrary, ThermalValuesAreThoseOfRealMaterials) {
    const auto names = model::materialNames(folderOf(C::Thermal));
    EXPECT_GE(names.size(), 10u);
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const auto file = shipped(C::Thermal, name);
        ASSERT_EQ(file.outcome, model::MaterialFile::Outcome::Read);
        EXPECT_NE(file.units, UnitSystem::None);
        const auto v = inSi(file, C::Thermal);
        EXPECT_GT(v[0], 0.1);  // conductivity, W/(m-C)
        EXPECT_LT(v[0], 450.0);
        EXPECT_EQ(v[1], 0.0) << "isotropic: the dialog takes k";
        EXPECT_EQ(v[2], 0.0);
        EXPECT_GT(v[3], 900.0);  // density, kg/m3
        EXPECT_LT(v[3], 9000.0);
        EXPECT_GT(v[4], 100.0);  // specific heat, J/(kg-C)
        EXPECT_LT(v[4], 2000.0);
    }
}

// Water, air and a light oil, each in a unit system of its own; in SI the kinematic viscosity
// mu/rho tells them apart (water 1.0e-6, air 1.5e-5, the oil about 2e-5 m2/s). Air is an ideal gas
// (gamma 1.4, R 287 J/(kg K), so p = rho R T at 20 C and 1 atm), the liquids and solids no gas; the
// inviscid air is the same gas without friction or conduction. The solids of the library
// (viscosity 0) conduct as the thermal library's file of the same material does.
TEST(ShippedLibrary, FluidValuesAreThoseOfRealFluidsAndSolids) {
    const struct {
        const char* name;
        double density, kinematic;
    } fluids[] = {{"Water", 998.2, 1.004e-6}, {"Air", 1.204, 1.512e-5}, {"Light oil", 857.0, 2.05e-5}};
    const struct {
        const char* name;
        const char* thermal;
    } solids[] = {{"Solid aluminium 6061-T6", "Aluminium 6061-T6"},
                  {"Solid copper C11000", "Copper C11000"},
                  {"Solid steel S235", "Steel S235"}};
    EXPECT_EQ(model::materialNames(folderOf(C::Fluid)).size(), std::size(fluids) + std::size(solids) + 1);
    for (const auto& fluid : fluids) {
        SCOPED_TRACE(fluid.name);
        const auto file = shipped(C::Fluid, fluid.name);
        ASSERT_EQ(file.outcome, model::MaterialFile::Outcome::Read);
        EXPECT_NE(file.units, UnitSystem::None);
        const auto v = inSi(file, C::Fluid);
        EXPECT_NEAR(v[0], fluid.density, 0.002 * fluid.density);
        EXPECT_NEAR(v[1] / v[0], fluid.kinematic, 0.01 * fluid.kinematic);
        EXPECT_GT(v[2], 0.02);  // conductivity, W/(m-C)
        EXPECT_LT(v[2], 0.7);
        EXPECT_GT(v[3], 900.0);  // specific heat, J/(kg-C)
        EXPECT_LT(v[3], 4300.0);
        EXPECT_GT(v[4], 1e-4);  // expansion, 1/C
        EXPECT_LT(v[4], 4e-3);
        const bool gas = std::string(fluid.name) == "Air";
        EXPECT_EQ(v[5], gas ? 1.4 : 0.0);
        EXPECT_NEAR(v[0] * v[6] * 293.15, gas ? 101325.0 : 0.0, 0.002 * 101325.0) << "p = rho R T";
        for (int slot = model::kFluidSlots; slot < model::kMechanicalSlots; ++slot) EXPECT_EQ(v[slot], 0.0);
    }
    const auto air = inSi(shipped(C::Fluid, "Air"), C::Fluid);
    const auto inviscid = inSi(shipped(C::Fluid, "Air (inviscid)"), C::Fluid);
    for (int slot : {0, 3, 4, 5, 6}) EXPECT_EQ(inviscid[slot], air[slot]) << slot;
    EXPECT_EQ(inviscid[1], 0.0);
    EXPECT_EQ(inviscid[2], 0.0);
    for (const auto& solid : solids) {
        SCOPED_TRACE(solid.name);
        const auto file = shipped(C::Fluid, solid.name);
        const auto thermal = shipped(C::Thermal, solid.thermal);
        ASSERT_EQ(file.outcome, model::MaterialFile::Outcome::Read);
        ASSERT_EQ(thermal.outcome, model::MaterialFile::Outcome::Read);
        EXPECT_EQ(file.units, thermal.units);
        const auto v = inSi(file, C::Fluid);
        const auto t = inSi(thermal, C::Thermal);
        EXPECT_EQ(v[1], 0.0) << "a solid body has no viscosity";
        // The fluid's density converts by the mechanical factor, the thermal file's by its own.
        EXPECT_NEAR(v[0], t[3], 1e-6 * t[3]);  // density
        EXPECT_NEAR(v[2], t[0], 1e-6 * t[0]);  // conductivity
        EXPECT_NEAR(v[3], t[4], 1e-6 * t[4]);  // specific heat
        EXPECT_EQ(v[4], 0.0) << "nothing flows in a solid: no buoyancy";
        EXPECT_EQ(v[5], 0.0) << "a solid is no gas";
    }
}

// The dialog loading a library file, converted in single precision and shown slot by slot:
// MaterialCommand.FactorsApplyInSinglePrecisionAndOnlyBetweenMmMAndIn; a shipped one, through the
// sample and end-to-end runs ("Steel S235").

}  // namespace
