// The actions dialog: types by analysis class, prompts, labels and units, the value edits, the
// entries of picked geometry and design points, and the file.
#include <gtest/gtest.h>

#include "addon_base/library_state.h"
#include "model/action_types.h"
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
    void values(ui::Dialog& d, const std::string& a, const std::string& b = "", const std::string& c = "") {
        d.userType(L::kValue1, a);
        if (d.isVisible(L::kValue2)) d.userType(L::kValue2, b);
        if (d.isVisible(L::kValue3)) d.userType(L::kValue3, c);
    }
    // Which of the three value edits are shown (and enabled, the two always go together).
    std::vector<bool> shown(ui::Dialog& d) const {
        std::vector<bool> out;
        for (int id : {L::kValue2, L::kValue3}) {
            EXPECT_EQ(d.isVisible(id), d.isEnabled(id));
            out.push_back(d.isVisible(id));
        }
        return out;
    }
};

TEST_F(Actions, OpensWithNoTypeChosenAndTheValueEditsHidden) {
    auto& d = open();
    EXPECT_EQ(command->className(), "CLoadsCommand");
    EXPECT_EQ(d.selection(L::kTypeList), -1);
    EXPECT_EQ(d.text(L::kTypePrompt), "1. Select entity && action types");
    for (int id : {L::kValuePrompt, L::kValueLabel, L::kUnitLabel}) EXPECT_EQ(d.text(id), "");
    for (int id : {L::kValue1, L::kValue2, L::kValue3}) EXPECT_EQ(d.text(id), "0");
    EXPECT_EQ(shown(d), (std::vector<bool>{false, false}));
}

// The texts are the rows of model::actionTypes; what is checked here is that the dialog offers
// the rows of the loadcase's class and shows the row chosen, with as many edits as it reads.
TEST_F(Actions, EachClassOffersItsTypesAndChoosingOneShowsItsRow) {
    for (bool thermal : {false, true}) {
        SCOPED_TRACE(thermal ? "thermal" : "mechanical");
        auto& d = open(thermal);
        EXPECT_EQ(d.windowText(), thermal ? "Thermal Loads" : "Mechanical Loads");
        const auto& types = model::actionTypes(thermal);
        ASSERT_EQ(d.itemCount(L::kTypeList), static_cast<int>(types.size()));
        for (int code = 0; code < d.itemCount(L::kTypeList); ++code) {
            SCOPED_TRACE(code);
            const auto& type = types[static_cast<std::size_t>(code)];
            EXPECT_EQ(d.itemText(L::kTypeList, code), type.listText);
            d.userChoose(L::kTypeList, code);
            EXPECT_EQ(d.text(L::kValuePrompt), type.prompt);
            EXPECT_EQ(d.text(L::kValueLabel), type.label);
            EXPECT_EQ(d.text(L::kUnitLabel), type.unitMm);
            EXPECT_EQ(shown(d), (std::vector<bool>{type.valueCount >= 2, type.valueCount >= 3}));
        }
    }
}

TEST_F(Actions, UnitLabelsFollowTheDocumentsUnitsAndCentimetresKeepTheLastLabel) {
    const auto unitOf = [](ui::Dialog& d, const std::string& unit, int code) {
        addon::library().unitText = unit;
        d.userChoose(L::kTypeList, code);
        return d.text(L::kUnitLabel);
    };
    auto& d = open();
    EXPECT_EQ(unitOf(d, "m.", 1), "(N/m2)");
    EXPECT_EQ(unitOf(d, "in", 1), "(lbf/in2)");
    EXPECT_EQ(unitOf(d, "in", 0), "(lbf)");
    EXPECT_EQ(unitOf(d, "in", 3), "(in/s2)");
    EXPECT_EQ(unitOf(d, "cm", 0), "(in/s2)") << "cm has no labels: the previous one stays";
    EXPECT_EQ(unitOf(d, "ft", 4), "(radians/s)") << "spin speed has one label for every unit system";
    auto& t = open(true);
    EXPECT_EQ(unitOf(t, "m.", 0), "W/m2");
    EXPECT_EQ(unitOf(t, "in", 0), "(Btu/(s-in2))");
    EXPECT_EQ(unitOf(t, "m.", 1), "(W/(m2.C), C)");
    EXPECT_EQ(unitOf(t, "in", 1), "(Btu/(s.in2.F), F");
    EXPECT_EQ(unitOf(t, "m.", 2), "(W/m3)");
    EXPECT_EQ(unitOf(t, "in", 2), "(Btu/(s.in3)");
}

TEST_F(Actions, APointForceOnTwoVerticesWritesTheThreeValues) {
    auto& d = open();
    d.userChoose(L::kTypeList, 0);
    values(d, "10", "0", "-5");
    picks().select(box().vertex(0), box().vertex(3));
    d.userClick(L::kApply);
    EXPECT_EQ(texts(model::kKindAction), (Strings{"vertex;force=10, 0, -5", "vertex;force=10, 0, -5"}));
    EXPECT_EQ(picks().filters(), std::vector<std::int32_t>{0});
    EXPECT_EQ(readFile(explorer->document().loadcaseFilePath()),
              expectedFileBytes({{bodyKey(), box().vertex(0).key(), "vertex;force=10, 0, -5", 3},
                                 {bodyKey(), box().vertex(3).key(), "vertex;force=10, 0, -5", 3}}));
    EXPECT_TRUE(explorer->document().isChanged());
}

TEST_F(Actions, EachTypeBuildsItsTextFromTheValuesItReads) {
    auto& d = open();
    d.userChoose(L::kTypeList, 1);
    values(d, "1", "2", "tabl2");
    const struct {
        int code;
        const char* text;
    } mechanical[] = {{1, "face;load=1, 2, tabl2"},
                      {2, "face;pressure=1"},
                      {3, "accel=1, 2, tabl2"},
                      {4, "spin_speed=1"},
                      {5, "thermal=1"}};
    for (const auto& row : mechanical) {
        d.userChoose(L::kTypeList, row.code);
        picks().select(box().face(static_cast<std::size_t>(row.code)));
        d.userClick(L::kApply);
    }
    EXPECT_EQ(texts(model::kKindAction), (Strings{"face;load=1, 2, tabl2", "face;pressure=1",
                                                  "accel=1, 2, tabl2", "spin_speed=1", "thermal=1"}))
        << "hidden edits keep their texts and are read again by the three-value types";
}

TEST_F(Actions, ThermalTypesBuildTheirTexts) {
    auto& d = open(true);
    d.userChoose(L::kTypeList, 1);
    values(d, "25", "20");
    picks().select(box().face(0));
    d.userClick(L::kApply);
    d.userChoose(L::kTypeList, 0);
    picks().select(box().face(1));
    d.userClick(L::kApply);
    d.userChoose(L::kTypeList, 2);
    picks().select(box().face(2));
    d.userClick(L::kApply);
    EXPECT_EQ(texts(model::kKindAction),
              (Strings{"face;convection=25, 20", "face;heat=25", "body;heat generation=25"}));
}

TEST_F(Actions, ValuesAreCutTo59CharactersAndAnEmptyEditGivesAnEmptyField) {
    auto& d = open();
    d.userChoose(L::kTypeList, 0);
    values(d, std::string(70, '7'), "", "x");
    picks().select(box().vertex(1));
    d.userClick(L::kApply);
    EXPECT_EQ(texts(model::kKindAction), Strings{"vertex;force=" + std::string(59, '7') + ", , x"});
}

TEST_F(Actions, DesignPointsGetAForceOfTheirOwnForTheThreeValueMechanicalTypesOnly) {
    auto& point = part.addDesignPoint({1, 2, 3});
    auto& second = part.addDesignPoint({4, 5, 6});
    auto& d = open();
    d.userChoose(L::kTypeList, 3);
    values(d, "1", "2", "3");
    picks().select(box().face(0), second);
    d.userClick(L::kApply);
    d.userChoose(L::kTypeList, 2);
    picks().select(point);
    d.userClick(L::kApply);
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

TEST_F(Actions, PlanesAndUnplaceablePicksAreSkipped) {
    auto& plane = part.addPlane("Front", 0, 1, 0);
    auto& d = open();
    d.userChoose(L::kTypeList, 2);
    picks().select(plane, box().face(2), box().face(3));
    host.failNth("IQDPickedObject::get_Object", 3);  // the third pick cannot be read
    d.userClick(L::kApply);
    EXPECT_EQ(texts(model::kKindAction), Strings{"face;pressure=0"});
}

// MAKE TABLE: the person in the table editor chooses `item`, fills `rows` (time, value) and
// presses APPLY, or EXIT when `item` is -1.
class ActionTables : public Actions {
protected:
    using T = CTableEditDlg;
    void makeTable(ui::Dialog& d, int item, std::vector<std::pair<std::string, std::string>> rows = {}) {
        prompts->queueModal("Table", [=, this](ui::Dialog& editor) {
            auto& t = static_cast<T&>(editor);
            if (item < 0) {
                t.userClick(T::kExit);
                return;
            }
            auto& g = t.grid();
            for (std::size_t r = 1; r < rows.size(); ++r) {
                g.userClickCell(1, 0);
                t.userClick(T::kInsert);
            }
            for (std::size_t r = 0; r < rows.size(); ++r) {
                g.userEditCell(static_cast<int>(r) + 1, 0, rows[r].first);
                g.userEditCell(static_cast<int>(r) + 1, 1, rows[r].second);
            }
            t.userChoose(T::kList, item);
            t.userClick(T::kApply);
        });
        d.userClick(L::kMakeTable);
    }
};

TEST_F(ActionTables, AForceZTableNamesTheThirdEditAndTheNextApplyRefersToIt) {
    auto& d = open();
    d.userChoose(L::kTypeList, 0);
    makeTable(d, 2, {{"0", "0"}, {"1", "100"}});
    EXPECT_EQ(d.text(L::kValue3), "tabl2");
    EXPECT_EQ(texts(model::kKindTable), Strings{"tabl2, 2, 0, 1, 0, 100"});
    EXPECT_EQ(lines(model::kKindTable), Strings{"tabl2, 2, 0, 1, 0, 100"});
    picks().select(box().vertex(5));
    d.userClick(L::kApply);
    EXPECT_EQ(readFile(explorer->document().loadcaseFilePath()),
              expectedFileBytes({{{}, {}, "tabl2, 2, 0, 1, 0, 100", 6},
                                 {bodyKey(), box().vertex(5).key(), "vertex;force=0, 0, tabl2", 3}}));
}

TEST_F(ActionTables, EachLoadComponentGoesIntoItsOwnEdit) {
    auto& d = open();
    const int edits[] = {L::kValue1, L::kValue2, L::kValue3, L::kValue1,
                         L::kValue1, L::kValue2, L::kValue3, L::kValue1};
    for (int item = 0; item < 8; ++item) {
        for (int id : {L::kValue1, L::kValue2, L::kValue3}) d.setText(id, "0");
        makeTable(d, item);
        for (int id : {L::kValue1, L::kValue2, L::kValue3})
            EXPECT_EQ(d.text(id), id == edits[item] ? "tabl" + std::to_string(item) : "0") << item;
    }
    EXPECT_EQ(texts(model::kKindTable).front(), "tabl0, 1, 0, 0") << "the default table: one row of zeros";
    EXPECT_EQ(texts(model::kKindTable).size(), 8u);
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
}

}  // namespace
