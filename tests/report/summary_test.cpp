#include "report/summary.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gas/isentropic.h"
#include "nozzle/minimum_length.h"
#include "nozzle/design.h"
#include "nozzle/design_record.h"

namespace {

TEST(Validation, ExitHalfHeightOfOtherGasesApproachesTheirAreaRatio) {
  for (const double g : {1.2, 1.3, 5.0 / 3.0}) {
    const nozzle::DesignFacts s = nozzle::RecordOf(nozzle::Design({2.4, 0.373, 49.0, g})).facts;
    EXPECT_EQ(s.areaRatio, gas::AreaRatio(2.4, g));
    EXPECT_LT(std::fabs(s.areaDeviationPercent), 0.3) << "gamma " << g << ": " << s.areaDeviationPercent;
  }
}

// A property of the method: with enough waves the wall ends at the isentropic exit
// height and rises all the way. A failure means the net or the wall is wrong.
TEST(Validation, ExitHalfHeightApproachesTheIsentropicAreaRatio) {
  for (const double Me : {1.5, 2.0, 2.4, 3.0}) {
    for (const double N : {7.0, 15.0, 30.0, 49.0}) {
      const nozzle::DesignResult result = nozzle::Design({Me, 0.373, N});
      const nozzle::DesignFacts s = nozzle::RecordOf(result).facts;
      const double limit = N >= 30.0 ? 0.2 : 0.3;
      EXPECT_LT(std::fabs(s.areaDeviationPercent), limit) << "Me " << Me << ", N " << N << ": " << s.areaDeviationPercent;
      EXPECT_EQ(result.wallTurnsBackAt, 0) << "Me " << Me << ", N " << N;
    }
  }
}

TEST(Summary, ReportsTheExitLipOfTheDefaultDesign) {
  const nozzle::DesignResult result = nozzle::Design({2.4, 0.373, 7.0});
  const nozzle::DesignRecord record = nozzle::RecordOf(result);
  EXPECT_EQ(record.facts.length, result.net.x(7, 8));
  EXPECT_EQ(record.facts.exitHeight, result.net.y(7, 8));
  EXPECT_EQ(report::SummaryText(record),
            "TetaMax = 18.373\n"
            "Nozzle length x = 8.074\n"
            "Exit half-height y = 2.399\n"
            "Isentropic area ratio A/A* = 2.403\n"
            "Deviation of y from A/A* = -0.191 %\n");
}

// The round nozzle of 49 waves in air and in a gas of G = 1.2: its own labels, the
// largest wall angle past the corner, y^2 against A/A* and the net's mass balance.
TEST(Summary, NamesARoundNozzleItsSteepestWallPointAndItsMassBalance) {
  EXPECT_EQ(report::SummaryText(nozzle::RecordOf(nozzle::DesignAxisymmetric({2.4, 0.373, 49.0}))),
            "Axisymmetric nozzle\n"
            "TetaMax = 8.333\n"
            "Largest wall angle = 11.5 at x = 0.59\n"
            "Nozzle length x = 5.157\n"
            "Exit radius y = 1.55\n"
            "Isentropic area ratio A/A* = 2.403\n"
            "Deviation of y^2 from A/A* = -0.032 %\n"
            "Mass balance = 0.037 %\n");
  const std::string gas = report::SummaryText(nozzle::RecordOf(nozzle::DesignAxisymmetric({2.4, 0.373, 49.0, 1.2})));
  EXPECT_EQ(gas.substr(0, gas.find("TetaMax")), "Axisymmetric nozzle\nRatio of specific heats G = 1.2\n");
}

}  // namespace
