// The Materials dialog driven as a user would: the library by analysis class and units,
// loading files, APPLY on faces of part and assembly documents, and MAKE TABLE.
#include <gtest/gtest.h>

#include <filesystem>

#include "model/material_command.h"
#include "model/material_dialog.h"
#include "model/model_command_fixture.h"
#include "model/table_edit_dlg.h"

namespace {

using M = CMaterial;
using Strings = std::vector<std::string>;

const std::string kZeros13 = "0,0,0,0,0,0,0,0,0,0,0,0,0";

class MaterialCommand : public ModelCommandTest {
  protected:
    MaterialCommand() {
        setSetting("InstallPath", install);
        std::filesystem::create_directories(install + "/Materials/Mechanical");
        std::filesystem::create_directories(install + "/Materials/Thermal");
    }

    // Starts "Attach Materials" as the menu does and answers its dialog.
    M& start() { return static_cast<M&>(ModelCommandTest::start(addon::kMenuMaterials)); }
    void library(const std::string& cls, const std::string& name, const std::string& text) {
        writeFile(install + "/Materials/" + cls + "/" + name + ".txt", text);
    }
    // Makes the loadcase thermal as its header says.
    void thermalHeader() {
        writeFile(explorer->document().jobBasePath() + ".txt",
                  "HEADER\n0.001 mm 0 nod=10 elem=0 ana=1\nMFILE\nx.meb\n");
    }
    void useUnits(std::int32_t display) {
        part.setUnits(host::kUnitMm, display);
        show();
    }
    void choose(M& d, const std::string& material) {
        const auto& choices = d.grid().choices(d.standardItem());
        const auto it = std::find(choices.begin(), choices.end(), material);
        ASSERT_NE(it, choices.end()) << material;
        d.grid().userChoose(d.standardItem(), static_cast<int>(it - choices.begin()));
    }
    void makeTable(M& d, int item) { ModelCommandTest::makeTable(d, M::kMakeTable, item); }
    Strings slotValues(M& d, int count) {
        Strings out;
        for (int slot = 0; slot < count; ++slot) out.push_back(d.grid().value(d.slotItem(slot)));
        return out;
    }

    std::string install = scratch.file("tarvdir");
};

// ---- opening ----

// A mechanical loadcase offers the mechanical library; one whose header is thermal the thermal
// library, and the explorer learns the thermal class.
TEST_F(MaterialCommand, TheAnalysisClassChoosesTheLibrary) {
    library("Mechanical", "Steel", "");
    library("Mechanical", "Brass", "");
    library("Thermal", "Glass", "");
    auto& d = start();
    EXPECT_EQ(d.analysisClass(), loadcase::AnalysisClass::Mechanical);
    EXPECT_EQ(d.grid().choices(d.standardItem()), (Strings{"No", "Brass", "Steel"}));
    EXPECT_EQ(static_cast<CMaterialCommand&>(*command).libraryFolder(), install + "/Materials/Mechanical");
    thermalHeader();
    auto& t = start();
    EXPECT_EQ(t.analysisClass(), loadcase::AnalysisClass::Thermal);
    EXPECT_EQ(explorer->document().analysisType(), 6);
    EXPECT_EQ(t.grid().choices(t.standardItem()), (Strings{"No", "Glass"}));
}

TEST_F(MaterialCommand, HeaderOfAMechanicalClassKeepsAMultiphysicsType) {
    writeFile(explorer->document().jobBasePath() + ".txt", "HEADER\n0.001 mm 0 nod=10 elem=0 ana=0\n");
    explorer->document().setAnalysisType(10);
    EXPECT_EQ(start().analysisClass(), loadcase::AnalysisClass::Multiphysics);
    EXPECT_EQ(explorer->document().analysisType(), 10);
    explorer->document().setAnalysisType(6);
    EXPECT_EQ(start().analysisClass(), loadcase::AnalysisClass::Mechanical);
    EXPECT_EQ(explorer->document().analysisType(), 0) << "the header decides the class";
}

// A fluid loadcase (header code 8) offers the fluid library and the fluid's properties: density
// and viscosity, the thermal ones, then a gas's. Loaded values convert by quantity and show in full
// (a viscosity in N-s/mm2 is 1e-9); a liquid's file of five values leaves the gas rows 0; the entry
// holds the seven values; MAKE TABLE names each property.
TEST_F(MaterialCommand, AFluidLoadcaseTakesTheFluidsProperties) {
    std::filesystem::create_directories(install + "/Materials/Fluid");
    library("Fluid", "Water", "m;Water at 20 C\n998.2\n1.002e-3\n0.598\n4182\n2.07e-4\n");
    library("Fluid", "Air", "in;Air\n4.35e-8\n2.64e-9\n3.44e-7\n0.24\n1.9e-3\n1.4\n0.06856\n");
    library("Mechanical", "Steel", "");
    writeFile(explorer->document().jobBasePath() + ".txt",
              "HEADER\n0.001 mm 0 nod=10 elem=0 ana=8\nMFILE\nx.meb\n");
    auto& d = start();
    EXPECT_EQ(d.analysisClass(), loadcase::AnalysisClass::Fluid);
    EXPECT_EQ(explorer->document().analysisType(), 8);
    EXPECT_EQ(d.grid().choices(d.standardItem()), (Strings{"No", "Air", "Water"}));
    Strings labels;
    for (int slot = 0; slot < 7; ++slot) {
        const auto item = d.slotItem(slot);
        labels.push_back(d.grid().label(d.grid().section(item)) + ": " + d.grid().label(item));
    }
    EXPECT_EQ(labels, (Strings{"Fluid: density kg/mm3", "Fluid: dynamic viscosity N-s/mm2",
                               "Thermal: conductivity W/(mm-C)", "Thermal: heat capacity J/(kg-C)",
                               "Thermal: expansion coeff. 1/C", "Gas: ratio of specific heats",
                               "Gas: gas constant J/(kg-C)"}));
    EXPECT_EQ(d.slotItem(7), widgets::kNoProperty);
    choose(d, "Air");
    const Strings air = slotValues(d, 7);
    EXPECT_EQ(air[5], "1.4");
    EXPECT_NEAR(std::stod(air[6]), 287.05, 0.01) << "the gas constant converts as the heat capacity";
    choose(d, "Water");
    EXPECT_EQ(slotValues(d, 7),
              (Strings{"9.982e-07", "1.002e-09", "0.000598", "4182", "0.000207", "0", "0"}));
    makeTable(d, 1);
    makeTable(d, 4);
    makeTable(d, 6);
    picks().select(box().face(0));
    d.userClick(M::kApply);
    EXPECT_EQ(texts(model::kKindMaterial),
              Strings{"Water at 20 C: 9.982e-07,tabm1,0.000598,4182,tabm4,0,tabm6"});
}

// A Multiphysics loadcase shows the mechanical sections and then the thermal rows without a
// density; a library material fills both parts from the two files of its name (the thermal part
// 0 without a thermal file), and MAKE TABLE reaches the thermal rows after the mechanical ones.
TEST_F(MaterialCommand, AMultiphysicsLoadcaseTakesBothPartsOfALibraryMaterial) {
    writeFile(explorer->document().jobBasePath() + ".txt", "HEADER\n0.001 mm 0 nod=10 elem=0 ana=0\n");
    explorer->document().replaceSectionEntry("Bracket:10", model::kKindLoadcase, true);
    library("Mechanical", "Brass", "mm;Brass\n100000\n0.34\n1.9e-05\n8.5e-06\n");
    library("Thermal", "Brass", "m;Brass\n120\n0\n60\n8500\n380\n");
    library("Mechanical", "Steel", "mm;Steel\n210000\n0.3\n");
    auto& d = start();
    EXPECT_EQ(d.analysisClass(), loadcase::AnalysisClass::Multiphysics);
    Strings labels;
    for (int slot = 13; slot < 17; ++slot) {
        const auto item = d.slotItem(slot);
        labels.push_back(d.grid().label(d.grid().section(item)) + ": " + d.grid().label(item));
    }
    EXPECT_EQ(labels, (Strings{"Thermal: conductivity W/(mm-C)", "Thermal: Y conductivity W/(mm-C)",
                               "Thermal: Z conductivity W/(mm-C)", "Thermal: heat capacity J/(kg-C)"}));
    EXPECT_EQ(d.grid().label(d.slotItem(3)), "density kg/mm3");
    choose(d, "Brass");
    EXPECT_EQ(slotValues(d, 17),
              (Strings{"100000.000000", "0.34", "1.9e-05", "8.5e-06", "", "0", "0", "0", "0", "0", "0", "0",
                       "0", "0.120000", "0.120000", "0.060000", "380"}));
    choose(d, "Steel");
    EXPECT_EQ(slotValues(d, 17)[13], "0.000000") << "no thermal file: the thermal part is 0";
    makeTable(d, 8);
    EXPECT_EQ(d.grid().value(d.slotItem(16)), "tabm8") << "heat capacity";
    picks().select(box().face(0));
    d.userClick(M::kApply);
    EXPECT_EQ(texts(model::kKindMaterial), Strings{"Steel: 210000.000000,0.3,0,0," + kZeros13.substr(8) +
                                                   ",0.000000,0.000000,0.000000,tabm8"});
}

// ---- loading library files ----

// A library file's values as the grid shows them: the unit factors apply in single precision and
// only between mm, m and in; a thermal file without directional conductivities uses k for all.
TEST_F(MaterialCommand, LibraryFilesFillTheSlotsConvertedToTheDocumentsUnits) {
    const struct {
        std::int32_t document;
        const char* file;
        Strings values;  // the first slots shown
        bool thermal = false;
    } cases[] = {
        {host::kUnitM,
         "mm;Structural "
         "steel\n210000\n0.3\n1.2e-5\n7.85e-6\n999\n200000\n80000\n0\n1.2e-5\n235\n360\n180\n235\n",
         {"210000000000.000000", "0.3", "1.2e-05", "7850", "", "2e+11", "8e+10", "0", "1.2e-05", "2.35e+08",
          "3.6e+08", "1.8e+08", "2.35e+08"}},
        {host::kUnitMm,
         "m;Steel in SI\n2.1e11\n0.3\n1.2e-5\n7850\n",
         {"209999.999470", "0.3", "1.2e-05", "7.85e-06", "", "0"}},  // slots the file does not reach are 0
        {host::kUnitM, "cm;Cm steel\n21000000\n0.3\n", {"21000000.000000", "0.3"}},
        {host::kUnitM, "Plain steel\n210000\n", {"210000.000000", "0"}},
        {host::kUnitFt,
         "in;Steel\n30000000\n0.3\n6.5e-6\n0.284\n",
         {"30000000.000000", "0.3", "6.5e-06", "0.284"}},
        // Thermal last: the header stays thermal.
        {host::kUnitMm,
         "in;Brass\n0.0502\n0\n0\n0.307\n0.09\n",
         {"3.752621", "3.752621", "3.752621", "8.49776e-06", "376.812"},
         true},
        {host::kUnitMm,
         "mm;Layered\n0.2\n0.1\n0\n2e-6\n900\n",
         {"0.200000", "0.100000", "0.200000", "2e-06", "900"},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        useUnits(c.document);
        if (c.thermal) thermalHeader();
        library(c.thermal ? "Thermal" : "Mechanical", "Case", c.file);
        auto& d = start();
        choose(d, "Case");
        EXPECT_EQ(slotValues(d, static_cast<int>(c.values.size())), c.values);
    }
}

TEST_F(MaterialCommand, ChoosingNoChangesNothingUnlessALibraryFileIsCalledNo) {
    library("Mechanical", "Steel", "mm;Steel\n210000\n");
    auto& d = start();
    d.grid().userEdit(d.slotItem(0), "5");
    d.grid().userChoose(d.standardItem(), 0);
    EXPECT_EQ(d.grid().value(d.slotItem(0)), "5");
    EXPECT_EQ(d.grid().value(d.descriptionItem()), " ");
    library("Mechanical", "No", "mm;Nothing\n1\n");
    d.grid().userChoose(d.standardItem(), 0);
    EXPECT_EQ(d.grid().value(d.descriptionItem()), "Nothing");
    EXPECT_EQ(d.grid().value(d.slotItem(0)), "1.000000");
}

TEST_F(MaterialCommand, FromFileLoadsTheChosenPathAMissingOrUnreadableOneChangesNothing) {
    writeFile(scratch.file("own.mat"), "mm;My alloy\n70000\n0.33\n");
    auto& d = start();
    prompts->queueFile(scratch.file("own.mat"));
    d.grid().userBrowse(d.fileItem());
    EXPECT_EQ(prompts->fileRequests().at(0).initialFolder, install + "/Materials/Mechanical");
    EXPECT_EQ(d.grid().value(d.descriptionItem()), "My alloy");
    EXPECT_EQ(d.grid().value(d.slotItem(1)), "0.33");
    d.grid().userEdit(d.fileItem(), scratch.file("gone.txt"));
    EXPECT_EQ(d.grid().value(d.descriptionItem()), "My alloy");
    EXPECT_TRUE(prompts->messages().empty()) << "a file that cannot be opened is silently ignored";
    // One that opens but cannot be read (a folder) is reported, and changes nothing either.
    d.grid().userEdit(d.fileItem(), scratch.path());
    EXPECT_EQ(prompts->messageTexts(), Strings{"Error while opening the file"});
    EXPECT_EQ(d.grid().value(d.slotItem(1)), "0.33");
}

// ---- APPLY ----

TEST_F(MaterialCommand, TypedValuesGoIntoTheTextAsTheyStand) {
    thermalHeader();
    auto& d = start();
    d.grid().userEdit(d.descriptionItem(), "Glass");
    d.grid().userEdit(d.slotItem(0), "0.8");
    d.grid().userEdit(d.slotItem(3), "2.5e3 ");
    d.grid().userEdit(d.slotItem(4), "tabm1");
    picks().select(box().face(0));
    d.userClick(M::kApply);
    EXPECT_EQ(texts(model::kKindMaterial), Strings{"Glass: 0.8,0,0,2.5e3 ,tabm1"});
}

TEST_F(MaterialCommand, UnchangedGridOnTwoFacesOfAPartGivesTwoEntriesOfThirteenZerosAndOneLine) {
    auto& d = start();
    picks().select(box().face(0), box().face(1));
    d.userClick(M::kApply);
    const std::string text = " : " + kZeros13;
    EXPECT_EQ(lines(model::kKindMaterial), Strings{text});
    EXPECT_EQ(readFile(explorer->document().loadcaseFilePath()),
              expectedFileBytes({{bodyKey(), key(0), text, 1}, {bodyKey(), key(1), text, 1}}));
    EXPECT_EQ(picks().filters(), std::vector<std::int32_t>{0});
    EXPECT_EQ(picks().handBackCount(), 1);
    EXPECT_TRUE(explorer->document().isChanged());
    EXPECT_TRUE(prompts->messages().empty());
}

TEST_F(MaterialCommand, EmptySelectionAndNonFacesAreRefused) {
    auto& d = start();
    d.userClick(M::kApply);
    picks().select(box().face(3), box().edge(0), box().face(4));
    d.userClick(M::kApply);
    EXPECT_EQ(prompts->messageTexts(), (Strings{"Select a face", "That isn't a face; select a face"}));
    ASSERT_EQ(explorer->document().entries().size(), 1u) << "the face before the edge keeps its entry";
    EXPECT_EQ(explorer->document().entries()[0].data().entityKey().bytes(), key(3));
    EXPECT_EQ(picks().handBackCount(), 0);
}

TEST_F(MaterialCommand, OnTwoFacesOfAnAssemblyOnlyTheSecondIsKeptWithoutABodyKey) {
    inAssembly("Frame", 5, addon::kMenuMaterials).Start();
    auto& body = assembly->body(0);
    auto& d = static_cast<M&>(*other->dialog());
    d.grid().userEdit(d.descriptionItem(), "Steel");
    assembly->selection().select(body.face(0), body.face(1));
    d.userClick(M::kApply);
    const std::string text = "Steel: " + kZeros13;
    ASSERT_EQ(otherExplorer->document().entries().size(), 1u);
    EXPECT_NE(otherExplorer->tree().findChild(otherExplorer->sectionItem(model::kKindMaterial), text),
              ui::kTreeRoot);
    EXPECT_EQ(readFile(otherExplorer->document().loadcaseFilePath()),
              expectedFileBytes({{{}, body.face(1).key(), text, 1}}));
}

// ---- MAKE TABLE ----

// A table names the property of its list item, mechanical or thermal; leaving the editor with EXIT
// changes nothing.
TEST_F(MaterialCommand, TableForAListItemNamesThatProperty) {
    auto& d = start();
    makeTable(d, -1);
    EXPECT_EQ(slotValues(d, 3), (Strings{"0", "0", "0"}));
    EXPECT_TRUE(explorer->document().entries().empty());
    makeTable(d, 2);
    EXPECT_EQ(d.grid().value(d.slotItem(2)), "tabm2");
    EXPECT_EQ(texts(model::kKindTable), Strings{"tabm2, 1, 0, 0"});
    EXPECT_EQ(lines(model::kKindTable), Strings{"tabm2, 1, 0, 0"});
    picks().select(box().face(0));
    d.userClick(M::kApply);
    EXPECT_EQ(texts(model::kKindMaterial), Strings{" : 0,0,tabm2,0,0,0,0,0,0,0,0,0,0"});
    makeTable(d, 6);
    EXPECT_EQ(d.grid().value(d.slotItem(8)), "tabm6") << "expansion coeff 2";

    thermalHeader();
    auto& t = start();
    for (int item : {1, 3, 4}) makeTable(t, item);
    EXPECT_EQ(slotValues(t, 5), (Strings{"0", "tabm3", "tabm4", "0", "tabm1"}));
}

}  // namespace
