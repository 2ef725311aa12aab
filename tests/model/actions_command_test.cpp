// The actions dialog: the text each type builds from its value edits, units, the entries of picked
// geometry and design points, tables, and the file.
#include <gtest/gtest.h>

#include "addon_base/library_state.h"
#include "model/loads_dialog.h"
#include "model/table_edit_dlg.h"
#include "model_command_fixture.h"

namespace {

using L = CLoads;
using Strings = std::vector<std::string>;

class Actions : public ModelCommandTest {
  protected:
    ui::Dialog& open(bool thermal = false) {
        if (thermal) explorer->document().setAnalysisType(6);
        return start(addon::kMenuActions);
    }
    ui::Dialog& openFluid() {
        explorer->document().setAnalysisType(8);
        return start(addon::kMenuActions);
    }
    static Strings listOf(const ui::Dialog& d) {
        Strings out;
        for (int i = 0; i < d.itemCount(L::kTypeList); ++i) out.push_back(d.itemText(L::kTypeList, i));
        return out;
    }
    // Types `typed` into the value boxes the type shows, blanking the shown boxes it does not fill.
    void values(ui::Dialog& d, const Strings& typed) {
        const int ids[] = {L::kValue1, L::kValue2, L::kValue3};
        for (std::size_t i = 0; i < 3; ++i)
            if (i == 0 || d.isVisible(ids[i])) d.userType(ids[i], i < typed.size() ? typed[i] : "");
    }
    // Chooses type `code` (unless -1), types `typed` (unless empty), picks `picked` (unless none:
    // the last picks stay) and presses APPLY.
    template <typename... Picked>
    void apply(ui::Dialog& d, int code, const Strings& typed, Picked&... picked) {
        if (code >= 0) d.userChoose(L::kTypeList, code);
        if (!typed.empty()) values(d, typed);
        if constexpr (sizeof...(Picked) > 0) picks().select(picked...);
        d.userClick(L::kApply);
    }
    // Applies each type of `codes` in turn, each on a face of its own.
    void applyEach(ui::Dialog& d, std::initializer_list<int> codes) {
        std::size_t face = 0;
        for (int code : codes) apply(d, code, {}, box().face(face++));
    }
};

TEST_F(Actions, UnitLabelsFollowTheDocumentsUnitsAndCentimetresKeepTheLastLabel) {
    auto& d = open();
    addon::library().unitText = "in";
    d.userChoose(L::kTypeList, 1);
    EXPECT_EQ(d.text(L::kUnitLabel), "(lbf/in2)");
    addon::library().unitText = "cm";
    d.userChoose(L::kTypeList, 0);
    EXPECT_EQ(d.text(L::kUnitLabel), "(lbf/in2)") << "cm has no labels: the previous one stays";
}

TEST_F(Actions, APointForceOnTwoVerticesWritesTheThreeValues) {
    auto& d = open();
    apply(d, 0, {"10", "0", "-5"}, box().vertex(0), box().vertex(3));
    EXPECT_EQ(picks().filters(), std::vector<std::int32_t>{0});
    EXPECT_EQ(readFile(explorer->document().loadcaseFilePath()),
              expectedFileBytes({{bodyKey(), box().vertex(0).key(), "vertex;force=10, 0, -5", 3},
                                 {bodyKey(), box().vertex(3).key(), "vertex;force=10, 0, -5", 3}}));
    EXPECT_TRUE(explorer->document().isChanged());
}

// Hidden edits keep their texts and are read again by the three-value types; a thermal loadcase
// offers its own types.
TEST_F(Actions, EachTypeBuildsItsTextFromTheValuesItReads) {
    auto& d = open();
    EXPECT_FALSE(d.isVisible(L::kValue1)) << "no value box without its label, before a type is chosen";
    d.userChoose(L::kTypeList, 1);
    EXPECT_TRUE(d.isVisible(L::kValue1));
    values(d, {"1", "2", "3*t"});
    applyEach(d, {1, 2, 3, 5});
    auto& t = open(true);
    t.userChoose(L::kTypeList, 1);
    values(t, {"25", "20"});
    applyEach(t, {1, 0, 2});
    EXPECT_EQ(texts(model::kKindAction),
              (Strings{"face;load=1, 2, 3*t", "face;pressure=1", "accel=1, 2, 3*t", "thermal=1",
                       "face;convection=25, 20", "face;heat=25", "body;heat generation=25"}));
    EXPECT_TRUE(prompts->messageTexts().empty());
}

// Each box the type reads must hold a number, a table of the loadcase or a formula; the message
// names the box and nothing is stored.
TEST_F(Actions, ValuesAreCutTo59CharactersAndABoxTheSolverCannotReadIsRefused) {
    auto& d = open();
    d.userChoose(L::kTypeList, 0);
    picks().select(box().vertex(1));
    for (const auto& [second, third] : std::vector<std::pair<std::string, std::string>>{
             {"", "0"}, {"0", "abc"}, {"0", "tabl5"}, {"(x", "0"}, {"2x", "0"}, {"1,5", "0"}}) {
        apply(d, -1, {"1", second, third});
    }
    EXPECT_EQ(
        prompts->messageTexts(),
        (Strings{"Fy: it is empty: type a number, a table name or a formula",
                 "Fz: \"abc\" is not a number, a table name or a formula (\"abc\" is neither a table nor "
                 "one of the variables x, y, z, t, T)",
                 "Fz: \"tabl5\" is not a table of this loadcase (MAKE TABLE makes one)",
                 "Fy: \"(x\" leaves a bracket open", "Fy: \"2x\" is not a number, a table name or a formula",
                 "Fy: \"1,5\" holds two values: a box takes one (decimals are written with a point)"}));
    EXPECT_TRUE(explorer->document().entries().empty());
    apply(d, -1, {std::string(70, '7'), " -1e-3 ", "sin(x/10)*max(y, 2)"});
    EXPECT_EQ(texts(model::kKindAction),
              Strings{"vertex;force=" + std::string(59, '7') + ",  -1e-3 , sin(x/10)*max(y, 2)"});
    auto& t = open(true);
    apply(t, 1, {"25", "hot"}, box().face(0));
    ASSERT_EQ(prompts->messageTexts().size(), 7u);
    EXPECT_EQ(prompts->messageTexts().back(),
              "temperature: \"hot\" is not a number, a table name or a formula (\"hot\" is neither a table "
              "nor one of the variables x, y, z, t, T)");
}

// What cannot act on the picked sort refuses the whole APPLY and says what to pick; a heat acts at
// a design point. (A pressure or a heat flux refused on an edge, a load along an edge and a heat
// at a vertex: samples/beam_loads.run.)
TEST_F(Actions, PicksOfTheWrongSortAreRefusedAndAHeatActsAtADesignPoint) {
    auto& point = part.addDesignPoint({1, 2, 3});
    auto& d = open();
    apply(d, 1, {"0", "0", "-10"}, box().vertex(0));
    apply(d, 0, {}, box().vertex(2), box().edge(0));
    auto& t = open(true);
    apply(t, 0, {"2.5"}, point);
    apply(t, 1, {"2.5", "20"}, box().vertex(1));
    EXPECT_EQ(texts(model::kKindAction), Strings{"point<1>;heat=2.5"});
    EXPECT_EQ(prompts->messageTexts(),
              (Strings{"\"face: distributed loads x,y,z\" cannot act on a point: select faces or edges",
                       "\"point: force x,y,z\" cannot act on an edge: select points",
                       "\"face: convection\" cannot act on a point: select faces"}));
}

// The spin's axis is the picked face's: a cylinder gives one (a flat face is refused:
// samples/beam_loads.run).
TEST_F(Actions, ASpinOnACylinderIsStored) {
    part.setDocument(
        testhost::partOf({testhost::box({0, 0, 0}, {10, 20, 30}), testhost::cylinder({50, 0, 0}, 5, 40)}));
    show();
    auto& d = open();
    apply(d, 4, {"314"}, part.body(1).face(0));
    EXPECT_EQ(texts(model::kKindAction), Strings{"spin_speed=314"});
}

// A face has one convection: applying another replaces it, in the list, the tree and the file.
TEST_F(Actions, ASecondConvectionOnAFaceReplacesTheFirst) {
    auto& t = open(true);
    apply(t, 1, {"25", "20"}, box().face(0), box().face(1));
    apply(t, -1, {"40", "20"}, box().face(0));
    apply(t, 0, {"7"});
    EXPECT_EQ(texts(model::kKindAction),
              (Strings{"face;convection=25, 20", "face;convection=40, 20", "face;heat=7"}));
    EXPECT_EQ(lines(model::kKindAction),
              (Strings{"face;convection=25, 20", "face;convection=40, 20", "face;heat=7"}));
    apply(t, 1, {"40", "20"}, box().face(1));
    EXPECT_EQ(lines(model::kKindAction), (Strings{"face;convection=40, 20", "face;heat=7"}))
        << "the old text stands for no face any more";
    EXPECT_EQ(readFile(explorer->document().loadcaseFilePath()),
              expectedFileBytes({{bodyKey(), key(0), "face;convection=40, 20", 3},
                                 {bodyKey(), key(0), "face;heat=7", 3},
                                 {bodyKey(), key(1), "face;convection=40, 20", 3}}));
}

// A fluid loadcase takes a velocity (three values) or a pressure (one) on faces and an
// acceleration of the body, then the thermal actions of a flow that carries heat; a velocity on an
// edge or a design point, and a heat flux on a point (the flow places heat on faces only), are
// refused.
TEST_F(Actions, AFluidLoadcaseTakesTheFlowActionsThenTheThermalOnesThenTheGass) {
    auto& point = part.addDesignPoint({1, 2, 3});
    auto& f = openFluid();
    EXPECT_EQ(f.windowText(), "Fluid Loads");
    EXPECT_EQ(listOf(f),
              (Strings{"face: velocity vx,vy,vz", "face: pressure", "body: accelerations ax,ay,az",
                       "face: heat flux", "face: convection", "body: internal heat",
                       "face: total pressure, temperature", "body: initial pressure, temperature"}));
    f.userChoose(L::kTypeList, 0);
    EXPECT_EQ(f.text(L::kValuePrompt), "2. Enter values, table names or equations && select faces");
    EXPECT_EQ(f.text(L::kValueLabel), "vx,vy,vz=");
    EXPECT_EQ(f.text(L::kUnitLabel), "(mm/s)");
    apply(f, 0, {"0", "0", "-250*t"}, box().face(0), box().face(1));
    apply(f, 1, {"0"}, box().face(2));
    EXPECT_FALSE(f.isVisible(L::kValue2));
    EXPECT_EQ(f.text(L::kUnitLabel), "(N/mm2)");
    apply(f, 2, {"0", "-9810", "0"}, box().face(3));
    apply(f, 0, {}, box().edge(0));
    apply(f, 0, {}, point);
    apply(f, 3, {"0.5"}, box().face(4));
    apply(f, 3, {"0.5"}, box().vertex(0));
    apply(f, 4, {"1e-05", "20"}, box().face(5));
    // A gas's inlet at a total pressure and temperature, and its initial state, a formula of x.
    f.userChoose(L::kTypeList, 6);
    EXPECT_EQ(f.text(L::kValueLabel), "p0, T0=");
    EXPECT_EQ(f.text(L::kUnitLabel), "(N/mm2, C)");
    EXPECT_TRUE(f.isVisible(L::kValue2));
    EXPECT_FALSE(f.isVisible(L::kValue3));
    apply(f, 6, {"0.2", "20"}, box().face(0));
    apply(f, 6, {"0.2", "20"}, box().edge(1));
    apply(f, 7, {"x<500 ? 0.1 : 0.01", "20"}, box().face(2));
    EXPECT_EQ(f.text(L::kValuePrompt), "2. Enter values, table names or equations && select face on body");
    EXPECT_EQ(readFile(explorer->document().loadcaseFilePath()),
              expectedFileBytes({{bodyKey(), key(0), "face;velocity=0, 0, -250*t", 3},
                                 {bodyKey(), key(1), "face;velocity=0, 0, -250*t", 3},
                                 {bodyKey(), key(2), "face;pressure=0", 3},
                                 {bodyKey(), key(3), "accel=0, -9810, 0", 3},
                                 {bodyKey(), key(4), "face;heat=0.5", 3},
                                 {bodyKey(), key(5), "face;convection=1e-05, 20", 3},
                                 {bodyKey(), key(0), "face;total pressure=0.2, 20", 3},
                                 {bodyKey(), key(2), "body;initial state=x<500 ? 0.1 : 0.01, 20", 3}}));
    EXPECT_EQ(prompts->messageTexts(),
              (Strings{"\"face: velocity vx,vy,vz\" cannot act on an edge: select faces",
                       "\"face: velocity vx,vy,vz\" cannot act on a point: select faces",
                       "\"face: heat flux\" cannot act on a point: select faces",
                       "\"face: total pressure, temperature\" cannot act on an edge: select faces"}));
    addon::library().unitText = "in";
    f.userChoose(L::kTypeList, 0);
    EXPECT_EQ(f.text(L::kUnitLabel), "(in/s)");
    f.userChoose(L::kTypeList, 7);
    EXPECT_EQ(f.text(L::kUnitLabel), "(lbf/in2, F)");
}

// A Multiphysics loadcase lists the mechanical actions (its temperatures are its own: no
// "body: temperatures") and then the thermal ones; each keeps its own text, and a design point
// takes a force or a heat by the type chosen.
TEST_F(Actions, AMultiphysicsLoadcaseTakesMechanicalAndThermalActions) {
    auto& point = part.addDesignPoint({1, 2, 3});
    explorer->document().setAnalysisType(10);
    auto& d = start(addon::kMenuActions);
    EXPECT_EQ(d.windowText(), "Multiphysics Loads");
    EXPECT_EQ(listOf(d), (Strings{"point: force x,y,z", "face: distributed loads x,y,z", "face: pressure",
                                  "body: accelerations ax,ay,az", "body: spin speed", "face: heat flux",
                                  "face: convection", "body: internal heat"}));
    apply(d, 2, {"5"}, box().face(0));
    apply(d, 6, {"2e-05", "20"}, box().face(1));
    apply(d, 0, {"1", "2", "3"}, point);
    apply(d, 5, {"0.1"}, point, box().face(2));
    EXPECT_EQ(texts(model::kKindAction),
              (Strings{"face;pressure=5", "face;convection=2e-05, 20", "point<1>;force=1,2,3",
                       "point<1>;heat=0.1", "face;heat=0.1"}));
    EXPECT_TRUE(prompts->messageTexts().empty());
}

TEST_F(Actions, DesignPointsGetAForceOfTheirOwnForTheThreeValueMechanicalTypesOnly) {
    auto& point = part.addDesignPoint({1, 2, 3});
    auto& second = part.addDesignPoint({4, 5, 6});
    auto& d = open();
    apply(d, 3, {"1", "2", "3"}, box().face(0), second);
    apply(d, 2, {}, point);
    // A pressure names a face: on a design point it would be an entry of no entity, reported as
    // obsolete at every later write.
    EXPECT_EQ(texts(model::kKindAction), (Strings{"accel=1, 2, 3", "point<2>;force=1,2,3"}));
    EXPECT_TRUE(explorer->document().entries()[1].entityKey().empty());
    EXPECT_TRUE(explorer->document().entries()[1].bodyKey().empty());
}

TEST_F(Actions, ApplyNeedsATypeAndASelection) {
    auto& d = open();
    picks().select(box().face(0));
    d.userClick(L::kApply);
    EXPECT_EQ(prompts->messageTexts(), Strings{"Select an action type"});
    EXPECT_EQ(host.callCount("IQDSession::get_Selection"), 0) << "the host selection is not even asked";
    prompts->clearMessages();
    picks().clear();
    d.userChoose(L::kTypeList, 0);
    d.userClick(L::kApply);
    d.userChoose(L::kTypeList, 2);
    d.userClick(L::kApply);
    EXPECT_EQ(prompts->messageTexts(), (Strings{"Select a point", "Select a face"}));
    EXPECT_TRUE(explorer->document().entries().empty());
    EXPECT_FALSE(explorer->document().isChanged());
}

// MAKE TABLE in the actions dialog.
class ActionTables : public Actions {
  protected:
    void makeTable(ui::Dialog& d, int item, std::vector<std::pair<std::string, std::string>> rows = {}) {
        ModelCommandTest::makeTable(d, L::kMakeTable, item, std::move(rows));
    }
};

TEST_F(ActionTables, AForceZTableNamesTheThirdEditAndTheNextApplyRefersToIt) {
    auto& d = open();
    d.userChoose(L::kTypeList, 0);
    makeTable(d, 2, {{"0", "0"}, {"1", "100"}});
    EXPECT_EQ(d.text(L::kValue3), "tabl2");
    EXPECT_EQ(lines(model::kKindTable), Strings{"tabl2, 2, 0, 1, 0, 100"});
    apply(d, -1, {}, box().vertex(5));
    EXPECT_EQ(readFile(explorer->document().loadcaseFilePath()),
              expectedFileBytes({{{}, {}, "tabl2, 2, 0, 1, 0, 100", 6},
                                 {bodyKey(), box().vertex(5).key(), "vertex;force=0, 0, tabl2", 3}}));
}

// A table made for one load component must name that component's edit, or the load goes wrong;
// a fluid's velocity and acceleration components alike.
TEST_F(ActionTables, EachLoadComponentGoesIntoItsOwnEdit) {
    const int edits[] = {L::kValue1, L::kValue2, L::kValue3, L::kValue1,
                         L::kValue1, L::kValue2, L::kValue3, L::kValue1};
    for (const int components : {8, 7}) {
        auto& d = components == 8 ? open() : openFluid();
        for (int item = 0; item < components; ++item) {
            for (int id : {L::kValue1, L::kValue2, L::kValue3}) d.setText(id, "0");
            makeTable(d, item);
            for (int id : {L::kValue1, L::kValue2, L::kValue3})
                EXPECT_EQ(d.text(id), id == edits[item] ? "tabl" + std::to_string(item) : "0") << item;
        }
    }
    EXPECT_EQ(texts(model::kKindTable).front(), "tabl0, 1, 0, 0") << "the default table: one row of zeros";
    EXPECT_EQ(texts(model::kKindTable).size(), 8u) << "the fluid's default tables are the same texts";
}

// Two tables for one component are two tables: each pressure reaches the solver with its own.
TEST_F(ActionTables, ASecondTableForTheSameComponentGetsANameOfItsOwn) {
    auto& d = open();
    d.userChoose(L::kTypeList, 2);
    for (const char* peak : {"10", "20", "10"}) {
        makeTable(d, 3, {{"0", "0"}, {"1", peak}});
        apply(d, -1, {}, box().face(peak[0] == '1' ? 0 : 1));
    }
    EXPECT_EQ(texts(model::kKindTable), (Strings{"tabl3, 2, 0, 1, 0, 10", "tabl3_2, 2, 0, 1, 0, 20"}));
    EXPECT_EQ(texts(model::kKindAction), (Strings{"face;pressure=tabl3", "face;pressure=tabl3_2"}));
    EXPECT_EQ(d.text(L::kValue1), "tabl3") << "the same cells again are the first table";
}

TEST_F(ActionTables, ThermalComponentsAndLeavingTheEditorWithExit) {
    auto& d = open(true);
    makeTable(d, 2, {{"0", "20"}, {"60", "80"}});
    EXPECT_EQ(d.text(L::kValue2), "tabl2");
    makeTable(d, 3);
    EXPECT_EQ(d.text(L::kValue1), "tabl3");
    makeTable(d, -1);
    EXPECT_EQ(d.text(L::kValue1), "tabl3") << "EXIT changes no field";
    EXPECT_EQ(texts(model::kKindTable), (Strings{"tabl2, 2, 0, 60, 20, 80", "tabl3, 1, 0, 0"}));
    EXPECT_TRUE(prompts->messageTexts().empty());
    // A Multiphysics loadcase lists the thermal components after the mechanical ones.
    explorer->document().setAnalysisType(10);
    auto& m = start(addon::kMenuActions);
    makeTable(m, 10);
    EXPECT_EQ(m.text(L::kValue2), "tabl10") << "fluid temperature";
    // A fluid's gas items follow its thermal ones (held temperature last of them, for no edit).
    auto& f = openFluid();
    for (int id : {L::kValue1, L::kValue2, L::kValue3}) f.setText(id, "0");
    makeTable(f, 11);
    makeTable(f, 13);
    EXPECT_EQ(f.text(L::kValue2), "tabl13") << "total temperature";
    makeTable(f, 14);
    EXPECT_EQ(f.text(L::kValue1), "tabl14") << "initial pressure";
    EXPECT_EQ(f.text(L::kValue3), "0");
}

}  // namespace
