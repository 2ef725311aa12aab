#include "gas_closed_forms.h"

#include <gtest/gtest.h>

namespace tarvsolv::testing {
namespace {

constexpr double kGamma = 1.4;
constexpr double kDegree = std::numbers::pi / 180;

// Sod's tube against the star state Toro tabulates for his test 1, and the fans and jumps in the
// right places.
TEST(GasClosedForms, SodsTubeHasToroStarState) {
    const ExactRiemann sod({1.0, 0.0, 1.0}, {0.125, 0.0, 0.1}, kGamma);
    EXPECT_NEAR(sod.pStar(), 0.30313, 1e-5);
    EXPECT_NEAR(sod.uStar(), 0.92745, 1e-5);
    EXPECT_NEAR(sod.rhoStarLeft(), 0.42632, 1e-5);
    EXPECT_NEAR(sod.rhoStarRight(), 0.26557, 1e-5);
    EXPECT_NEAR(sod.rightShockSpeed(), 1.75216, 1e-5);
    EXPECT_NEAR(sod.at(-2.0).p, 1.0, 1e-12);
    EXPECT_NEAR(sod.at(2.0).rho, 0.125, 1e-12);
    EXPECT_NEAR(sod.at(sod.uStar() - 1e-9).rho, sod.rhoStarLeft(), 1e-9);
    EXPECT_NEAR(sod.at(sod.uStar() + 1e-9).rho, sod.rhoStarRight(), 1e-9);
    // In the fan the velocity rises linearly from 0 at its head to u* at its tail.
    const double mid = 0.5 * (sod.leftHeadSpeed() + sod.leftTailSpeed());
    EXPECT_NEAR(sod.at(mid).u, 0.5 * sod.uStar(), 1e-9);
}

// The nozzle and shock relations against the tables of isentropic flow and normal shocks.
TEST(GasClosedForms, NozzleAndShockRelationsMatchTheTables) {
    EXPECT_NEAR(areaRatio(2.0, kGamma), 1.6875, 1e-12);
    EXPECT_NEAR(machOfAreaRatio(1.6875, kGamma, true), 2.0, 1e-9);
    EXPECT_NEAR(machOfAreaRatio(1.6875, kGamma, false), 0.3722, 1e-4);
    EXPECT_NEAR(pressureRatio(2.0, kGamma), 0.12780, 1e-5);
    EXPECT_NEAR(machOfPressureRatio(0.12780, kGamma), 2.0, 1e-4);
    EXPECT_NEAR(machOfPressureRatio(pressureRatio(0.35, kGamma), kGamma), 0.35, 1e-12);
    EXPECT_NEAR(temperatureRatio(2.0, kGamma), 0.55556, 1e-5);
    const NormalShock shock = normalShock(2.0, kGamma);
    EXPECT_NEAR(shock.m2, 0.57735, 1e-5);
    EXPECT_NEAR(shock.staticRatio, 4.5, 1e-12);
    EXPECT_NEAR(shock.totalRatio, 0.72087, 1e-5);
    // A shock at the exit leaves the exit at the static pressure behind it; one at the throat
    // leaves the subsonic isentropic exit pressure.
    EXPECT_NEAR(exitPressureWithShock(1.6875, 1.6875, kGamma), 0.12780 * 4.5, 1e-4);
    EXPECT_NEAR(exitPressureWithShock(1.0 + 1e-9, 1.6875, kGamma),
                pressureRatio(machOfAreaRatio(1.6875, kGamma, false), kGamma), 1e-4);
    EXPECT_NEAR(shockAreaRatio(exitPressureWithShock(1.3, 1.6875, kGamma), 1.6875, kGamma), 1.3, 1e-9);
}

// The weak oblique shock of a 10 degree wedge at Mach 2 (39.31 degrees in the tables), and a
// wedge too steep for an attached shock.
TEST(GasClosedForms, WedgeShockAngleMatchesTheTables) {
    EXPECT_NEAR(obliqueShockAngle(2.0, 10 * kDegree, kGamma) / kDegree, 39.31, 0.01);
    EXPECT_NEAR(obliqueShockAngle(3.0, 20 * kDegree, kGamma) / kDegree, 37.76, 0.01);
    EXPECT_TRUE(std::isnan(obliqueShockAngle(2.0, 30 * kDegree, kGamma)));
}

}  // namespace
}  // namespace tarvsolv::testing
