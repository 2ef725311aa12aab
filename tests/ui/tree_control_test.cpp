#include "ui/tree_control.h"

#include <gtest/gtest.h>

namespace {

using namespace ui;

TEST(TreeControl, InsertsFindsAndDeletesLinesWithTheirChildren) {
    TreeControl tree(10);
    const TreeItem materials = tree.insertItem("Materials", 1);
    const TreeItem actions = tree.insertItem("Actions", 3);
    const TreeItem steel = tree.insertItem("steel: 1,2", 1, materials);
    const TreeItem load = tree.insertItem("face;pressure=5", 3, actions);
    EXPECT_EQ(tree.children(kTreeRoot), (std::vector<TreeItem>{materials, actions}));
    EXPECT_EQ(tree.parent(steel), materials);
    EXPECT_EQ(tree.itemImage(load), 3);
    EXPECT_EQ(tree.findItem("face;pressure=5"), load);
    EXPECT_EQ(tree.findChild(materials, "face;pressure=5"), kTreeRoot);
    EXPECT_EQ(tree.dump(), "Materials\n  steel: 1,2\nActions\n  face;pressure=5\n");
    tree.selectItem(load);
    tree.deleteItem(actions);
    EXPECT_FALSE(tree.exists(load)) << "children go with their line";
    EXPECT_EQ(tree.selectedItem(), kTreeRoot);
    EXPECT_EQ(tree.size(), 2u);
    tree.setItemText(steel, "alu: 3");
    EXPECT_EQ(tree.findItem("alu: 3"), steel);
    // The context menu reports its line, or the root for one that is not there.
    std::vector<TreeItem> seen;
    tree.onContextMenu([&](TreeItem item) { seen.push_back(item); });
    tree.userContextMenu(steel);
    tree.userContextMenu(999);
    EXPECT_EQ(seen, (std::vector<TreeItem>{steel, kTreeRoot}));
    tree.deleteAllItems();
    EXPECT_EQ(tree.size(), 0u);
    EXPECT_NE(tree.insertItem("again", 0), steel) << "handles are not reused";
}

}  // namespace
