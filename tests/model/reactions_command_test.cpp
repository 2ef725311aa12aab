// The Reactions dialog: fixity types, the entries of picked points, edges and faces, and the file.
// An assembly's entries without a body key: HostSession.TwoBodyPartAndAssemblyKeepTheirOwnKeys.
#include <gtest/gtest.h>

#include <sstream>

#include "loadcase/solver_input_writer.h"
#include "mesh_solve/solver_input_source.h"
#include "model/restraints_dialog.h"
#include "model/table_edit_dlg.h"
#include "model_command_fixture.h"
#include "ui/dialog.h"

namespace {

using R = CRestraints;
using Strings = std::vector<std::string>;

class Reactions : public ModelCommandTest {
  protected:
    ui::Dialog& d = start(addon::kMenuReactions);

    void applyWith(int fixity) {
        if (fixity >= 0) d.userChoose(R::kFixityList, fixity);
        d.userClick(R::kApply);
    }
};

// Every pick of a group gets its entry, edges and vertices headed by their sort, and the filter is
// asked with the fixity code: the cases below. The file's bytes for each kind: LoadcaseFileBytes
// and the entries of the other commands.

// Each row of the list, as the user reads it, reaches the solver as freedom flags: 0 for every
// direction the row names, 1 for the others, and its entry text names those directions.
TEST_F(Reactions, EveryFixityRowReachesTheSolverAsTheFlagsItsNameSays) {
    for (int row = 0; row < d.itemCount(R::kFixityList); ++row) {
        picks().select(box().face(row % 6));
        applyWith(row);
    }
    ASSERT_EQ(loadcase::writeSolverInput(mesh_solve::solverInputSource(*explorer), std::nullopt), 0);
    const std::string input = readFile(explorer->document().solverInputPath());
    const std::string restraints = input.substr(input.find("RESTRAINTS\n") + 11);
    std::istringstream lines(restraints);
    for (int row = 0; row < d.itemCount(R::kFixityList); ++row) {
        const std::string name = d.itemText(R::kFixityList, row);
        const bool all = name.find("XYZ") != std::string::npos;
        std::string expected = "bor " + std::to_string(row % 6 + 1);
        std::string letters;
        for (char axis : {'X', 'Y', 'Z'}) {
            const bool fixed = all || name.find(axis) < name.find(' ');
            expected += fixed ? " 0" : " 1";
            if (fixed) letters += axis;
        }
        // The entry text the tree shows names the same directions.
        EXPECT_EQ(texts(model::kKindReaction)[static_cast<std::size_t>(row)],
                  "face;fix," + std::to_string(row) + "=" + letters);
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(line, expected) << "row " << row << ": " << name;
    }
}

// A pick without a fixity (it would restrain nothing) is refused and keeps the pick; an empty
// selection is refused; a choice stays for the next group.
TEST_F(Reactions, WithoutAFixityNothingIsStoredThenTheChoiceStaysForTheNextGroup) {
    picks().select(box().face(3));
    applyWith(-1);
    EXPECT_EQ(prompts->messageTexts(), Strings{"Select a fixity type"});
    EXPECT_TRUE(explorer->document().entries().empty());
    EXPECT_FALSE(explorer->document().isChanged());
    applyWith(6);
    picks().select(box().vertex(7), box().edge(2));
    d.userClick(R::kApply);
    EXPECT_EQ(picks().filters().back(), 6) << "the selection is asked with the fixity code";
    picks().clear();
    d.userClick(R::kApply);
    EXPECT_EQ(prompts->messageTexts(), (Strings{"Select a fixity type", "Select a point, edge or face"}));
    picks().select(box().face(2));
    applyWith(1);
    EXPECT_EQ(texts(model::kKindReaction),
              (Strings{"face;fix,6=XYZ", "point;fix,6=XYZ", "edge;fix,6=XYZ", "face;fix,1=Y"}));
}

// A thermal loadcase holds the picks at a temperature: the temperature row takes the fixity list's
// place, MAKE TABLE puts a time table's name into it, and each entry reaches the solver as its
// reference, "temp" and the value. A mechanical loadcase's file keeps its fixity entries alone; a
// fluid's shows the fixity list and the temperature row, as a Multiphysics loadcase does.
TEST_F(Reactions, AThermalLoadcaseHoldsPicksAtATemperatureOrATimeTable) {
    explorer->document().setAnalysisType(8);
    auto& fluid = start(addon::kMenuReactions);
    EXPECT_TRUE(fluid.isVisible(R::kFixityList)) << "a fluid's walls fix velocities";
    EXPECT_TRUE(fluid.isVisible(R::kValue)) << "a flow that carries heat holds temperatures";
    EXPECT_LE(fluid.control(R::kFixityList).tmpl.rect.bottom, fluid.control(R::kValue).tmpl.rect.top);
    EXPECT_EQ(fluid.text(R::kFixityPrompt), "2. Select fixity type and/or enter temperature");
    explorer->document().setAnalysisType(6);
    auto& t = start(addon::kMenuReactions);
    EXPECT_FALSE(t.isVisible(R::kFixityList));
    EXPECT_TRUE(t.isVisible(R::kValue));
    EXPECT_EQ(t.text(R::kFixityPrompt), "2. Enter temperature, table name or equation");
    EXPECT_EQ(t.text(R::kUnitLabel), "(C)");
    picks().select(box().face(0), box().edge(2), box().vertex(7));
    t.userClick(R::kApply);
    EXPECT_EQ(prompts->messageTexts(), Strings{"Enter a temperature, a table name or an equation"});
    t.userType(R::kValue, "abc");
    t.userClick(R::kApply);
    ASSERT_EQ(prompts->messageTexts().size(), 2u);
    EXPECT_TRUE(prompts->messageTexts()[1].starts_with("T=: \"abc\" is not a number"))
        << prompts->messageTexts()[1];
    t.userType(R::kValue, "100");
    t.userClick(R::kApply);
    makeTable(t, R::kMakeTable, 4, {{"0", "20"}});
    EXPECT_EQ(t.text(R::kValue), "tabl4");
    picks().select(box().face(3));
    t.userClick(R::kApply);
    EXPECT_EQ(texts(model::kKindReaction), (Strings{"face;temperature=100", "edge;temperature=100",
                                                    "point;temperature=100", "face;temperature=tabl4"}));
    ASSERT_EQ(loadcase::writeSolverInput(mesh_solve::solverInputSource(*explorer), std::nullopt), 0);
    const std::string input = readFile(explorer->document().solverInputPath());
    const std::string restraints = input.substr(input.find("RESTRAINTS\n"));
    EXPECT_EQ(restraints.substr(0, restraints.find("CONSTRAINTS")),
              "RESTRAINTS\nbor 1 temp 100\nefr 1 4 temp 100\npor 8 temp 100\nbor 4 temp tabl4\n")
        << input;
    EXPECT_EQ(prompts->messageTexts().size(), 2u);
}

// A Multiphysics loadcase shows the fixity list and the temperature row: APPLY stores the fixity
// chosen, the temperature typed, or both on each pick (the writer sorts them:
// SolverInput.MultiphysicsLoadcaseWritesItsThermalLinesInTheirOwnSections).
TEST_F(Reactions, AMultiphysicsLoadcaseFixesAndHoldsTemperaturesOnTheSamePicks) {
    explorer->document().setAnalysisType(10);
    auto& m = start(addon::kMenuReactions);
    EXPECT_TRUE(m.isVisible(R::kFixityList));
    EXPECT_TRUE(m.isVisible(R::kValue));
    EXPECT_LE(m.control(R::kFixityList).tmpl.rect.bottom, m.control(R::kValue).tmpl.rect.top);
    picks().select(box().face(0));
    m.userClick(R::kApply);
    EXPECT_EQ(prompts->messageTexts(),
              Strings{"Select a fixity type or enter a temperature, a table name or an equation"});
    m.userChoose(R::kFixityList, 6);
    m.userType(R::kValue, "100");
    m.userClick(R::kApply);
    auto& again = start(addon::kMenuReactions);  // no fixity chosen
    again.userType(R::kValue, "100");
    picks().select(box().face(3));
    again.userClick(R::kApply);
    again.userChoose(R::kFixityList, 2);
    again.userType(R::kValue, " ");
    picks().select(box().face(1));
    again.userClick(R::kApply);
    EXPECT_EQ(texts(model::kKindReaction),
              (Strings{"face;fix,6=XYZ", "face;temperature=100", "face;temperature=100", "face;fix,2=Z"}));
}

TEST_F(Reactions, PicksThatAreNoEntityOrCannotBePlacedAreSkippedSilently) {
    auto& point = part.addDesignPoint({1, 2, 3});
    auto& plane = part.addPlane("Top", 0, 0, 1);
    picks().select(point, plane, box().face(5), box().face(1));
    host.failNth("IQDPickedObject::get_Object", 3);  // the third pick cannot be read
    applyWith(0);
    EXPECT_EQ(texts(model::kKindReaction), Strings{"face;fix,0=X"});
    EXPECT_EQ(explorer->document().entries()[0].entityKey().bytes(), key(1));
    EXPECT_TRUE(prompts->messageTexts().empty());
}

}  // namespace
