#include "nozzle/geometry.h"

#include <gtest/gtest.h>

#include "nozzle/design.h"

namespace {

using nozzle::Design;
using nozzle::DesignResult;

struct Point {
  double x, y;
};

void ExpectPoint(const DesignResult& r, int j, int k, Point expected, double tolerance = 0.005) {
  EXPECT_NEAR(r.net.x(j, k), expected.x, tolerance) << "x(" << j << ", " << k << ")";
  EXPECT_NEAR(r.net.y(j, k), expected.y, tolerance) << "y(" << j << ", " << k << ")";
}

// Figures to two decimals of the default design (Me = 2.4, Teta0 = 0.373, N = 7).
TEST(Geometry, DefaultDesignPlacesTheWallAndTheNet) {
  const DesignResult r = Design({2.4, 0.373, 7.0});
  const Point wall[] = {{0, 1}, {1.30, 1.43}, {2.34, 1.73}, {3.19, 1.94}, {4.13, 2.11},
                        {5.21, 2.26}, {6.51, 2.36}, {8.07, 2.40}};
  for (int j = 0; j <= 7; ++j) ExpectPoint(r, j, 8, wall[j]);
  ExpectPoint(r, 1, 1, {0.335, 0});
  ExpectPoint(r, 7, 7, {2.84, 0});
  ExpectPoint(r, 1, 7, {0.80, 0.75});
  ExpectPoint(r, 6, 7, {2.52, 0.14});
}

TEST(Geometry, TwoWavesGiveTheThreePointWall) {
  const DesignResult r = Design({2.4, 0.373, 2.0});
  ExpectPoint(r, 1, 1, {0.335, 0});
  ExpectPoint(r, 2, 2, {2.76, 0});
  ExpectPoint(r, 1, 2, {0.75, 0.77});
  ExpectPoint(r, 0, 3, {0, 1});
  ExpectPoint(r, 1, 3, {1.23, 1.40});
  ExpectPoint(r, 2, 3, {8.24, 2.51});
}

TEST(Geometry, FortyNineWavesUseTheLastColumnForTheWall) {
  const DesignResult r = Design({2.4, 0.373, 49.0});
  ExpectPoint(r, 49, 50, {8.08, 2.40});
  EXPECT_EQ(r.wallTurnsBackAt, 0);
  // The drawing reaches the exit lip, the farthest point of the wall column.
  const nozzle::Extents extents = nozzle::FindExtents(r.net, 49.0);
  EXPECT_EQ(extents.xMax, r.net.x(49, 50));
  EXPECT_EQ(extents.yMax, r.net.y(49, 50));
}

TEST(Geometry, CornerPointsAreExactlyTheThroatCornerAndAxisPointsLieOnTheAxis) {
  const DesignResult r = Design({3.0, 1.0, 12.0});
  for (int k = 1; k <= 13; ++k) {
    EXPECT_EQ(r.net.x(0, k), 0.0);
    EXPECT_EQ(r.net.y(0, k), 1.0);
  }
  for (int j = 1; j <= 12; ++j) EXPECT_EQ(r.net.y(j, j), 0.0);
}

TEST(Geometry, FirstAxisPointDependsOnTheFirstWaveAngleAlone) {
  const double x11 = Design({2.4, 0.373, 7.0}).net.x(1, 1);
  EXPECT_EQ(Design({3.5, 0.373, 20.0}).net.x(1, 1), x11);
  EXPECT_EQ(Design({1.5, 0.373, 2.0}).net.x(1, 1), x11);
  EXPECT_NE(Design({2.4, 0.5, 7.0}).net.x(1, 1), x11);
}

TEST(Geometry, FindsTheFirstWallPointThatIsNotMonotone) {
  DesignResult r = Design({2.4, 0.373, 7.0});
  EXPECT_EQ(nozzle::FirstNonMonotoneWallPoint(r.net, 7.0), 0);
  r.net.y(4, 8) = r.net.y(3, 8) - 1e-9;  // falls back towards the axis
  EXPECT_EQ(nozzle::FirstNonMonotoneWallPoint(r.net, 7.0), 4);
  r.net.x(2, 8) = r.net.x(1, 8);  // does not move downstream
  EXPECT_EQ(nozzle::FirstNonMonotoneWallPoint(r.net, 7.0), 2);
}

}  // namespace
