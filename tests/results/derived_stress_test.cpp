// Derived stresses of one stress state and the reading of numbers from result lines.
#include <gtest/gtest.h>

#include "results/block_search.h"
#include "results/derived_stress.h"
#include "results/number_scanner.h"

namespace {

using namespace results;

constexpr double kTol = 1e-3;

TEST(DerivedStress, UniaxialTension) {
    const StressComponents s{100, 0, 0, 0, 0, 0};
    EXPECT_NEAR(stressValue(s, kItemVonMises), 100, kTol);
    EXPECT_NEAR(stressValue(s, kItemTresca), 100, kTol);
    EXPECT_NEAR(stressValue(s, kItemPrincipal1), 100, kTol);
    EXPECT_NEAR(stressValue(s, kItemPrincipal2), 0, kTol);
    EXPECT_NEAR(stressValue(s, kItemPrincipal3), 0, kTol);
    EXPECT_NEAR(stressValue(s, kItemMaxPrincipal), 100, kTol);
    EXPECT_NEAR(stressValue(s, kItemSignedVonMises), 100, kTol);
    EXPECT_NEAR(stressValue(s, kItemSignedTresca), 100, kTol);
}

TEST(DerivedStress, UniaxialCompression) {
    const StressComponents s{-100, 0, 0, 0, 0, 0};
    EXPECT_NEAR(stressValue(s, kItemSignedVonMises), -100, kTol);
    EXPECT_NEAR(stressValue(s, kItemSignedTresca), -100, kTol);
    EXPECT_NEAR(stressValue(s, kItemMaxPrincipal), -100, kTol);
    EXPECT_NEAR(stressValue(s, kItemPrincipal3), -100, kTol);
    EXPECT_NEAR(stressValue(s, kItemPrincipal1), 0, kTol);
}

TEST(DerivedStress, PureShearTakesTheSignOfTheFirstPrincipal) {
    const StressComponents s{0, 0, 0, 50, 0, 0};
    EXPECT_NEAR(stressValue(s, kItemPrincipal1), 50, kTol);
    EXPECT_NEAR(stressValue(s, kItemPrincipal2), 0, kTol);
    EXPECT_NEAR(stressValue(s, kItemPrincipal3), -50, kTol);
    EXPECT_NEAR(stressValue(s, kItemTresca), 100, kTol);
    EXPECT_NEAR(stressValue(s, kItemVonMises), 86.6025, kTol);
    EXPECT_GT(stressValue(s, kItemSignedVonMises), 0);
    EXPECT_GT(stressValue(s, kItemSignedTresca), 0);
}

TEST(DerivedStress, TriaxialStateAndZeroState) {
    // Principal stresses of a diagonal state are its components, whatever their order.
    const StressComponents s{-30, 70, 20, 0, 0, 0};
    EXPECT_NEAR(stressValue(s, kItemPrincipal1), 70, kTol);
    EXPECT_NEAR(stressValue(s, kItemPrincipal2), 20, kTol);
    EXPECT_NEAR(stressValue(s, kItemPrincipal3), -30, kTol);
    EXPECT_NEAR(stressValue(s, kItemTauYZ), 0, kTol);
    const StressComponents zero{};
    for (int item = 0; item <= kItemMaxPrincipal; ++item) EXPECT_EQ(stressValue(zero, item), 0) << item;
    EXPECT_EQ(stressValue(s, 14), 0);
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
