// Derived stresses of one stress state and the reading of numbers from result lines.
#include <gtest/gtest.h>

#include <cmath>
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

// A general three-dimensional state, built as R diag(d) R^T with R turning about a skew axis, so that
// all six components are non-zero: its principal stresses are d, whatever the signs of the shears.
StressComponents rotatedState(const double d[3], double ax, double ay, double az, double angle) {
    const double n = std::sqrt(ax * ax + ay * ay + az * az);
    const double u[3] = {ax / n, ay / n, az / n};
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    const double r[3][3] = {{t * u[0] * u[0] + c, t * u[0] * u[1] - s * u[2], t * u[0] * u[2] + s * u[1]},
                            {t * u[0] * u[1] + s * u[2], t * u[1] * u[1] + c, t * u[1] * u[2] - s * u[0]},
                            {t * u[0] * u[2] - s * u[1], t * u[1] * u[2] + s * u[0], t * u[2] * u[2] + c}};
    auto m = [&](int i, int j) { return r[i][0] * d[0] * r[j][0] + r[i][1] * d[1] * r[j][1] + r[i][2] * d[2] * r[j][2]; };
    return {m(0, 0), m(1, 1), m(2, 2), m(0, 1), m(1, 2), m(0, 2)};
}

TEST(DerivedStress, GeneralStatesGiveTheEigenvaluesOfTheTensor) {
    const double cases[][3] = {{200, 50, -80}, {-10, -60, -150}, {120, 120, -40}};
    const double turns[][4] = {{1, 2, 3, 0.7}, {-2, 1, 0.5, 2.1}, {0.3, -1, 2, -1.2}};
    for (const auto& d : cases)
        for (const auto& turn : turns) {
            const StressComponents s = rotatedState(d, turn[0], turn[1], turn[2], turn[3]);
            ASSERT_GT(std::fabs(s.txy * s.tyz * s.txz), 1.0) << "the state must have three shears";
            const PrincipalStresses ps = principalStresses(s);
            EXPECT_NEAR(ps.p1, d[0], kTol) << d[0] << " " << turn[3];
            EXPECT_NEAR(ps.p2, d[1], kTol) << d[1] << " " << turn[3];
            EXPECT_NEAR(ps.p3, d[2], kTol) << d[2] << " " << turn[3];
            EXPECT_NEAR(stressValue(s, kItemTresca), d[0] - d[2], kTol);
            const double mises = std::sqrt(0.5 * ((d[0] - d[1]) * (d[0] - d[1]) + (d[1] - d[2]) * (d[1] - d[2]) +
                                                  (d[2] - d[0]) * (d[2] - d[0])));
            EXPECT_NEAR(vonMises(s), mises, kTol);
        }
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
