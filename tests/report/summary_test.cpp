#include "report/summary.h"

#include <gtest/gtest.h>

#include <cmath>

#include "report/number_text.h"

namespace {

// Reference: NACA Report 1135 (Ames Research Staff, 1953), gamma = 1.4:
// A/A* = 1.1762 at M = 1.5, 1.6875 at M = 2, 2.4031 at M = 2.4, 4.2346 at M = 3.
TEST(IsentropicAreaRatio, MatchesTheTables) {
  EXPECT_DOUBLE_EQ(report::IsentropicAreaRatio(1.0), 1.0);
  EXPECT_NEAR(report::IsentropicAreaRatio(1.5), 1.1762, 1e-4);
  EXPECT_NEAR(report::IsentropicAreaRatio(2.0), 1.6875, 1e-4);
  EXPECT_NEAR(report::IsentropicAreaRatio(2.4), 2.4031, 1e-4);
  EXPECT_NEAR(report::IsentropicAreaRatio(3.0), 4.2346, 1e-4);
}

// Other gases, from the same relation: for g = 5/3 the exponent is 2 and A/A* at
// M = 2 is (1/2) (3/4 * 7/3)^2 = 1.53125 exactly; for g = 1.2 at M = 2.4,
// (1/2.4) (1.576 / 1.1)^5.5 = 3.01084.
TEST(IsentropicAreaRatio, FollowsTheGas) {
  EXPECT_NEAR(report::IsentropicAreaRatio(2.0, 5.0 / 3.0), 1.53125, 1e-12);
  EXPECT_NEAR(report::IsentropicAreaRatio(2.4, 1.2), 3.01084, 1e-5);
}

TEST(Validation, ExitHalfHeightOfOtherGasesApproachesTheirAreaRatio) {
  for (const double g : {1.2, 1.3, 5.0 / 3.0}) {
    const report::DesignSummary s = report::Summarize(nozzle::Design({2.4, 0.373, 49.0, g}));
    EXPECT_EQ(s.areaRatio, report::IsentropicAreaRatio(2.4, g));
    EXPECT_LT(std::fabs(s.deviationPercent), 0.3) << "gamma " << g << ": " << s.deviationPercent;
  }
}

// A property of the method: with enough waves the wall ends at the isentropic exit
// height and rises all the way. A failure means the net or the wall is wrong.
TEST(Validation, ExitHalfHeightApproachesTheIsentropicAreaRatio) {
  for (const double Me : {1.5, 2.0, 2.4, 3.0}) {
    for (const double N : {7.0, 15.0, 30.0, 49.0}) {
      const nozzle::DesignResult result = nozzle::Design({Me, 0.373, N});
      const report::DesignSummary s = report::Summarize(result);
      const double limit = N >= 30.0 ? 0.2 : 0.3;
      EXPECT_LT(std::fabs(s.deviationPercent), limit) << "Me " << Me << ", N " << N << ": " << s.deviationPercent;
      EXPECT_EQ(result.wallTurnsBackAt, 0) << "Me " << Me << ", N " << N;
    }
  }
}

TEST(Summary, ReportsTheExitLipOfTheDefaultDesign) {
  const nozzle::DesignResult result = nozzle::Design({2.4, 0.373, 7.0});
  const report::DesignSummary s = report::Summarize(result);
  EXPECT_EQ(s.length, result.net.x(7, 8));
  EXPECT_EQ(s.exitHalfHeight, result.net.y(7, 8));
  EXPECT_EQ(report::SummaryText(s),
            "TetaMax = 18.373\n"
            "Nozzle length x = 8.074\n"
            "Exit half-height y = 2.399\n"
            "Isentropic area ratio A/A* = 2.403\n"
            "Deviation of y from A/A* = " + report::RoundedText(s.deviationPercent) + " %\n");
  EXPECT_LT(std::fabs(s.deviationPercent), 0.2);  // for the defaults within 0.2 %
}

}  // namespace
