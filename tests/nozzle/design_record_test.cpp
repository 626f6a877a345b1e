#include "nozzle/design_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "report/drawing_plan.h"

namespace {

using nozzle::CharacteristicLine;
using Family = CharacteristicLine::Family;

TEST(IndexName, WritesThreeDecimalsWithoutTrailingZeros) {
  EXPECT_EQ(nozzle::IndexName(3.0), "3");
  EXPECT_EQ(nozzle::IndexName(0.2), "0.2");
  EXPECT_EQ(nozzle::IndexName(1.0 / 17.0), "0.059");
  EXPECT_EQ(nozzle::IndexName(0.25), "0.25");
}

// The planar record holds the net as the list and sonuc.txt show it, and the wall with
// the flow that reaches it along each C+ line.
TEST(DesignRecord, CarriesThePlanarNetsWallWithTheStateOfItsLastNetPoints) {
  const nozzle::DesignResult run = nozzle::Design({2.4, 0.373, 7.0});
  const nozzle::DesignRecord record = nozzle::RecordOf(run);
  ASSERT_EQ(record.wall.size(), 8u);
  for (int j = 0; j <= 7; ++j) {
    const nozzle::FlowPoint& p = record.wall[static_cast<std::size_t>(j)];
    EXPECT_EQ(p.x, run.net.x(j, 8));
    EXPECT_EQ(p.y, run.net.y(j, 8));
    EXPECT_EQ(p.M, run.net.M(j, 7));
    EXPECT_EQ(p.Teta, run.net.Teta(j, 7));
  }
  ASSERT_EQ(record.lines.size(), 14u);
  EXPECT_EQ(record.lines[2].name, "C- line 3");
  EXPECT_EQ(record.lines[2].points.size(), 4u);  // the corner and (1, 3), (2, 3), (3, 3) on the axis
  EXPECT_EQ(record.lines[2].points.back().y, 0.0);
  const CharacteristicLine& last = record.lines.back();
  EXPECT_EQ(last.name, "C+ line 7");
  EXPECT_EQ(last.family, Family::kCPlus);
  EXPECT_EQ(last.points.back().x, record.wall.back().x);  // the exit characteristic ends at the lip
  EXPECT_EQ(record.facts.TetaMax, run.TetaMax);
  EXPECT_EQ(record.facts.largestWallAngleX, 0.0);  // a planar wall is steepest at the corner
  EXPECT_EQ(record.facts.axisEnd, run.net.x(7, 7));
  EXPECT_TRUE(record.warnings.empty());
}

// The mass flow across every C+ line of the planar net and across its exit, over the
// throat's: within 0.2 % for 49 waves, and closer with more waves.
TEST(DesignRecord, BalancesThePlanarNetsMassFlowCloserWithMoreWaves) {
  for (const double Me : {1.5, 2.4, 3.5}) {
    const double few = nozzle::RecordOf(nozzle::Design({Me, 0.373, 7.0})).facts.massBalancePercent;
    const double many = nozzle::RecordOf(nozzle::Design({Me, 0.373, 49.0})).facts.massBalancePercent;
    EXPECT_LT(many, 0.2) << "Me " << Me;
    EXPECT_LT(many, few) << "Me " << Me;
  }
}

// A turning line is kept as far as it runs inside the nozzle: every piece of it ends on
// a point of a C+ line beyond the kernel, so that the turning lines have as many pieces
// as the C+ lines have such points, and none lies above the wall.
TEST(DesignRecord, KeepsTheRoundTurningLinesInsideTheWall) {
  for (const double Me : {1.5, 2.4, 3.5}) {
    const nozzle::MarchedDesign d = nozzle::DesignAxisymmetric({Me, 0.373, 13.0});
    const nozzle::DesignRecord record = nozzle::RecordOf(d);
    std::size_t beyond = 0;
    for (const auto& line : d.cPlusLines) beyond += line.beyond.size();
    std::size_t pieces = 0;
    for (const CharacteristicLine& line : record.lines) {
      if (line.family != Family::kTurning) continue;
      pieces += line.points.size() - 1;
      for (const nozzle::FlowPoint& p : line.points) {
        const auto above = std::upper_bound(record.wall.begin(), record.wall.end(), p.x,
                                            [](double x, const nozzle::FlowPoint& w) { return x < w.x; });
        ASSERT_NE(above, record.wall.begin());
        ASSERT_NE(above, record.wall.end());
        const nozzle::FlowPoint& a = *(above - 1);
        const double wallY = a.y + (p.x - a.x) / (above->x - a.x) * (above->y - a.y);
        EXPECT_LE(p.y, wallY + 1e-9) << line.name << " at x = " << p.x << ", Me " << Me;
      }
    }
    EXPECT_EQ(pieces, beyond) << "Me " << Me;
    EXPECT_EQ(record.lines.front().name, "C- line 0.2");  // 4 waves below Teta0: 0.2, 0.4, 0.6, 0.8

    // Drawn: the wall's pieces and every line's, each as its upper and its lower image.
    std::size_t all = record.wall.size() - 1;
    for (const CharacteristicLine& line : record.lines) all += line.points.size() - 1;
    EXPECT_EQ(report::MakeDrawingPlan(record).segments.size(), 2 * all);
  }
}

}  // namespace
