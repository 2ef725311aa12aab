// Unit systems, conversion factors, value formatting and material file reading.
#include <gtest/gtest.h>

#include <cmath>

#include "model/material_conversion.h"
#include "model/material_file.h"
#include "model/material_format.h"
#include "model/material_units.h"
#include "support/scratch_folder.h"

namespace {

using model::UnitSystem;
using U = UnitSystem;

double single(float f) {
    return static_cast<double>(f);
}

TEST(UnitSystem, RecognisedByTheFirstLetters) {
    // Only the first letter counts ("iron" is inches), and upper case names nothing.
    const std::pair<const char*, U> cases[] = {{"mm", U::Millimetre}, {"m.", U::Metre}, {"m;Steel", U::Metre},
                                               {"m", U::Metre},       {"in", U::Inch},  {"iron", U::Inch},
                                               {"cm", U::Centimetre}, {"ft", U::None},  {";Steel", U::None},
                                               {"Mm", U::None},       {"", U::None}};
    for (const auto& [text, units] : cases) EXPECT_EQ(model::unitSystemOf(text), units) << text;
}

// The metric labels name the document's length unit in each quantity; a label of another length
// would show converted values under the wrong unit.
TEST(MaterialUnits, MetricLabelsNameTheDocumentsLength) {
    for (const auto& [unit, length] : {std::pair{"mm", "mm"}, std::pair{"m.", "m"}, std::pair{"cm", "cm"}}) {
        const auto l = model::materialUnitLabels(unit);
        const std::string L = length;
        EXPECT_EQ(l.conductivity + " " + l.heatCapacity + " " + l.stress + " " + l.expansion + " " +
                      l.density + " " + l.viscosity,
                  "W/(" + L + "-C) J/(kg-C) N/" + L + "2 1/C kg/" + L + "3 N-s/" + L + "2");
    }
    EXPECT_EQ(model::materialUnitLabels("in").stress, "lbf/in2");
    EXPECT_EQ(model::materialUnitLabels("in").viscosity, "lbf-s/in2");
    EXPECT_EQ(model::materialUnitLabels("ft").stress, "") << "feet documents are not converted";
    EXPECT_EQ(model::materialUnitLabels("ft").viscosity, "");
}

// Each factor is the ratio of the two systems' units of that quantity, from the definitions of the
// units: 1 in = 0.0254 m, 1 lb = 0.45359237 kg, 1 lbf/in2 = 6894.757 Pa, 1 F = 5/9 C and
// 1 Btu/(lb F) = 4186.8 J/(kg C). Mechanical factors are good to 1e-5; the conductivity of the
// inch system comes within 3e-4 of the international Btu (the library's Btu is a slightly
// different one).
TEST(MaterialConversion, FactorsAreTheRatiosOfTheUnitsTheyConvertBetween) {
    struct Units {
        double stress, density, perDegree, conductivity, heatCapacity;  // in SI units per degree C
    };
    const double btu = 1055.05585, inch = 0.0254;
    const std::pair<U, Units> systems[] = {
        {U::Millimetre, {1e6, 1e9, 1, 1e3, 1}},
        {U::Metre, {1, 1, 1, 1, 1}},
        {U::Centimetre, {1e4, 1e6, 1, 1e2, 1}},
        {U::Inch, {6894.757, 0.45359237 / (inch * inch * inch), 1.8, btu / inch * 1.8, 4186.8}},
    };
    auto near = [](double factor, double from, double to, double tolerance) {
        return std::abs(factor / (from / to) - 1) < tolerance;
    };
    int rows = 0;
    for (const auto& [from, f] : systems) {
        for (const auto& [to, t] : systems) {
            SCOPED_TRACE(static_cast<int>(from) * 10 + static_cast<int>(to));
            const auto m = model::mechanicalFactors(from, to);
            const auto h = model::thermalFactors(from, to);
            EXPECT_EQ(m.has_value(), h.has_value());
            if (!m || !h) continue;
            ++rows;
            EXPECT_TRUE(near(m->stress, f.stress, t.stress, 1e-5)) << m->stress;
            EXPECT_TRUE(near(m->density, f.density, t.density, 1e-5)) << m->density;
            EXPECT_TRUE(near(m->expansion, f.perDegree, t.perDegree, 1e-5)) << m->expansion;
            EXPECT_TRUE(near(h->conductivity, f.conductivity, t.conductivity, 3e-4)) << h->conductivity;
            EXPECT_TRUE(near(h->density, f.density, t.density, 1e-5)) << h->density;
            EXPECT_TRUE(near(h->heatCapacity, f.heatCapacity, t.heatCapacity, 1e-5)) << h->heatCapacity;
        }
    }
    EXPECT_EQ(rows, 9) << "centimetre files and same-unit pairs are not converted";
}

// All three conductivities convert: a library file may give each direction its own. The
// mechanical slots' quantities are checked through the Materials dialog, slot by slot.
TEST(MaterialConversion, ThermalValuesConvertByQuantity) {
    model::MaterialValues t{1, 2, 3, 4, 5};
    model::convertThermal(t, U::Inch, U::Millimetre);
    const double k = single(74.75341f);
    EXPECT_EQ(t, (model::MaterialValues{k, 2 * k, 3 * k, 4 * single(2.768e-5f), 5 * 4186.8}));
}

// A fluid's slots take the factors of their quantities: density and expansion as a solid's,
// viscosity as a stress, conductivity and heat capacity as the thermal ones, a gas's gas constant
// as the heat capacity (its ratio of specific heats has no unit).
TEST(MaterialConversion, FluidValuesConvertByQuantity) {
    model::MaterialValues f{1, 2, 3, 4, 5, 1.4, 7};
    model::convertFluid(f, U::Inch, U::Millimetre);
    EXPECT_EQ(f, (model::MaterialValues{single(2.768e-5f), 2 * single(0.00689476f), 3 * single(74.75341f),
                                        4 * 4186.8, 5 * single(1.8f), 1.4, 7 * 4186.8}));
    model::MaterialValues air{1, 2, 3, 4, 5, 1.4, 287.05};
    model::convertFluid(air, U::Millimetre, U::Inch);
    EXPECT_NEAR(air[6], 0.06856, 1e-5) << "287.05 J/(kg-C) in Btu/(lb-F)";
    model::MaterialValues same{1, 2, 3, 4, 5};
    model::convertFluid(same, U::Centimetre, U::Metre);
    EXPECT_EQ(same, (model::MaterialValues{1, 2, 3, 4, 5})) << "centimetre files are not converted";
}

// Each slot's form (the conductivities and the first modulus fixed, the rest shortest) shows in the
// Materials dialog: MaterialCommand.FactorsApplyInSinglePrecision..., ThermalFileWithout....
TEST(MaterialFormat, LongTextsAreNotCut) {
    EXPECT_EQ(model::formatNumber("%f", 1e300).size(), 308u);
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
    model::MaterialFile read(const std::string& text,
                             loadcase::AnalysisClass cls = loadcase::AnalysisClass::Mechanical) {
        writeFile(scratch.file("m.txt"), text);
        return model::readMaterialFile(scratch.file("m.txt"), cls);
    }
    ScratchFolder scratch;
};

// After the first semicolon everything is the description; without one, the text after the unit
// letters is. Line ends of either kind are dropped, and a last line without one keeps its last letter.
TEST_F(MaterialFileRead, DescriptionFollowsTheSemicolonOrTheUnitLetters) {
    const struct {
        const char* text;
        U units;
        const char* description;
    } cases[] = {
        {"in; Brass; C360\n", U::Inch, " Brass; C360"},
        {"m;Glass\r\n0.8\r\n", U::Metre, "Glass"},
        {"m;Last", U::Metre, "Last"},
        {";No units\n", U::None, "No units"},
        {"mm Structural steel\n", U::Millimetre, "Structural steel"},
        {"in Brass\n", U::Inch, "Brass"},
        {"m Copper\n", U::Metre, "Copper"},
        {"Titanium Ti-6Al-4V\n", U::None, "Titanium Ti-6Al-4V"},
    };
    for (const auto& c : cases) {
        const auto f = read(c.text);
        EXPECT_EQ(f.units, c.units) << c.text;
        EXPECT_EQ(f.description, c.description) << c.text;
    }
}

// A thermal file holds five values, a fluid file seven (a gas's ratio of specific heats and gas
// constant last); what follows them is not read. (A fluid file of five, written before gases, reads
// with the gas values 0: MaterialCommand.AFluidLoadcaseTakesTheFluidsProperties.)
TEST_F(MaterialFileRead, ThermalFilesReadFiveValuesFluidFilesSeven) {
    const std::string eight = "m;Air\n1.2\n1.8e-5\n0.026\n1005\n0.0034\n1.4\n287\n99\n";
    const auto thermal = read(eight, loadcase::AnalysisClass::Thermal);
    EXPECT_EQ(thermal.values[4], 0.0034);
    EXPECT_EQ(thermal.values[5], 0.0);
    const auto gas = read(eight, loadcase::AnalysisClass::Fluid);
    EXPECT_EQ(gas.values[5], 1.4);
    EXPECT_EQ(gas.values[6], 287.0);
    EXPECT_EQ(gas.values[7], 0.0);
}

TEST_F(MaterialFileRead, OverlongLinesAreCutWithoutShiftingTheNextValues) {
    const auto f = read("mm;" + std::string(200, 'x') + "\n" + "1" + std::string(200, '0') + "\n0.3\n");
    EXPECT_EQ(f.description.size(), model::kMaterialLineLength - 3);
    EXPECT_EQ(f.values[0], 1e125) << "126 characters of the number count";
    EXPECT_EQ(f.values[1], 0.3);
}

// A file that is missing or cannot be read is reported through the Materials dialog; an empty one
// reads, with no description to show.
TEST_F(MaterialFileRead, AnEmptyFileReadsWithoutADescription) {
    const auto empty = read("");
    EXPECT_EQ(empty.outcome, model::MaterialFile::Outcome::Read);
    EXPECT_FALSE(empty.hasDescription);
}

TEST(MaterialLibrary, NamesAreTheTextFilesWithoutExtension) {
    ScratchFolder lib;
    writeFile(lib.file("steel.txt"), "");
    writeFile(lib.file("Al.6061-T6.txt"), "");
    writeFile(lib.file("notes.md"), "");
    EXPECT_EQ(model::materialNames(lib.path()), (std::vector<std::string>{"Al.6061-T6", "steel"}));
    EXPECT_TRUE(model::materialNames(lib.file("missing")).empty());
}

}  // namespace
