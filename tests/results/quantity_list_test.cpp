// The quantity list both result dialogs offer and the unit texts of the length unit. The natural
// frequencies' list and its plot position: ResultsWindow.NaturalFrequencies...; the 25 lines of
// the mechanical list: ResultsPanels.OpensWithTheLoadcasesQuantities...
#include <gtest/gtest.h>

#include <utility>

#include "results/quantity_list.h"

namespace {

using namespace results;

TEST(QuantityList, ListsByPhysicsAndSolutionType) {
    auto texts = [](int physics, int solution) {
        std::vector<std::string> out;
        for (const auto& q : offeredQuantities(physics, solution)) out.push_back(q.text);
        return out;
    };
    EXPECT_EQ(texts(kPhysicsThermal, 6), (std::vector<std::string>{"Mesh", "Temperatures"}));
    EXPECT_EQ(texts(8, 8), std::vector<std::string>{"Mesh"});
    const auto all = texts(kPhysicsMechanical, kSolutionBuckling);
    ASSERT_GT(all.size(), 20u);
    EXPECT_EQ(all[7], "Von Mises Stress");
    EXPECT_EQ(all[20], "Buckling Load");
    EXPECT_EQ(plotPosition(kPhysicsThermal, 6, 0), kPositionTemperature);
    EXPECT_EQ(plotPosition(kPhysicsMechanical, 0, 12), 12);
    EXPECT_EQ(quantityAt(15).legendLabel, "Combined Displacement");
    EXPECT_EQ(quantityAt(15).kind, kKindDisplacement);
    EXPECT_EQ(quantityAt(15).item, kItemMagnitude);
    EXPECT_EQ(quantityAt(24).kind, kKindPlasticStrain);
    EXPECT_EQ(quantityAt(99).listText, "Mesh");
}

// The stress units of each length unit: ResultsPanels.TheMaxTextCarriesTheQuantitysUnit.
TEST(QuantityList, UnitTexts) {
    EXPECT_EQ(stressUnit("cm"), "N/cm2");
    EXPECT_EQ(temperatureUnit("in"), "deg. F");
    EXPECT_EQ(temperatureUnit("ft"), "deg. C");
    EXPECT_EQ(unitTextForKind(kKindDisplacement, "cm"), "cm");
    EXPECT_EQ(unitTextForKind(kKindStress, "mm"), "N/mm2");
    EXPECT_EQ(unitTextForKind(kKindVelocity, "mm"), "");
    EXPECT_EQ(unitText(quantityAt(19).unit, "in"), "deg. F");
}

}  // namespace
