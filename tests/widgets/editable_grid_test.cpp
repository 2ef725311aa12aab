// The editable grid: shape, cells, focus through insertion and deletion, and column sizing.
#include "widgets/editable_grid.h"

#include <gtest/gtest.h>

#include "ui/dialog.h"

namespace {

using widgets::EditableGrid;
using widgets::GridCell;

class EditableGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        grid.setColumnCount(2);
        grid.setRowCount(3);
        grid.setFixedRowCount(1);
        for (int r = 0; r < 3; ++r) grid.setCellText(r, 0, "r" + std::to_string(r));
    }
    EditableGrid grid;
};

TEST_F(EditableGridTest, CellsOutsideTheGridIgnoreWritesAndResizingKeepsWhatStillFits) {
    grid.setCellText(5, 0, "x");
    grid.setCellText(0, 2, "x");
    grid.setCellText(-1, 0, "x");
    EXPECT_EQ(grid.cellText(5, 0), "");
    EXPECT_EQ(grid.cellText(0, -1), "");
    EXPECT_EQ(grid.dump(), "r0 | \nr1 | \nr2 | \n");
    grid.setColumnCount(3);
    EXPECT_EQ(grid.columnWidth(2), EditableGrid::kDefaultColumnWidth);
    grid.setRowCount(2);
    EXPECT_EQ(grid.dump(), "r0 |  | \nr1 |  | \n");
    // (Auto-sizing to the longest text: TableEditor.TheDefaultGridHasItsHeadersZerosAndAWiderFirstColumn.)
    grid.setColumnWidth(7, 45);
    EXPECT_EQ(grid.columnWidth(7), 0) << "a column beyond the grid has no width";
}

TEST_F(EditableGridTest, FixedCellsTakeNeitherFocusNorTypingAndAReadOnlyGridTakesFocusOnly) {
    EXPECT_FALSE(grid.userClickCell(0, 1));
    EXPECT_FALSE(grid.userEditCell(0, 0, "x"));
    EXPECT_EQ(grid.focusRow(), -1);
    EXPECT_EQ(grid.cellText(0, 0), "r0");
    grid.setFixedColumnCount(1);
    EXPECT_FALSE(grid.userClickCell(1, 0));
    EXPECT_TRUE(grid.userEditCell(1, 1, "7"));
    EXPECT_EQ(grid.focusCell(), (GridCell{1, 1}));
    EXPECT_EQ(grid.cellText(1, 1), "7");
    // A read-only grid takes the focus but no typing.
    grid.setEditable(false);
    EXPECT_FALSE(grid.userEditCell(2, 1, "x"));
    EXPECT_EQ(grid.cellText(2, 1), "");
    EXPECT_TRUE(grid.userClickCell(2, 1));
    EXPECT_EQ(grid.focusRow(), 2);
}

TEST_F(EditableGridTest, InsertedRowCarriesItsHeadingAndPushesTheFocusDown) {
    grid.userClickCell(2, 1);
    EXPECT_EQ(grid.insertRow("new", 1), 1);
    EXPECT_EQ(grid.dump(), "r0 | \nnew | \nr1 | \nr2 | \n");
    EXPECT_EQ(grid.focusCell(), (GridCell{3, 1})) << "the focus stays with its row";
    EXPECT_EQ(grid.insertRow("end"), 4);
    EXPECT_EQ(grid.insertRow("far", 99), 5);
    EXPECT_EQ(grid.cellText(5, 0), "far");
    EXPECT_EQ(grid.focusRow(), 3);
}

// Deleting a row before the focus moves it up; deleting or shrinking away its cell loses it.
TEST_F(EditableGridTest, TheFocusFollowsItsRowUntilItsCellGoes) {
    grid.userClickCell(2, 0);
    EXPECT_TRUE(grid.deleteRow(1));
    EXPECT_EQ(grid.focusCell(), (GridCell{1, 0}));
    EXPECT_TRUE(grid.deleteRow(1));
    EXPECT_EQ(grid.focusRow(), -1);
    EXPECT_FALSE(grid.deleteRow(1));
    EXPECT_EQ(grid.rowCount(), 1);

    grid.setRowCount(3);
    grid.setColumnCount(2);
    grid.userClickCell(2, 1);
    grid.setColumnCount(1);
    EXPECT_FALSE(grid.focusCell().has_value());
    grid.userClickCell(2, 0);
    grid.setRowCount(2);
    EXPECT_FALSE(grid.focusCell().has_value());
}

TEST(EditableGridHost, ADisabledGridInADialogTakesNoClicks) {
    ui::DialogTemplate t;
    t.caption = "Table";
    t.add(11083, ui::ControlKind::Custom, "", {});
    ui::Dialog d(t);
    auto& g = static_cast<EditableGrid&>(d.attachWidget(11083, std::make_unique<EditableGrid>()));
    g.setColumnCount(1);
    g.setRowCount(1);
    d.create();
    d.enable(11083, false);
    EXPECT_FALSE(g.userClickCell(0, 0));
    d.enable(11083, true);
    EXPECT_TRUE(g.userClickCell(0, 0));
}

}  // namespace
