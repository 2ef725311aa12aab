// The quantity list both result dialogs offer and the unit texts of the length unit.
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
    EXPECT_EQ(texts(kPhysicsMechanical, kSolutionNaturalFrequencies),
              (std::vector<std::string>{"Mesh", "Natural frequency"}));
    EXPECT_EQ(texts(8, 8), std::vector<std::string>{"Mesh"});
    const auto all = texts(kPhysicsMechanical, kSolutionBuckling);
    ASSERT_EQ(all.size(), 25u);
    EXPECT_EQ(all[7], "Von Mises Stress");
    EXPECT_EQ(all[20], "Buckling Load");
    EXPECT_EQ(plotPosition(kPhysicsThermal, 6, 0), kPositionTemperature);
    EXPECT_EQ(plotPosition(kPhysicsMechanical, kSolutionNaturalFrequencies, 0), kPositionFrequency);
    EXPECT_EQ(plotPosition(kPhysicsMechanical, 0, 12), 12);
    EXPECT_EQ(quantityAt(15).legendLabel, "Combined Displacement");
    EXPECT_EQ(quantityAt(15).kind, kKindDisplacement);
    EXPECT_EQ(quantityAt(15).item, kItemMagnitude);
    EXPECT_EQ(quantityAt(24).kind, kKindPlasticStrain);
    EXPECT_EQ(quantityAt(99).listText, "Mesh");
}

TEST(QuantityList, UnitTexts) {
    for (const auto& [unit, stress] :
         {std::pair{"mm", "N/mm2"}, std::pair{"m.", "N/m2"}, std::pair{"cm", "N/cm2"},
          std::pair{"in", "lbf/in2"}, std::pair{"ft", ""}})
        EXPECT_EQ(stressUnit(unit), stress) << unit;
    EXPECT_EQ(temperatureUnit("in"), "deg. F");
    EXPECT_EQ(temperatureUnit("ft"), "deg. C");
    EXPECT_EQ(unitTextForKind(kKindDisplacement, "cm"), "cm");
    EXPECT_EQ(unitTextForKind(kKindStress, "mm"), "N/mm2");
    EXPECT_EQ(unitTextForKind(kKindVelocity, "mm"), "");
    EXPECT_EQ(unitText(quantityAt(19).unit, "in"), "deg. F");
}

}  // namespace
