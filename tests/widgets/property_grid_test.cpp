// The property grid hosted in a dialog: building, values by handle, and the change message a
// person's edits send to the dialog.
#include "widgets/property_grid.h"

#include <gtest/gtest.h>

#include "ui/dialog.h"
#include "ui/headless_prompts.h"

namespace {

using widgets::PropertyGrid;
using widgets::PropertyHandle;

constexpr int kGridId = 11078;

ui::DialogTemplate gridTemplate() {
    ui::DialogTemplate t;
    t.caption = "Grid host";
    t.add(kGridId, ui::ControlKind::Custom, "", {0, 0, 200, 300})
        .add(20, ui::ControlKind::Button, "APPLY", {});
    return t;
}

class PropertyGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog.attachWidget(kGridId, std::make_unique<PropertyGrid>());
        dialog.onMessage(PropertyGrid::kChangedMessage, [this](std::intptr_t w, std::intptr_t) {
            changes.push_back(static_cast<PropertyHandle>(w));
        });
        general = grid().addSection("General");
        name = grid().addString(general, "Description", " ");
        combo = grid().addCombo(general, "Standard materials", {"No", "steel", "brass"}, 0);
        file = grid().addFile(general, "From file..", "/lib/*.txt", "All Files (*.*)|*.*||");
        limits = grid().addSection("Limit stresses N/mm2", true);
        yield = grid().addString(limits, "tensile yield", "0");
        dialog.create();
    }
    PropertyGrid& grid() { return dialog.widgetAs<PropertyGrid>(kGridId); }

    std::shared_ptr<ui::HeadlessPrompts> prompts = ui::installHeadlessPrompts();
    ui::Dialog dialog{gridTemplate()};
    std::vector<PropertyHandle> changes;
    PropertyHandle general{}, name{}, combo{}, file{}, limits{}, yield{};
};

TEST_F(PropertyGridTest, SectionsAndItemsKeepTheirOrderKindsAndValues) {
    EXPECT_EQ(grid().sections(), (std::vector<PropertyHandle>{general, limits}));
    EXPECT_EQ(grid().items(general), (std::vector<PropertyHandle>{name, combo, file}));
    EXPECT_EQ(grid().section(yield), limits);
    EXPECT_EQ(grid().findLabel("tensile yield"), yield);
    EXPECT_EQ(grid().findLabel("nothing"), widgets::kNoProperty);
    EXPECT_EQ(grid().dump(),
              "[-] General\n  Description =  \n  Standard materials = No\n  From file.. = /lib/*.txt\n"
              "[+] Limit stresses N/mm2\n  tensile yield = 0\n");

    EXPECT_EQ(grid().addString(name, "inner", "1"), widgets::kNoProperty) << "an item is no section";
    EXPECT_EQ(grid().addString(999, "lost", "1"), widgets::kNoProperty);
    EXPECT_EQ(grid().items(name).size(), 0u);
    EXPECT_TRUE(grid().userToggle(limits));
    EXPECT_FALSE(grid().isCollapsed(limits));
    EXPECT_TRUE(grid().userToggle(limits));
    EXPECT_TRUE(grid().isCollapsed(limits));
}

TEST_F(PropertyGridTest, ValuesSetByCodeAreQuietAndPersonsEditsSendTheItemsHandle) {
    grid().setValue(yield, "250");
    grid().setValue(combo, "brass");
    EXPECT_EQ(grid().choiceIndex(combo), 2);
    grid().setValue(combo, "gold");
    EXPECT_EQ(grid().choiceIndex(combo), -1);
    EXPECT_EQ(grid().value(combo), "");
    EXPECT_TRUE(changes.empty());

    EXPECT_TRUE(grid().userEdit(name, "Steel"));
    EXPECT_TRUE(grid().userChoose(combo, 1));
    EXPECT_EQ(changes, (std::vector<PropertyHandle>{name, combo}));
    EXPECT_EQ(grid().value(name), "Steel");
    EXPECT_EQ(grid().value(combo), "steel");
    EXPECT_EQ(grid().choiceIndex(combo), 1);
}

TEST_F(PropertyGridTest, ActionsThatDoNotFitTheItemAreRefused) {
    EXPECT_FALSE(grid().userChoose(combo, 3));
    EXPECT_FALSE(grid().userChoose(name, 0));
    EXPECT_FALSE(grid().userEdit(combo, "steel"));
    EXPECT_FALSE(grid().userEdit(general, "x"));
    EXPECT_FALSE(grid().userBrowse(name));
    EXPECT_FALSE(grid().userToggle(name));
    dialog.enable(kGridId, false);
    EXPECT_FALSE(grid().userEdit(name, "x"));
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(grid().value(name), " ");
}

TEST_F(PropertyGridTest, BrowsingAsksForAFileWithTheItemsFilterAndFolder) {
    prompts->queueFile("/data/brass.txt");
    prompts->queueFile(std::nullopt);
    EXPECT_TRUE(grid().userBrowse(file));
    EXPECT_TRUE(grid().userBrowse(file));
    ASSERT_EQ(prompts->fileRequests().size(), 2u);
    EXPECT_EQ(prompts->fileRequests()[0].filter, "All Files (*.*)|*.*||");
    EXPECT_EQ(prompts->fileRequests()[0].initialName, "*.txt");
    EXPECT_FALSE(prompts->fileRequests()[0].save);
    EXPECT_EQ(grid().value(file), "/data/brass.txt");
    EXPECT_EQ(changes, std::vector<PropertyHandle>{file}) << "Cancel changes nothing";
}

TEST(PropertyGridHost, OnlyACustomControlTakesAWidgetWhichOutlivesTheWindowAndWaitsForIt) {
    ui::Dialog d(gridTemplate());
    EXPECT_THROW(d.attachWidget(20, std::make_unique<PropertyGrid>()), ui::UiError);
    EXPECT_THROW(d.attachWidget(99, std::make_unique<PropertyGrid>()), ui::UiError);
    EXPECT_EQ(d.widget(kGridId), nullptr);
    EXPECT_THROW(d.widgetAs<PropertyGrid>(kGridId), ui::UiError);
    // The widget outlives the window and waits for it.
    auto& g = static_cast<PropertyGrid&>(d.attachWidget(kGridId, std::make_unique<PropertyGrid>()));
    const auto s = g.addSection("General");
    const auto item = g.addString(s, "Description", "a");
    EXPECT_FALSE(g.userEdit(item, "b")) << "no window yet";
    d.create();
    d.destroy();
    d.create();
    EXPECT_EQ(&d.widgetAs<PropertyGrid>(kGridId), &g);
    EXPECT_TRUE(g.userEdit(item, "b"));
    EXPECT_EQ(g.value(item), "b");
}

}  // namespace
