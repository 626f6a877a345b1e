#include "gas/isentropic.h"

#include <gtest/gtest.h>

namespace {

// Reference: NACA Report 1135 (Ames Research Staff, 1953), gamma = 1.4:
// A/A* = 1.1762 at M = 1.5, 1.6875 at M = 2, 2.4031 at M = 2.4, 4.2346 at M = 3.
TEST(AreaRatio, MatchesTheTables) {
  EXPECT_DOUBLE_EQ(gas::AreaRatio(1.0, 1.4), 1.0);
  EXPECT_NEAR(gas::AreaRatio(1.5, 1.4), 1.1762, 1e-4);
  EXPECT_NEAR(gas::AreaRatio(2.0, 1.4), 1.6875, 1e-4);
  EXPECT_NEAR(gas::AreaRatio(2.4, 1.4), 2.4031, 1e-4);
  EXPECT_NEAR(gas::AreaRatio(3.0, 1.4), 4.2346, 1e-4);
}

// Both branches of the inverse, from the same report: A/A* = 2.9635 at M = 0.2 and
// 1.1762 at M = 1.5; each returns the Mach number of its own side.
TEST(AreaRatio, InvertsOnEitherSideOfTheThroat) {
  EXPECT_NEAR(gas::SubsonicMachOfAreaRatio(2.9635, 1.4), 0.2, 2e-5);
  EXPECT_NEAR(gas::SupersonicMachOfAreaRatio(1.1762, 1.4), 1.5, 2e-4);
  EXPECT_NEAR(gas::SubsonicMachOfAreaRatio(gas::AreaRatio(0.05, 5.0 / 3.0), 5.0 / 3.0), 0.05, 1e-12);
  EXPECT_EQ(gas::SubsonicMachOfAreaRatio(1.0, 1.4), 1.0);
}

// The one-dimensional thrust coefficient in vacuum (Sutton and Biblarz, Rocket
// Propulsion Elements, eq. 3-30, with pe from the area ratio): gamma 1.2: 1.7423,
// 1.8424, 1.9024 at area ratios 10, 25, 50; gamma 1.4: 1.6469, 1.7010, 1.7292. At an
// ambient pressure the pressure term loses pa/p0 times the area ratio.
TEST(ThrustCoefficient, IsTheOneDimensionalClosedForm) {
  const double eps[] = {10.0, 25.0, 50.0};
  const double g12[] = {1.7423, 1.8424, 1.9024}, g14[] = {1.6469, 1.7010, 1.7292};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(gas::IdealThrustCoefficient(eps[i], 0.0, 1.2), g12[i], 5e-5) << eps[i];
    EXPECT_NEAR(gas::IdealThrustCoefficient(eps[i], 0.0, 1.4), g14[i], 5e-5) << eps[i];
    EXPECT_NEAR(gas::IdealThrustCoefficient(eps[i], 0.01, 1.2), g12[i] - 0.01 * eps[i], 5e-5) << eps[i];
  }
}

// Other gases, from the same relation: for g = 5/3 the exponent is 2 and A/A* at
// M = 2 is (1/2) (3/4 * 7/3)^2 = 1.53125 exactly; for g = 1.2 at M = 2.4,
// (1/2.4) (1.576 / 1.1)^5.5 = 3.01084.
TEST(AreaRatio, FollowsTheGas) {
  EXPECT_NEAR(gas::AreaRatio(2.0, 5.0 / 3.0), 1.53125, 1e-12);
  EXPECT_NEAR(gas::AreaRatio(2.4, 1.2), 3.01084, 1e-5);
}

// NACA Report 1135, gamma = 1.4, M = 2: T/T0 = 0.5556 and p/p0 = 0.1278; at M = 1
// T*/T0 = 0.8333 and p*/p0 = 0.5283, so T/T* = 0.6667 and p/p* = 0.2419.
TEST(TemperatureAndPressureRatio, MatchTheTablesFromTheSonicState) {
  EXPECT_DOUBLE_EQ(gas::TemperatureRatio(1.0, 1.4), 1.0);
  const double T = gas::TemperatureRatio(2.0, 1.4);
  EXPECT_NEAR(T, 0.6667, 1e-4);
  EXPECT_NEAR(gas::PressureRatioOfTemperature(T, 1.4), 0.2419, 1e-4);
  EXPECT_NEAR(gas::TemperatureRatio(2.0, 5.0 / 3.0), 4.0 / 7.0, 1e-15);  // (4/3) / (7/3)
}

}  // namespace
