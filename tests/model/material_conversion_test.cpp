// Unit systems, unit labels, conversion factors, value formatting and material file reading.
#include <gtest/gtest.h>

#include <cmath>

#include "support/scratch_folder.h"
#include "model/material_conversion.h"
#include "model/material_file.h"
#include "model/material_format.h"
#include "model/material_units.h"

namespace {

using model::UnitSystem;
using U = UnitSystem;

double single(float f) { return static_cast<double>(f); }

TEST(UnitSystem, RecognisedByTheFirstLetters) {
    EXPECT_EQ(model::unitSystemOf("mm"), U::Millimetre);
    EXPECT_EQ(model::unitSystemOf("m."), U::Metre);
    EXPECT_EQ(model::unitSystemOf("m;Steel"), U::Metre);
    EXPECT_EQ(model::unitSystemOf("m"), U::Metre);
    EXPECT_EQ(model::unitSystemOf("in"), U::Inch);
    EXPECT_EQ(model::unitSystemOf("iron"), U::Inch) << "only the first letter counts";
    EXPECT_EQ(model::unitSystemOf("cm"), U::Centimetre);
    EXPECT_EQ(model::unitSystemOf("ft"), U::None);
    EXPECT_EQ(model::unitSystemOf(";Steel"), U::None);
    EXPECT_EQ(model::unitSystemOf("Mm"), U::None) << "upper case names nothing";
    EXPECT_EQ(model::unitSystemOf(""), U::None);
}

TEST(MaterialUnits, LabelsFollowTheDocumentsUnitText) {
    const std::pair<const char*, const char*> cases[] = {
        {"mm", "W/(mm-C) J/(kg-C) N/mm2 1/C kg/mm3"},           {"m.", "W/(m-C) J/(kg-C) N/m2 1/C kg/m3"},
        {"cm", "W/(cm-C) J/(kg-C) N/cm2 1/C kg/cm3"},           {"in", "Btu/(s-in-F) Btu/(lb-F) lbf/in2 1/F lbf/in3"},
        {"ft", "   1/C "},
    };
    for (const auto& [unit, expected] : cases) {
        const auto l = model::materialUnitLabels(unit);
        EXPECT_EQ(l.conductivity + " " + l.heatCapacity + " " + l.stress + " " + l.expansion + " " + l.density, expected)
            << unit;
    }
}

struct MechanicalRow {
    U from, to;
    float stress, density, expansion;
};

TEST(MaterialConversion, EveryMechanicalRowHasItsSinglePrecisionFactors) {
    const MechanicalRow rows[] = {
        {U::Inch, U::Metre, 6894.76f, 27680.0f, 1.8f},
        {U::Inch, U::Millimetre, 0.00689476f, 2.768e-5f, 1.8f},
        {U::Inch, U::Centimetre, 0.689476f, 0.02768f, 1.8f},
        {U::Millimetre, U::Metre, 1e6f, 1e9f, 1.0f},
        {U::Millimetre, U::Centimetre, 100.0f, 1000.0f, 1.0f},
        {U::Millimetre, U::Inch, 145.03767f, 36127.293f, 0.5555556f},
        {U::Metre, U::Millimetre, 1e-6f, 1e-9f, 1.0f},
        {U::Metre, U::Centimetre, 1e-4f, 1e-6f, 1.0f},
        {U::Metre, U::Inch, 1.4503769e-4f, 3.6127167e-5f, 0.5555556f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.from) * 10 + static_cast<int>(row.to));
        const auto f = model::mechanicalFactors(row.from, row.to);
        ASSERT_TRUE(f.has_value());
        EXPECT_EQ(f->stress, single(row.stress));
        EXPECT_EQ(f->density, single(row.density));
        EXPECT_EQ(f->expansion, single(row.expansion));
    }
    EXPECT_NE(model::mechanicalFactors(U::Inch, U::Metre)->stress, 6894.76) << "widened from single precision";
}

TEST(MaterialConversion, EveryThermalRowHasItsFactorsAndDoubleHeatCapacity) {
    const MechanicalRow rows[] = {
        {U::Inch, U::Metre, 74753.414f, 27680.0f, 0},   {U::Inch, U::Centimetre, 747.5341f, 0.02768f, 0},
        {U::Inch, U::Millimetre, 74.75341f, 2.768e-5f, 0}, {U::Millimetre, U::Metre, 1000.0f, 1e9f, 0},
        {U::Millimetre, U::Centimetre, 10.0f, 1000.0f, 0}, {U::Millimetre, U::Inch, 0.013377314f, 36127.168f, 0},
        {U::Metre, U::Millimetre, 0.001f, 1e-9f, 0},      {U::Metre, U::Centimetre, 0.01f, 1e-6f, 0},
        {U::Metre, U::Inch, 1.3377315e-5f, 3.6127167e-5f, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.from) * 10 + static_cast<int>(row.to));
        const auto f = model::thermalFactors(row.from, row.to);
        ASSERT_TRUE(f.has_value());
        EXPECT_EQ(f->conductivity, single(row.stress));
        EXPECT_EQ(f->density, single(row.density));
        const double c = row.from == U::Inch ? 4186.8 : row.to == U::Inch ? 0.000238846 : 1.0;
        EXPECT_EQ(f->heatCapacity, c);
    }
}

TEST(MaterialConversion, FactorsThereAndBackCancel) {
    // A slip in one factor of a pair shows here even when the row is found; the factors carry
    // four to eight significant digits, so the products come within 1e-5 of one.
    const std::pair<U, U> pairs[] = {{U::Millimetre, U::Metre}, {U::Millimetre, U::Inch}, {U::Metre, U::Inch}};
    for (auto [a, b] : pairs) {
        const auto there = *model::mechanicalFactors(a, b), back = *model::mechanicalFactors(b, a);
        EXPECT_NEAR(there.stress * back.stress, 1.0, 1e-5);
        EXPECT_NEAR(there.density * back.density, 1.0, 1e-5);
        EXPECT_NEAR(there.expansion * back.expansion, 1.0, 1e-5);
        const auto hot = *model::thermalFactors(a, b), cold = *model::thermalFactors(b, a);
        EXPECT_NEAR(hot.conductivity * cold.conductivity, 1.0, 1e-5);
        EXPECT_NEAR(hot.density * cold.density, 1.0, 1e-5);
        EXPECT_NEAR(hot.heatCapacity * cold.heatCapacity, 1.0, 1e-5);
    }
}

TEST(MaterialConversion, CentimetreFilesNoUnitSameUnitAndFeetDocumentsStayAsTheyAre) {
    for (U document : {U::Millimetre, U::Metre, U::Inch, U::Centimetre}) {
        EXPECT_FALSE(model::mechanicalFactors(U::Centimetre, document).has_value());
        EXPECT_FALSE(model::thermalFactors(U::None, document).has_value());
        EXPECT_FALSE(model::mechanicalFactors(document, document).has_value());
    }
    EXPECT_FALSE(model::mechanicalFactors(U::Millimetre, U::None).has_value());
    EXPECT_FALSE(model::thermalFactors(U::Inch, U::None).has_value());
}

TEST(MaterialConversion, MechanicalValuesConvertByQuantityPoissonAndAngleNever) {
    model::MaterialValues v{};
    for (int i = 0; i < model::kMechanicalSlots; ++i) v[i] = 2.0;
    model::convertMechanical(v, U::Millimetre, U::Inch);
    const double stress = 2.0 * single(145.03767f);
    const model::MaterialValues expected{stress, 2.0, 2.0 * single(0.5555556f), 2.0 * single(36127.293f), 2.0,
                                         stress, stress, 2.0, 2.0 * single(0.5555556f), stress, stress, stress,
                                         stress};
    EXPECT_EQ(v, expected);
    model::MaterialValues t{1, 2, 3, 4, 5};
    model::convertThermal(t, U::Inch, U::Millimetre);
    EXPECT_EQ(t[0], single(74.75341f));
    EXPECT_EQ(t[2], 3 * single(74.75341f));
    EXPECT_EQ(t[3], 4 * single(2.768e-5f));
    EXPECT_EQ(t[4], 5 * 4186.8);
    EXPECT_EQ(t[5], 0.0) << "slots beyond the thermal five are left alone";
}

TEST(MaterialFormat, ConductivitiesAndFirstModulusFixedEverythingElseShortest) {
    EXPECT_EQ(model::materialValueText(true, 0, 0.0502), "0.050200");
    EXPECT_EQ(model::materialValueText(true, 2, 16.2), "16.200000");
    EXPECT_EQ(model::materialValueText(true, 3, 7850), "7850");
    EXPECT_EQ(model::materialValueText(true, 4, 0.11 * 4186.8), "460.548");
    EXPECT_EQ(model::materialValueText(false, 0, 2.1e11), "210000000000.000000");
    EXPECT_EQ(model::materialValueText(false, 2, 1.2e-5), "1.2e-05");
    EXPECT_EQ(model::materialValueText(false, 5, 2.1e11), "2.1e+11");
    EXPECT_EQ(model::formatNumber("%f", 1e300).size(), 308u) << "long texts are not cut";
}

TEST(MaterialFile, LeadingNumberReadsDecimalsAndCountsTheRestAsZero) {
    EXPECT_EQ(model::leadingNumber("210000"), 210000.0);
    EXPECT_EQ(model::leadingNumber("  2.1e5 N/mm2"), 210000.0);
    EXPECT_EQ(model::leadingNumber("+0.3"), 0.3);
    EXPECT_EQ(model::leadingNumber("-1.5e-5"), -1.5e-5);
    EXPECT_EQ(model::leadingNumber(".5"), 0.5);
    EXPECT_EQ(model::leadingNumber("steel"), 0.0);
    EXPECT_EQ(model::leadingNumber(""), 0.0);
    EXPECT_EQ(model::leadingNumber("nan"), 0.0);
    EXPECT_EQ(model::leadingNumber("inf"), 0.0);
    EXPECT_EQ(model::leadingNumber("1e999"), 0.0);
    EXPECT_EQ(model::leadingNumber("0x10"), 0.0) << "decimal only";
}

class MaterialFileRead : public ::testing::Test {
protected:
    model::MaterialFile read(const std::string& text, bool thermal = false) {
        writeFile(scratch.file("m.txt"), text);
        return model::readMaterialFile(scratch.file("m.txt"), thermal);
    }
    ScratchFolder scratch;
};

TEST_F(MaterialFileRead, FirstLineGivesUnitsAndDescriptionValuesFollow) {
    const auto f = read("mm;Structural steel S235\n210000\n0.3\n1.2e-5\n7.85e-6\n460\n0\n0\n0\n0\n235\n360\n");
    EXPECT_EQ(f.outcome, model::MaterialFile::Outcome::Read);
    EXPECT_EQ(f.units, U::Millimetre);
    EXPECT_EQ(f.description, "Structural steel S235");
    EXPECT_EQ(f.values[0], 210000.0);
    EXPECT_EQ(f.values[3], 7.85e-6);
    EXPECT_EQ(f.values[4], 460.0) << "slot 5 is read although nothing shows it";
    EXPECT_EQ(f.values[9], 235.0);
    EXPECT_EQ(f.values[10], 360.0);
    EXPECT_EQ(f.values[11], 0.0) << "slots the file does not reach are 0";
}

TEST_F(MaterialFileRead, DescriptionIsEverythingAfterTheFirstSemicolon) {
    EXPECT_EQ(read("in; Brass; C360\n").description, " Brass; C360");
    EXPECT_EQ(read("m;Glass\r\n0.8\r\n").description, "Glass") << "line ends of either kind are dropped";
    EXPECT_EQ(read("m;Last").description, "Last") << "a last line without line feed keeps its last letter";
    EXPECT_EQ(read(";No units\n").units, U::None);
}

TEST_F(MaterialFileRead, WithoutSemicolonTheLineAfterTheUnitLettersIsTheDescription) {
    EXPECT_EQ(read("mm Structural steel\n").description, "Structural steel");
    EXPECT_EQ(read("in Brass\n").description, "Brass");
    EXPECT_EQ(read("m Copper\n").description, "Copper");
    const auto none = read("Titanium Ti-6Al-4V\n");
    EXPECT_EQ(none.units, U::None);
    EXPECT_EQ(none.description, "Titanium Ti-6Al-4V");
}

TEST_F(MaterialFileRead, ThermalReadsFiveValuesOnly) {
    const auto f = read("m;Glass\n0.8\n0\n0\n2500\n840\n99\n", true);
    EXPECT_EQ(f.values[0], 0.8);
    EXPECT_EQ(f.values[4], 840.0);
    EXPECT_EQ(f.values[5], 0.0);
}

TEST_F(MaterialFileRead, OverlongLinesAreCutWithoutShiftingTheNextValues) {
    const auto f = read("mm;" + std::string(200, 'x') + "\n" + "1" + std::string(200, '0') + "\n0.3\n");
    EXPECT_EQ(f.description.size(), model::kMaterialLineLength - 3);
    EXPECT_EQ(f.values[0], 1e125) << "126 characters of the number count";
    EXPECT_EQ(f.values[1], 0.3);
}

TEST_F(MaterialFileRead, MissingFileIsNotOpenedAFolderIsAReadError) {
    EXPECT_EQ(model::readMaterialFile(scratch.file("absent.txt"), false).outcome,
              model::MaterialFile::Outcome::NotOpened);
    EXPECT_EQ(model::readMaterialFile(scratch.path(), false).outcome, model::MaterialFile::Outcome::ReadError);
    const auto empty = read("");
    EXPECT_EQ(empty.outcome, model::MaterialFile::Outcome::Read);
    EXPECT_FALSE(empty.hasDescription);
}

TEST(MaterialLibrary, FolderByClassAndNamesWithoutExtension) {
    EXPECT_EQ(model::materialLibraryFolder("/opt/tarvdir", true), "/opt/tarvdir/Materials/Thermal");
    EXPECT_EQ(model::materialLibraryFolder("/opt/tarvdir", false), "/opt/tarvdir/Materials/Mechanical");
    ScratchFolder lib;
    writeFile(lib.file("steel.txt"), "");
    writeFile(lib.file("Al.6061-T6.txt"), "");
    writeFile(lib.file("notes.md"), "");
    EXPECT_EQ(model::materialNames(lib.path()), (std::vector<std::string>{"Al.6061-T6", "steel"}));
    EXPECT_TRUE(model::materialNames(lib.file("missing")).empty());
}

}  // namespace
