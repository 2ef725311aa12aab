// The solver input file and the start of the result file, compared whole.
#include "loadcase/solver_input_writer.h"
#include "mesh_solve/solver_input_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mesh_solve/mesh_store.h"
#include "support/explorer_fixture.h"

namespace {

using loadcase::SolveValues;
using loadcase::writeSolverInput;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using namespace model;

class SolverInput : public ::testing::Test, public ExplorerFixture {
  protected:
    void SetUp() override {
        show();
        folder = explorer->document().projectFolder();
        mesh_solve::libraryMesh().setNodesPerElement(10);
    }
    void add(const std::string& text, EntryKind kind, const host::KeyBytes& entity = {}) {
        explorer->document().addEntry(entity.empty() ? host::KeyBytes{} : bodyKey(), entity, text, kind);
    }
    std::string input() const { return readFile(folder + "/Bracket.txt"); }
    std::string result() const { return readFile(folder + "/Bracket.out"); }
    std::string head(const std::string& headerLine) const {
        return "HEADER\n" + headerLine + "\nMODEL\n" + folder + "/dump.stp\nMFILE\n" + folder +
               "/Bracket.meb\n";
    }
    const host::KeyBytes& edge(int i) const { return part.body(0).edge(i).key(); }
    const host::KeyBytes& vertex(int i) const { return part.body(0).vertex(i).key(); }
    // A second box beside the first; the explorer takes the reopened session.
    void addSecondBody() {
        part.setDocument(testhost::partOf(
            {testhost::box({0, 0, 0}, {10, 20, 30}), testhost::box({20, 0, 0}, {30, 10, 10})}));
        show();
    }
    // Writes the solver input and starts the result file as SOLVE (with values) or MESH does.
    int write(const std::optional<SolveValues>& values = std::nullopt) {
        return writeSolverInput(mesh_solve::solverInputSource(*explorer), values);
    }
    // SOLVE with `values` must refuse with one message that `message` matches, before the input
    // (`inputBefore`) or the result file (`resultBefore`) is touched.
    void expectRefused(const SolveValues& values, const ::testing::Matcher<std::string>& message,
                       const std::string& inputBefore, const std::string& resultBefore) {
        prompts->clearMessages();
        EXPECT_EQ(write(values), 1);
        EXPECT_THAT(prompts->messageTexts(), ElementsAre(message));
        EXPECT_EQ(input(), inputBefore);
        EXPECT_EQ(result(), resultBefore);
    }

    std::string folder;
};

TEST_F(SolverInput, TypicalMechanicalLoadcase) {
    add("Bracket:0", kKindLoadcase);
    add("steel: 210000,0.3,7.85e-09,1.2e-05", kKindMaterial, key(0));
    add("face;pressure=5", kKindAction, key(2));
    add("face;fix,6=XYZ", kKindReaction, key(0));
    add("face:el_size=2.5", kKindMeshSize, key(1));
    add("edge:el_size=1", kKindMeshSize, edge(0));
    add("vertex:el_size=0.5", kKindMeshSize, vertex(6));
    explorer->document().replaceSectionEntry("1:10 1 0.5 0.3 1 3 3 3 3 2 0", kKindMesherParameters, false);
    ASSERT_EQ(write(), 0);
    EXPECT_EQ(input(), head("0.001 mm scale=1 nod=10 elem=0 ana=0") +
                           "TABLES\nMSET\n 10 1 0.5 0.3 1 3 3 3 3 2 0\n"
                           "MATERIALS\n1  210000,0.3,7.85e-09,1.2e-05\n"
                           "ESIZE\nbos 2 2.500000\neos 1 1.000000\npxs 10,20,30 0.500000\n"
                           "LOADS\nbol 3 1 5\n"
                           "RESTRAINTS\nbor 1 0 0 0\n"
                           "CONSTRAINTS\n");
}

TEST_F(SolverInput, SecondBodyContinuesTheNumbering) {
    addSecondBody();
    auto& second = part.body(1);
    explorer->document().addEntry(second.key(), second.face(0).key(), "face;fix,6=XYZ", kKindReaction);
    explorer->document().addEntry(second.key(), second.edge(8).key(), "edge;fix,0=X", kKindReaction);
    explorer->document().addEntry(second.key(), second.vertex(2).key(), "point;fix,2=Z", kKindReaction);
    explorer->document().addEntry(second.key(), second.face(1).key(), "alu: 70000,0.33", kKindMaterial);
    ASSERT_EQ(write(), 0);
    const std::string text = input();
    EXPECT_NE(text.find("MATERIALS\n2  70000,0.33\n"), std::string::npos) << text;
    // An edge by its two faces: both numbers count the first body's six faces.
    EXPECT_NE(text.find("RESTRAINTS\nbor 7 0 0 0\nefr 9 11 0 1 1\npor 11 1 1 0\n"), std::string::npos)
        << text;
    EXPECT_EQ(result(), "MESHFILE\n" + folder + "/Bracket.meb\nBODIES 2\n 1 6 12 8\n 2 12 24 16\nEND\n");
}

TEST_F(SolverInput, ThermalLoadsAndWholeModelActions) {
    add("face;heat=100", kKindAction, key(0));
    add("face;convection=25, 20", kKindAction, key(1));
    add("body;heat generation=tabl1", kKindAction, key(2));
    add("accel=0, -9810, 0", kKindAction, key(3));
    add("thermal=Hot", kKindAction, key(4));
    add("vertex;force=1, 2, 3", kKindAction, vertex(5));
    add("edge;load=4, 0, 0", kKindAction, edge(3));
    part.setUnits(host::kUnitM, host::kUnitMm);
    part.addDesignPoint({1, 2, 3});
    add("point<1>;force=5,6,7", kKindAction);
    show();  // units are taken when the explorer shows
    ASSERT_EQ(write(), 0);
    EXPECT_EQ(input(), head("0.001 mm scale=1000 nod=10 elem=0 ana=0") +
                           "TABLES\nMSET\nMATERIALS\nESIZE\nLOADS\n"
                           "bol 1 0 100\nbol 2 2 25, 20\nal tabl1\nal 0, -9810, 0\nt " +
                           folder +
                           "/Hot.out\npxf 10000,0,0 1, 2, 3\nefl 1 5 0 4, 0, 0\npxf 1000,2000,3000 5,6,7\n"
                           "RESTRAINTS\nCONSTRAINTS\n");
}

// A fluid flow loadcase: the fluid's five values, a velocity inlet (load code 3), a pressure
// opening, gravity, a no-slip and a slip wall, and the values of incompressible flow. Heat entries
// added later are left out of that flow (and it says so), and written in the T sections when the
// flow carries heat (multiphysics, initial temperature in SOLVE row 6).
TEST_F(SolverInput, FluidFlowLoadcaseWithAndWithoutHeat) {
    add("Flow:8", kKindLoadcase);
    add("Water: 9.982e-07,1.002e-09,0.000598,4182,0.000207", kKindMaterial, key(0));
    add("face;velocity=0, 0, -250*t", kKindAction, key(4));
    add("face;pressure=0", kKindAction, key(5));
    add("accel=0, -9810, 0", kKindAction, key(0));
    add("face;fix,6=XYZ", kKindReaction, key(1));
    add("face;fix,0=X", kKindReaction, key(2));
    explorer->document().setAnalysisType(8);
    explorer->document().setSolveIndex(8);
    ASSERT_EQ(write(SolveValues{1e-06, 25, 20, 0.05, 2}), 0);
    const std::string flow =
        "MATERIALS\n1  9.982e-07,1.002e-09,0.000598,4182,0.000207\nESIZE\n"
        "LOADS\nbol 5 3 0, 0, -250*t\nbol 6 1 0\nal 0, -9810, 0\n"
        "RESTRAINTS\nbor 2 0 0 0\nbor 3 0 1 1\nCONSTRAINTS\n";
    const std::string isothermal = head("0.001 mm scale=1 nod=10 elem=0 ana=8 25 0.05 20") +
                                   "SOLVE\n25,20,0.05,2,0,1e-06\nTABLES\nMSET\n" + flow;
    EXPECT_EQ(input(), isothermal);
    EXPECT_TRUE(prompts->messageTexts().empty());

    add("face;heat=0.1", kKindAction, key(3));
    add("face;convection=2e-05, 20", kKindAction, key(2));
    add("body;heat generation=1e-06", kKindAction, key(0));
    add("face;temperature=60", kKindReaction, key(1));
    ASSERT_EQ(write(SolveValues{1e-06, 25, 20, 0.05, 2}), 0);
    EXPECT_EQ(input(), isothermal);
    ASSERT_EQ(prompts->messageTexts().size(), 1U);
    EXPECT_NE(prompts->messageTexts()[0].find("are left out"), std::string::npos);

    explorer->document().setSolveIndex(10);
    ASSERT_EQ(write(SolveValues{1e-06, 25, 0, 0, 0, 20}), 0);
    EXPECT_EQ(input(), head("0.001 mm scale=1 nod=10 elem=0 ana=10 25 0 0") +
                           "SOLVE\n25,0,0,0,20,1e-06\nTABLES\nMSET\n" + flow +
                           "TLOADS\nbol 4 0 0.1\nbol 3 2 2e-05, 20\nal 1e-06\nTRESTRAINTS\nbor 2 temp 60\n");
    EXPECT_EQ(prompts->messageTexts().size(), 1U);
}

// A body of dynamic viscosity 0 is a solid: a flow that carries heat writes its line as it stands
// (a table name in its place is a varying viscosity, a fluid); a flow without heat, or a flow with
// heat and no fluid body, is refused before the result file or the input is touched.
TEST_F(SolverInput, SolidBodiesAreTakenOnlyByAFlowThatCarriesHeat) {
    addSecondBody();
    auto& fluid = part.body(1);
    add("Flow:8", kKindLoadcase);
    add("Copper: 8.89e-06, 0.000 ,0.391,385,0", kKindMaterial, key(0));
    explorer->document().addEntry(fluid.key(), fluid.face(0).key(), "Oil: 8.6e-07,tabl1,0.00013,1880,0.0007",
                                  kKindMaterial);
    explorer->document().setAnalysisType(8);
    explorer->document().setSolveIndex(10);
    ASSERT_EQ(write(SolveValues{1e-06, 25, 0, 0, 0, 20}), 0);
    EXPECT_TRUE(prompts->messageTexts().empty());
    const std::string heated = input();
    EXPECT_NE(
        heated.find("MATERIALS\n1  8.89e-06, 0.000 ,0.391,385,0\n2  8.6e-07,tabl1,0.00013,1880,0.0007\n"),
        std::string::npos)
        << heated;

    const std::string results = result();
    explorer->document().setSolveIndex(8);
    expectRefused(
        {1e-06, 25},
        AllOf(StartsWith("Copper: 8.89e-06, 0.000 ,0.391,385,0\nA body of dynamic viscosity 0 is a solid"),
              HasSubstr("solved by \"multiphysics\"")),
        heated, results);

    explorer->document().removeKind(kKindMaterial);
    add("Copper: 8.89e-06,0,0.391,385,0", kKindMaterial, key(0));
    explorer->document().addEntry(fluid.key(), fluid.face(0).key(), "Steel: 7.85e-06,-0,0.0533,440,0",
                                  kKindMaterial);
    explorer->document().setSolveIndex(10);
    expectRefused({1e-06, 25, 0, 0, 0, 20}, HasSubstr("needs at least one fluid body"), heated, results);
}

// A gas: the seven values, an inlet at total pressure and temperature (load code 4), an outlet, a
// velocity inlet held at a temperature (in TRESTRAINTS, as a flow with heat holds it), a wall, the
// initial state over the whole model ("il"), and the six rows. SOLVE refuses, before the result file
// or the input is touched, a material without the gas values or of no gas, named by its body (a gas
// of viscosity 0 is inviscid, not a solid), and a gas with nothing on its faces. Incompressible flow
// writes the gas's lines as they are, for its solver to refuse by name.
TEST_F(SolverInput, CompressibleFlowLoadcaseAndWhatSolveRefuses) {
    addSecondBody();
    auto& second = part.body(1);
    add("Nozzle:8", kKindLoadcase);
    add("Air: 1.204e-09,1.82e-11,2.57e-05,1005,0.00341,1.4,287.05", kKindMaterial, key(0));
    add("face;total pressure=0.2, 20", kKindAction, key(0));
    add("face;pressure=0.1", kKindAction, key(1));
    add("face;velocity=1e5, 0, 0", kKindAction, key(2));
    add("body;initial state=x<500 ? 0.1 : 0.01, 20", kKindAction, key(3));
    add("face;fix,6=XYZ", kKindReaction, key(3));
    add("face;temperature=20", kKindReaction, key(2));
    explorer->document().setAnalysisType(8);
    explorer->document().setSolveIndex(9);
    ASSERT_EQ(write(SolveValues{1e-06, 2000, 100, 1e-05, 10, 0.8}), 0);
    EXPECT_TRUE(prompts->messageTexts().empty());
    const std::string gas = input();
    EXPECT_EQ(gas, head("0.001 mm scale=1 nod=10 elem=0 ana=9 2000 1e-05 100") +
                       "SOLVE\n2000,100,1e-05,10,0.8,1e-06\nTABLES\nMSET\n"
                       "MATERIALS\n1  1.204e-09,1.82e-11,2.57e-05,1005,0.00341,1.4,287.05\nESIZE\n"
                       "LOADS\nbol 1 4 0.2, 20\nbol 2 1 0.1\nbol 3 3 1e5, 0, 0\nil x<500 ? 0.1 : 0.01, 20\n"
                       "RESTRAINTS\nbor 4 0 0 0\nCONSTRAINTS\nTLOADS\nTRESTRAINTS\nbor 3 temp 20\n");
    const std::string results = result();

    const struct {
        const char* material;  // of the second body
        const char* message;
    } refused[] = {
        {"Water: 9.982e-07,1.002e-09,0.000598,4182,0.000207",
         "The material of body 2 has no gas values (ratio of specific heats, gas constant): apply a gas "
         "from the Materials dialog of this Fluid flow loadcase in its place"},
        {"Water: 9.982e-07,1.002e-09,0.000598,4182,0.000207,0,0",
         "body 2 is not a gas: its ratio of specific heats must be above 1 and its gas constant above 0"},
        {"Odd: 1e-09,0,0,1005,0, 1.0 ,287",
         "body 2 is not a gas: its ratio of specific heats must be above 1 and its gas constant above 0"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.material);
        explorer->document().replaceEntityEntry(second.key(), second.face(0).key(), "", r.material,
                                                kKindMaterial);
        expectRefused({1e-06}, r.message, gas, results);
    }
    // An inviscid gas (and a gas constant in a table) is a gas.
    prompts->clearMessages();
    explorer->document().replaceEntityEntry(second.key(), second.face(0).key(), "",
                                            "Air (inviscid): 1.204e-09,0,0,1005,0.00341,1.4,tabm6",
                                            kKindMaterial);
    EXPECT_EQ(write(SolveValues{1e-06}), 0);
    EXPECT_TRUE(prompts->messageTexts().empty());
    EXPECT_NE(input().find("\n2  1.204e-09,0,0,1005,0.00341,1.4,tabm6\n"), std::string::npos) << input();

    const std::string inviscid = input();
    explorer->document().removeKind(kKindAction);
    explorer->document().removeKind(kKindReaction);
    add("body;initial state=0.1, 20", kKindAction, key(3));
    expectRefused({1e-06},
                  "A compressible flow needs at least one boundary face: hold its walls in the Reactions "
                  "dialog, or give faces an inlet, an outlet or a far field in the Actions dialog",
                  inviscid, results);

    prompts->clearMessages();
    add("face;total pressure=0.2, 20", kKindAction, key(0));
    explorer->document().removeKind(kKindMaterial);
    add("Air: 1.204e-09,1.82e-11,2.57e-05,1005,0.00341,1.4,287.05", kKindMaterial, key(0));
    explorer->document().setSolveIndex(8);
    ASSERT_EQ(write(SolveValues{1e-06, 25}), 0);
    EXPECT_NE(input().find("LOADS\nil 0.1, 20\nbol 1 4 0.2, 20\nRESTRAINTS\n"), std::string::npos) << input();
}

// A Multiphysics loadcase: the mechanical lines where a mechanical loadcase writes them, the thermal
// ones (k, ky, kz, the shared density, c; heat and convection; a held temperature) in the T sections.
TEST_F(SolverInput, MultiphysicsLoadcaseWritesItsThermalLinesInTheirOwnSections) {
    add("Hot:10", kKindLoadcase);
    add("steel: 210000,0.3,1.2e-05,7.85e-09,0,0,0,0,0,0,0,0,0,0.045,0.04,0.05,460", kKindMaterial, key(0));
    add("face;pressure=5", kKindAction, key(2));
    add("face;heat=0.1", kKindAction, key(3));
    add("face;convection=2e-05, 20", kKindAction, key(4));
    add("body;heat generation=1e-06", kKindAction, key(4));
    add("accel=0, -9810, 0", kKindAction, key(0));
    add("face;fix,6=XYZ", kKindReaction, key(0));
    add("face;temperature=100", kKindReaction, key(0));
    explorer->document().setAnalysisType(10);
    explorer->document().setSolveIndex(11);
    ASSERT_EQ(write(SolveValues{1e-06, 20, 0, 0, 0}), 0);
    EXPECT_EQ(input(), head("0.001 mm scale=1 nod=10 elem=0 ana=11 20 0 0") +
                           "SOLVE\n20,0,0,0,0,1e-06\nTABLES\nMSET\n"
                           "MATERIALS\n1  210000,0.3,1.2e-05,7.85e-09,0,0,0,0,0,0,0,0,0\nESIZE\n"
                           "LOADS\nbol 3 1 5\nal 0, -9810, 0\n"
                           "RESTRAINTS\nbor 1 0 0 0\nCONSTRAINTS\n"
                           "TMATERIALS\n1  0.045,0.04,0.05,7.85e-09,460\n"
                           "TLOADS\nbol 4 0 0.1\nbol 5 2 2e-05, 20\nal 1e-06\n"
                           "TRESTRAINTS\nbor 1 temp 100\n");
    EXPECT_TRUE(prompts->messageTexts().empty());

    // A material of another loadcase's class lacks the thermal values: SOLVE is refused, naming it.
    const std::string written = input(), results = result();
    explorer->document().removeKind(kKindMaterial);
    add("steel: 210000,0.3,1.2e-05,7.85e-09", kKindMaterial, key(0));
    expectRefused({}, HasSubstr("has no thermal values"), written, results);
}

// A spin on a face with no axis cannot be written: it is reported, not dropped without a word.
TEST_F(SolverInput, SpinUsesTheAxisOfARevolvedFaceAndReportsAnyOther) {
    part.setDocument(
        testhost::partOf({testhost::box({0, 0, 0}, {10, 20, 30}), testhost::cylinder({0, 0, 0}, 5, 40)}));
    show();
    auto& shaft = part.body(1);
    explorer->document().addEntry(shaft.key(), shaft.face(0).key(), "spin_speed=314", kKindAction);
    explorer->document().addEntry(shaft.key(), shaft.face(1).key(), "spin_speed=100", kKindAction);
    ASSERT_EQ(write(), 0);
    EXPECT_NE(input().find("LOADS\ncx 0,0,0 0 0 1 314\nRESTRAINTS"), std::string::npos) << input();
    EXPECT_EQ(
        prompts->messageTexts(),
        std::vector<std::string>{"spin_speed=100\nA spin takes its axis from its face, and this one is not a "
                                 "surface of revolution: delete it and apply the spin to a cylindrical, "
                                 "conical or revolved face"});
}

// Entries and the lines they give, with the message each reports: a material description with a
// colon keeps the values whole; the five interactions; "face;" texts stored on edges and vertices
// before these had texts of their own act where they can, a pressure on an edge is reported as
// what it is; an entity the part no longer has is reported and skipped.
TEST_F(SolverInput, EntriesGiveTheirLinesOrAreReported) {
    struct Added {
        std::string text;
        EntryKind kind;
        host::KeyBytes entity;
    };
    const struct {
        std::vector<Added> entries;
        std::string lines, message;
    } cases[] = {
        {{{"Steel: S235: 210000,0.3,7.85e-09,1.2e-05", kKindMaterial, key(0)}},
         "MATERIALS\n1  210000,0.3,7.85e-09,1.2e-05\nESIZE",
         ""},
        {{{"face;disp_to_plane=0,0,1,0.5", kKindInteraction, key(0)},
          {"face;normal_disp=0.1", kKindInteraction, key(1)},
          {"face;gap_to_plane=1,0,0,0.2", kKindInteraction, key(2)},
          {"face;normal_gap=0.3", kKindInteraction, key(1)},
          {"face;interface", kKindInteraction, key(5)}},
         "CONSTRAINTS\nboc 1 0,0,1,0.5\nbocn 2 0.1\nbog 3 1,0,0,0.2\nbogn 2 0.3\nboi 6\n",
         ""},
        {{{"face;load=0, 0, -10", kKindAction, edge(3)},
          {"face;heat=2", kKindAction, vertex(5)},
          {"face;pressure=1", kKindAction, edge(0)}},
         "LOADS\nefl 1 5 0 0, 0, -10\npxf 10,0,0 2\nRESTRAINTS",
         "face;pressure=1\nacts on faces but was applied to an edge or a vertex: delete it and apply it to "
         "faces"},
        {{{"face;fix,6=XYZ", kKindReaction, host::KeyBytes{9, 9, 9}},
          {"face;fix,0=X", kKindReaction, key(4)}},
         "RESTRAINTS\nbor 5 0 1 1\nCONSTRAINTS",
         "face;fix,6=XYZ\nAttribute applied to obsolete entity; you must delete it!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        explorer->document().clear();
        prompts->clearMessages();
        for (const Added& e : c.entries) add(e.text, e.kind, e.entity);
        ASSERT_EQ(write(), 0);
        EXPECT_NE(input().find(c.lines), std::string::npos) << input();
        EXPECT_EQ(prompts->messageTexts(),
                  c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
    }
}

TEST_F(SolverInput, EverySolveIndexWritesItsSections) {
    add("steel: 1,2", kKindMaterial, key(0));
    add("tabl1, 2, 0, 1, 0, 5", kKindTable);
    const SolveValues v{9, 1e-06, 3, 100, 1, 0, 0.25};
    const char* expected[] = {
        "ana=0 1e-06 100 3\nMODEL",
        "ana=-1 1e-06 100 3\n",
        "SOLVE\n1e-06,3,100,1,0,9\nGSTEP\nTABLES",
        "SOLVE\n1e-06,3,100,1,0,9\nBUCKLE\nTABLES",
        "ana=3 1e-06 100 3\n",
        "SOLVE\n1e-06,3,100,1,0,9\nDYNAMIC\n 0 0.25\nTABLES",
        "ana=1 1e-06 100 3\n",
        "SOLVE\n1e-06,3,100,1,0,9\nPRINT\n 3\nDYNAMIC\n 0 0.25\nTABLES\n tabl1, 2, 0, 1, 0, 5\nMSET",
        // The fluid analyses keep their own codes; beyond them the Fluid flow code.
        "ana=8 1e-06 100 3\n",
        "ana=9 1e-06 100 3\n",
        "ana=10 1e-06 100 3\n",
        // The thermal stress analyses carry their rows on the SOLVE line only.
        "ana=11 1e-06 100 3\nMODEL",
        "ana=12 1e-06 100 3\nMODEL",
        "SOLVE\n1e-06,3,100,1,0,9\nTABLES",
        "ana=14 1e-06 100 3\nMODEL",
        "ana=8 1e-06 100 3\n",
    };
    for (int index = 0; index <= 15; ++index) {
        writeFile(folder + "/Bracket.txt", "HEADER\nx\n");
        explorer->document().setSolveIndex(index);
        ASSERT_EQ(write(v), 0) << index;
        EXPECT_NE(input().find(expected[index]), std::string::npos) << index << "\n" << input();
    }
    explorer->document().setSolveIndex(1);
    write(v);
    EXPECT_NE(input().find("TSTEP\n 1 3, 100, 1 1\n"), std::string::npos) << "s5 of 0 becomes 1\n" << input();
    explorer->document().setSolveIndex(0);
    write(v);
    EXPECT_EQ(input().find("TSTEP"), std::string::npos);
}

// A solve starts its result file beside the old one, which keeps the last good results until the
// solver has new ones; a mesh run starts the result file itself (old results are of another mesh).
TEST_F(SolverInput, ASolveStartsItsResultFileAsideAndKeepsTheLastResults) {
    add("steel: 210000,0.3,7.85e-09,1.2e-05", kKindMaterial, key(0));
    ASSERT_EQ(write(), 0);
    const std::string started = "MESHFILE\n" + folder + "/Bracket.meb\nBODIES 1\n 1 6 12 8\nEND\n";
    EXPECT_EQ(result(), started);
    const std::string good = started + "DISP 1\n1 0.5 0 0\n\n";
    writeFile(folder + "/Bracket.out", good);
    ASSERT_EQ(write(SolveValues{0, 1e-06}), 0);
    EXPECT_EQ(result(), good);
    EXPECT_EQ(readFile(folder + "/Bracket.out.head"), started);
}

TEST_F(SolverInput, UnreadableBodiesStopAfterTheResultFileIsStarted) {
    host.failNext("IQDPartSession::GetBodies");
    EXPECT_EQ(write(), 1);
    EXPECT_EQ(prompts->messageTexts(),
              std::vector<std::string>{"bug in Hollent api: IQDPartSessionPtr.GetBodies()"});
    EXPECT_EQ(result(), "MESHFILE\n" + folder + "/Bracket.meb\n");
}

}  // namespace
