#include "nozzle/design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using nozzle::Design;
using nozzle::DesignInputs;
using nozzle::DesignResult;
using nozzle::RunError;

const DesignInputs kDefaults{2.4, 0.373, 7.0};

std::string FailureOf(const DesignInputs& inputs) {
  try {
    Design(inputs);
  } catch (const RunError& e) {
    return e.what();
  }
  return "no error";
}

// Reference figures for the default design: nu(2.4) = 36.7465 deg (NACA Report 1135),
// so TetaMax = 18.373 and the fan waves are 3 degrees apart.
TEST(Design, DefaultInputsLayAFanThreeDegreesApart) {
  const DesignResult r = Design(kDefaults);
  EXPECT_NEAR(r.TetaMax, 18.3733, 1e-4);
  EXPECT_NEAR(r.dTeta, 3.0, 1e-3);
  for (int k = 1; k <= 7; ++k) {
    EXPECT_NEAR(r.net.Teta(0, k), 0.373 + 3.0 * (k - 1), 1e-2) << k;
    EXPECT_EQ(r.net.Nu(0, k), r.net.Teta(0, k));
    EXPECT_EQ(r.net.Kminus(k), 2.0 * r.net.Teta(0, k));
    EXPECT_EQ(r.net.Kplus(k), -r.net.Kminus(k));
  }
  EXPECT_NEAR(r.net.Teta(0, 7), r.TetaMax, 1e-12);
  EXPECT_NEAR(r.net.Kminus(7), 2 * 0.373 + 36.0 + 0.001, 5e-4);  // a thousandth above 6(k - 1)
}

TEST(Design, DefaultInputsGiveFlowAnglesInStepsOfThreeAlongTheFirstCPlusLine) {
  const DesignResult r = Design(kDefaults);
  for (int k = 1; k <= 7; ++k) EXPECT_NEAR(r.net.Teta(1, k), 3.0 * (k - 1), 1e-3) << k;
  EXPECT_NEAR(r.net.M(1, 1), 1.07, 5e-3);
  EXPECT_NEAR(r.net.M(7, 7), 2.4, 1e-4);  // the last axis point carries the exit Mach number
  for (int j = 1; j <= 7; ++j) {
    EXPECT_EQ(r.net.Teta(j, j), 0.0) << j;
    EXPECT_EQ(r.net.Nu(j, j), r.net.Kminus(j)) << j;
    EXPECT_NEAR(r.net.Mu(j, j), std::asin(1.0 / r.net.M(j, j)) / gas::Pi_180, 1e-9);
  }
}

TEST(Design, LeavesTheWallColumnFlowStateAndIndexZeroEmpty) {
  const DesignResult r = Design(kDefaults);
  for (int j = 0; j <= 7; ++j) {
    EXPECT_EQ(r.net.Teta(j, 8), 0.0);
    EXPECT_EQ(r.net.M(j, 8), 0.0);
  }
  EXPECT_EQ(r.net.Kminus(0), 0.0);
  EXPECT_EQ(r.net.Kplus(0), 0.0);
  EXPECT_EQ(r.net.M(0, 0), 0.0);
  EXPECT_EQ(r.notices, 0);
  EXPECT_TRUE(r.wallWarning.empty());
}

TEST(Design, TwoWavesLayTheFirstAngleAndTetaMax) {
  const DesignResult r = Design({2.4, 0.373, 2.0});
  EXPECT_EQ(r.net.Teta(0, 1), 0.373);
  EXPECT_NEAR(r.net.Teta(0, 2), r.TetaMax, 1e-12);
}

TEST(Design, FractionalWaveCountRunsTheLoopsToItsWholePart) {
  const DesignResult r = Design({2.4, 0.373, 7.4});
  EXPECT_NEAR(r.dTeta, (r.TetaMax - 0.373) / 6.4, 1e-12);
  EXPECT_LT(r.net.Teta(0, 7), r.TetaMax - 1.0);  // the last wave falls short of TetaMax
  EXPECT_EQ(r.net.Teta(0, 8), 0.0);
}

TEST(Design, FirstAngleEqualToTetaMaxMakesAllWavesCoincide) {
  const double tetaMax = gas::Nu_f_M(2.4) / 2.0;
  const DesignResult r = Design({2.4, tetaMax, 7.0});
  EXPECT_EQ(r.dTeta, 0.0);
  for (int k = 1; k <= 7; ++k) EXPECT_EQ(r.net.Teta(0, k), tetaMax);
}

TEST(Design, WarnsWhenTooFewWavesMakeTheWallTurnBack) {
  const DesignResult r = Design({10.0, 0.373, 2.0});
  EXPECT_EQ(r.wallTurnsBackAt, 2);
  EXPECT_NE(r.wallWarning.find("wall point 2"), std::string::npos) << r.wallWarning;
  EXPECT_NE(r.wallWarning.find("use more waves"), std::string::npos) << r.wallWarning;
  EXPECT_EQ(Design({10.0, 0.373, 30.0}).wallTurnsBackAt, 0);
}

TEST(DesignFailure, NamesEachFailingOperationAndWhereItHappened) {
  EXPECT_EQ(FailureOf({2.4, 0.373, 1.0}), "division by zero in dTeta = (TetaMax - Teta0) / (N - 1)");
  EXPECT_EQ(FailureOf({2.4, 0.373, 7.5}), "division by zero at wall point 1");
  EXPECT_EQ(FailureOf({2.4, 0.373, 7.6}), "division by zero at wall point 1");
  EXPECT_EQ(FailureOf({2.4, 0.373, 50.0}), "index 51 out of range 0..50 at the first wall point (column N + 1 = 51)");
  EXPECT_EQ(FailureOf({2.4, 0.373, 60.0}), "index 51 out of range 0..50 at fan point 51");
  EXPECT_EQ(FailureOf({0.5, 0.373, 7.0}), "square root of a negative number in TetaMax = Nu_f_M(Me) / 2");
  EXPECT_EQ(FailureOf({2.4, -1.0, 7.0}), "square root of a negative number at fan point 1");
  EXPECT_EQ(FailureOf({2.4, 200.0, 7.0}), "overflow to infinity at fan point 1");
  EXPECT_EQ(FailureOf({2.4, 1e308, 7.0}), "overflow to infinity at fan point 1");  // K- = 2e308
  EXPECT_EQ(FailureOf({NAN, 0.373, 7.0}), "invalid operation (not a number) in TetaMax = Nu_f_M(Me) / 2");
  EXPECT_EQ(FailureOf({2.4, 0.373, 0.5}), "no wave is laid for N below 1 in the fan at the throat corner");
  EXPECT_EQ(FailureOf({2.4, 0.373, -3.0}), "no wave is laid for N below 1 in the fan at the throat corner");
  EXPECT_EQ(FailureOf({2.4, 0.373, NAN}), "invalid operation (not a number) in dTeta = (TetaMax - Teta0) / (N - 1)");
  EXPECT_EQ(FailureOf({2.4, 0.373, INFINITY}), "index 51 out of range 0..50 at fan point 51");
}

}  // namespace
