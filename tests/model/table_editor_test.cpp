// The table editor as a person uses it through MAKE TABLE: choosing the list item, editing,
// inserting and deleting rows, APPLY and EXIT, and the table entries the explorer saves.
#include <gtest/gtest.h>

#include "model/table_edit_dlg.h"
#include "model/table_maker.h"
#include "model/table_text.h"
#include "support/explorer_fixture.h"

namespace {

using Mode = CTableEditDlg::Mode;
using T = CTableEditDlg;
using C = loadcase::AnalysisClass;

class TableEditor : public ::testing::Test, public ExplorerFixture {
  protected:
    void SetUp() override { show(); }

    // Queues what the person does in the next editor, then runs MAKE TABLE.
    std::optional<model::MadeTable> make(Mode mode, C cls, std::function<void(T&)> person) {
        prompts->queueModal("Table", [person](ui::Dialog& d) { person(static_cast<T&>(d)); });
        return model::makeTable(*explorer, nullptr, mode, cls);
    }
    static std::vector<std::string> listOf(const T& d) {
        std::vector<std::string> out;
        for (int i = 0; i < d.itemCount(T::kList); ++i) out.push_back(d.itemText(T::kList, i));
        return out;
    }
};

TEST_F(TableEditor, TheDefaultGridHasItsHeadersZerosAndAWiderFirstColumn) {
    make(Mode::Material, C::Mechanical, [](T& d) {
        auto& g = d.grid();
        EXPECT_EQ(g.dump(), "Temps. | Table ta1\n0 | 0\n");
        EXPECT_EQ(g.fixedRowCount(), 1);
        const int autoWidth = 6 * widgets::EditableGrid::kCharWidth + 2 * widgets::EditableGrid::kCellMargin;
        EXPECT_EQ(g.columnWidth(0), autoWidth * 3 / 2);
        EXPECT_EQ(g.columnWidth(1),
                  9 * widgets::EditableGrid::kCharWidth + 2 * widgets::EditableGrid::kCellMargin);
    });
    make(Mode::Load, C::Thermal, [](T& d) { EXPECT_EQ(d.grid().cellText(0, 0), "Time (s)"); });
    EXPECT_EQ(prompts->modalRuns(), (std::vector<std::string>{"Table", "Table"}));
}

TEST_F(TableEditor, TheListDependsOnModeAndAnalysisClass) {
    using V = std::vector<std::string>;
    make(Mode::Material, C::Thermal, [](T& d) {
        EXPECT_EQ(listOf(d),
                  (V{"conductivity ", "heat capacity ", "density ", "Y conductivity", "Z conductivity"}));
    });
    make(Mode::Material, C::Mechanical, [](T& d) {
        EXPECT_EQ(listOf(d), (V{"Youngs modulus 1 ", "Poissons ratio 1 ", "expansion coeff. 1 ", "density ",
                                "Youngs modulus 2 ", "shear modulus 1-2 ", "expansion coeff 2 "}));
    });
    make(Mode::Load, C::Thermal, [](T& d) {
        EXPECT_EQ(listOf(d), (V{"heat flux", "convection coefficient", "fluid temperature", "internal heat",
                                "held temperature"}));
    });
    make(Mode::Load, C::Mechanical, [](T& d) {
        EXPECT_EQ(listOf(d), (V{"force x", "force y", "force z", "pressure", "x acceleration",
                                "y acceleration", "z acceleration", "spin speed"}));
    });
    make(Mode::Material, C::Fluid, [](T& d) {
        EXPECT_EQ(listOf(d), (V{"density ", "dynamic viscosity ", "conductivity ", "heat capacity ",
                                "expansion coeff. ", "ratio of specific heats ", "gas constant "}));
    });
    make(Mode::Load, C::Fluid, [](T& d) {
        EXPECT_EQ(listOf(d), (V{"velocity x", "velocity y", "velocity z", "pressure", "x acceleration",
                                "y acceleration", "z acceleration", "heat flux", "convection coefficient",
                                "fluid temperature", "internal heat", "held temperature", "total pressure",
                                "total temperature", "initial pressure", "initial temperature"}));
    });
    make(Mode::Material, C::Multiphysics, [](T& d) {
        EXPECT_EQ(listOf(d).size(), 11u);
        EXPECT_EQ(listOf(d)[7], "conductivity ") << "the thermal items after the mechanical ones, no density";
    });
    EXPECT_TRUE(texts(model::kKindTable).empty()) << "editors left open end as EXIT";
}

// Rows inserted and typed in, counted and written arguments first: the tables of ActionTables and
// of samples/beam_loads.run, whose pressures reach the solver's balance.

// Insert and Delete act on the focused cell's row only: without one they do nothing, and deleting
// the only data row gives an empty table.
TEST_F(TableEditor, DeletingTheOnlyDataRowGivesAnEmptyTable) {
    make(Mode::Load, C::Mechanical, [](T& d) {
        d.userClick(T::kInsert);
        d.userClick(T::kDelete);
        EXPECT_EQ(d.grid().dump(), "Time (s) | Table ta1\n0 | 0\n");
        EXPECT_FALSE(d.grid().userClickCell(0, 0)) << "the header takes no focus";
        d.userClick(T::kDelete);
        EXPECT_EQ(d.grid().rowCount(), 2);
        d.grid().userClickCell(1, 1);
        d.userClick(T::kDelete);
        EXPECT_EQ(d.grid().rowCount(), 1);
        d.userChoose(T::kList, 3);
        d.userClick(T::kApply);
    });
    EXPECT_EQ(texts(model::kKindTable), std::vector<std::string>{"tabl3, 0"});
}

TEST_F(TableEditor, ApplyWithoutAChoiceAsksForOneAndKeepsTheEditorOpen) {
    const auto made = make(Mode::Load, C::Mechanical, [this](T& d) {
        d.userClick(T::kApply);
        EXPECT_FALSE(d.hasEnded());
        EXPECT_EQ(prompts->messageTexts(), std::vector<std::string>{"Select an item from the list"});
        d.userChoose(T::kList, 7);
        d.userPressEnter();
    });
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(made->name, "tabl7");
}

// (EXIT storing nothing: ActionTables.ThermalComponentsAndLeavingTheEditorWithExit.)
TEST_F(TableEditor, ClosingStoresNothing) {
    EXPECT_FALSE(make(Mode::Load, C::Mechanical, [](T& d) {
                     d.userChoose(T::kList, 0);
                     d.userClose();
                 }).has_value());
    EXPECT_TRUE(texts(model::kKindTable).empty());
    EXPECT_TRUE(lines(model::kKindTable).empty());
}

TEST(TableText, CellsAreCopiedAsTyped) {
    widgets::EditableGrid g;
    g.setColumnCount(2);
    g.setRowCount(3);
    g.setCellText(1, 0, " 1 ");
    g.setCellText(1, 1, "t*2");
    g.setCellText(2, 1, "-");
    EXPECT_EQ(model::tableText(Mode::Load, 12, g), "tabl12, 2,  1 , , t*2, -");
}

}  // namespace
