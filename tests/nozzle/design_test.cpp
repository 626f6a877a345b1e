#include "nozzle/design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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

// The minimum-length nozzle of another gas, evaluated afresh from the textbook
// relations (Anderson, Modern Compressible Flow, sections 4.14 and 11.7) with the
// same laying of the fan, the same averaged slopes and the same Newton inverse:
//   nu(M) = sqrt((g+1)/(g-1)) atan(sqrt((g-1)/(g+1) (M^2-1))) - atan(sqrt(M^2-1)),
//   dnu/dM = sqrt(M^2-1) / (M (1 + (g-1)/2 M^2)), mu = asin(1/M).
struct ReferenceWall {
  std::vector<double> x, y;
};

ReferenceWall TextbookWall(double g, double Me, double Teta0, int N) {
  const double deg = std::acos(-1.0) / 180.0;
  const auto nu = [g](double M) {
    const double s = std::sqrt((g + 1) / (g - 1));
    return s * std::atan(std::sqrt((M * M - 1) / (s * s))) - std::atan(std::sqrt(M * M - 1));
  };
  const auto machOf = [&](double nuDeg) {
    double M = std::sqrt(2.5);
    for (int step = 0; step < 50; ++step) {
      const double F = nu(M) - nuDeg * deg;
      if (std::fabs(F) < 1e-5) break;
      M -= F / (std::sqrt(M * M - 1) / (M * (1 + (g - 1) / 2 * M * M)));
    }
    return M;
  };
  const double tetaMax = nu(Me) / deg / 2;
  const double dTeta = (tetaMax - Teta0) / (N - 1);
  // theta, mu, x, y of point (j, k); j = 0 the fan at the corner (0, 1).
  std::vector<std::vector<double>> th(N + 1, std::vector<double>(N + 1)), mu = th, x = th, y = th;
  std::vector<double> km(N + 1);
  for (int k = 1; k <= N; ++k) {
    th[0][k] = Teta0 + (k - 1) * dTeta;
    km[k] = 2 * th[0][k];
    mu[0][k] = std::asin(1 / machOf(th[0][k])) / deg;
    y[0][k] = 1;
  }
  for (int j = 1; j <= N; ++j) {
    for (int k = j; k <= N; ++k) {
      th[j][k] = (km[k] - km[j]) / 2;
      mu[j][k] = std::asin(1 / machOf((km[k] + km[j]) / 2)) / deg;
      const double cMinus = std::tan(((th[j - 1][k] + th[j][k]) - (mu[j - 1][k] + mu[j][k])) / 2 * deg);
      if (k == j) {
        x[j][k] = x[j - 1][k] - y[j - 1][k] / cMinus;
        continue;
      }
      const double cPlus = std::tan(((th[j][k - 1] + th[j][k]) + (mu[j][k - 1] + mu[j][k])) / 2 * deg);
      x[j][k] = (y[j][k - 1] - y[j - 1][k] + cMinus * x[j - 1][k] - cPlus * x[j][k - 1]) / (cMinus - cPlus);
      y[j][k] = y[j][k - 1] + cPlus * (x[j][k] - x[j][k - 1]);
    }
  }
  ReferenceWall wall{{0.0}, {1.0}};
  for (int j = 1; j <= N; ++j) {
    const double cWall = std::tan((th[j - 1][N] + th[j][N]) / 2 * deg);
    const double cToWall = std::tan((th[j][N] + mu[j][N]) * deg);
    const double xw = (y[j][N] - wall.y.back() + cWall * wall.x.back() - cToWall * x[j][N]) / (cWall - cToWall);
    wall.y.push_back(y[j][N] + cToWall * (xw - x[j][N]));
    wall.x.push_back(xw);
  }
  return wall;
}

TEST(Design, OtherGasesGiveTheWallOfAnIndependentTextbookEvaluation) {
  for (const double g : {1.2, 1.3, 5.0 / 3.0}) {
    const DesignResult r = Design({2.4, 0.373, 49.0, g});
    EXPECT_EQ(r.gas.gamma, g);
    EXPECT_EQ(r.notices, 0);
    const ReferenceWall wall = TextbookWall(g, 2.4, 0.373, 49);
    double worst = 0.0;
    for (int j = 0; j <= 49; ++j) {
      worst = std::max({worst, std::fabs(r.net.x(j, 50) - wall.x[j]) / wall.x.back(),
                        std::fabs(r.net.y(j, 50) - wall.y[j]) / wall.y.back()});
    }
    EXPECT_LT(worst, 1e-9) << "gamma " << g;
  }
  // The gas matters: the exit of gamma 1.2 lies well above that of air.
  EXPECT_GT(Design({2.4, 0.373, 49.0, 1.2}).net.y(49, 50), 1.2 * Design({2.4, 0.373, 49.0}).net.y(49, 50));
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
  EXPECT_EQ(FailureOf({2.4, 0.373, 7.0, 1.0}), "ratio of specific heats outside 1 < gamma <= 5/3 for the gas");
  EXPECT_EQ(FailureOf({2.4, 0.373, 7.0, 1.7}), "ratio of specific heats outside 1 < gamma <= 5/3 for the gas");
  EXPECT_EQ(FailureOf({2.4, 0.373, 7.0, NAN}), "ratio of specific heats outside 1 < gamma <= 5/3 for the gas");
}

}  // namespace
