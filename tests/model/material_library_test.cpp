// The material library as the build installs it (data/Materials copied into tarvdir): every file
// reads, names a unit system and holds values in the range of real materials once converted to
// SI.
#include <gtest/gtest.h>

#include "model/material_conversion.h"
#include "model/material_file.h"

namespace {

using model::UnitSystem;

std::string shippedInstallFolder() {
    return KOLVANE_TARVDIR;
}

std::string folderOf(bool thermal) {
    return model::materialLibraryFolder(shippedInstallFolder(), thermal);
}

model::MaterialValues inSi(const model::MaterialFile& file, bool thermal) {
    model::MaterialValues v = file.values;
    if (thermal) {
        model::convertThermal(v, file.units, UnitSystem::Metre);
    } else {
        model::convertMechanical(v, file.units, UnitSystem::Metre);
    }
    return v;
}

TEST(ShippedLibrary, MechanicalValuesAreThoseOfRealMaterials) {
    bool sawMm = false, sawM = false, sawIn = false;
    for (const auto& name : model::materialNames(folderOf(false))) {
        SCOPED_TRACE(name);
        const auto file = model::readMaterialFile(folderOf(false) + "/" + name + ".txt", false);
        ASSERT_EQ(file.outcome, model::MaterialFile::Outcome::Read);
        EXPECT_NE(file.units, UnitSystem::None);
        sawMm |= file.units == UnitSystem::Millimetre;
        sawM |= file.units == UnitSystem::Metre;
        sawIn |= file.units == UnitSystem::Inch;
        EXPECT_GT(file.description.size(), 2u);
        const auto v = inSi(file, false);
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
    const auto names = model::materialNames(folderOf(true));
    EXPECT_GE(names.size(), 10u);
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const auto file = model::readMaterialFile(folderOf(true) + "/" + name + ".txt", true);
        ASSERT_EQ(file.outcome, model::MaterialFile::Outcome::Read);
        EXPECT_NE(file.units, UnitSystem::None);
        const auto v = inSi(file, true);
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

// The dialog loading a library file, converted in single precision and shown slot by slot:
// MaterialCommand.FactorsApplyInSinglePrecisionAndOnlyBetweenMmMAndIn; a shipped one, through the
// sample and end-to-end runs ("Steel S235").

}  // namespace
