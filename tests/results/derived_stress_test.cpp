// Derived stresses of one stress state and the reading of numbers from result lines.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "results/block_search.h"
#include "results/derived_stress.h"
#include "results/number_scanner.h"

namespace {

using namespace results;

constexpr double kTol = 1e-3;

// Stress states whose derived values are known, each with the items it fixes.
struct KnownState {
    const char* name;
    StressComponents s;
    std::vector<std::pair<int, double>> expected;  // item, value
};

TEST(DerivedStress, KnownStates) {
    const KnownState states[] = {
        {"uniaxial tension", {100, 0, 0, 0, 0, 0},
         {{kItemVonMises, 100}, {kItemTresca, 100}, {kItemPrincipal1, 100}, {kItemPrincipal2, 0}, {kItemPrincipal3, 0},
          {kItemMaxPrincipal, 100}, {kItemSignedVonMises, 100}, {kItemSignedTresca, 100}}},
        {"uniaxial compression", {-100, 0, 0, 0, 0, 0},
         {{kItemSignedVonMises, -100}, {kItemSignedTresca, -100}, {kItemMaxPrincipal, -100}, {kItemPrincipal3, -100},
          {kItemPrincipal1, 0}}},
        // Equal and opposite principal stresses: the signed forms take the sign of the first.
        {"pure shear", {0, 0, 0, 50, 0, 0},
         {{kItemPrincipal1, 50}, {kItemPrincipal2, 0}, {kItemPrincipal3, -50}, {kItemTresca, 100},
          {kItemVonMises, 86.6025}, {kItemSignedVonMises, 86.6025}, {kItemSignedTresca, 100}}},
        // The principal stresses of a diagonal state are its components, whatever their order.
        {"triaxial", {-30, 70, 20, 0, 0, 0},
         {{kItemPrincipal1, 70}, {kItemPrincipal2, 20}, {kItemPrincipal3, -30}, {kItemSigmaY, 70}}},
    };
    for (const KnownState& state : states)
        for (const auto& [item, value] : state.expected)
            EXPECT_NEAR(stressValue(state.s, item), value, kTol) << state.name << ", item " << item;
}

TEST(DerivedStress, ZeroStateAndUnknownItemsGiveZero) {
    const StressComponents zero{};
    for (int item = 0; item <= kItemMaxPrincipal; ++item) EXPECT_EQ(stressValue(zero, item), 0) << item;
    EXPECT_EQ(stressValue({-30, 70, 20, 0, 0, 0}, 14), 0);
}

TEST(NumberScanner, RealsAndIntegers) {
    NumberScanner scan("  12 -3.5e+02 .25 +7 abc8 ; 9x 1e999 -");
    EXPECT_EQ(scan.integer(), 12);
    EXPECT_EQ(scan.real(), -350);
    EXPECT_EQ(scan.real(), 0.25);
    EXPECT_EQ(scan.real(), 7);  // '+' is passed over like any other character
    EXPECT_EQ(scan.real(), 8);
    EXPECT_EQ(scan.real(), 0);  // ';'
    EXPECT_EQ(scan.real(), 9);
    EXPECT_EQ(scan.real(), 0);  // out of range
    EXPECT_EQ(scan.real(), 0);  // a lone '-'
    EXPECT_EQ(scan.real(), 0);  // nothing left
    NumberScanner ints("-4 ;5 99999999999 6");
    EXPECT_EQ(ints.integer(), 4);  // an integer begins at the first digit
    EXPECT_EQ(ints.integer(), 0);  // ';5' reads 0 and skips to the blank
    EXPECT_EQ(ints.integer(), 2147483647);
    EXPECT_EQ(ints.integer(), 6);
    EXPECT_TRUE(isRepeatLine("  ; all as before"));
    EXPECT_FALSE(isRepeatLine("1 ;"));
    EXPECT_TRUE(isBlankLine(" \t\r"));
    EXPECT_FALSE(isBlankLine(" 1"));
}

TEST(BlockSearch, HeaderNumbers) {
    EXPECT_EQ(headerNumber("STRESS 3", "STRES"), 3);
    EXPECT_EQ(headerNumber("   STRE", "STRES"), 1);
    EXPECT_EQ(headerNumber("DISP 0", "DISP"), 1);
    EXPECT_EQ(headerNumber("DISPLACEMENTS   12 at t=3", "DISP"), 12);
    EXPECT_EQ(headerNumber("STRAIN 2", "STRES"), std::nullopt);
    EXPECT_EQ(headerNumber("1 DISP", "DISP"), std::nullopt);
    EXPECT_EQ(headerNumber("DIS", "DISP"), std::nullopt);
}

}  // namespace
