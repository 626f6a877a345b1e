#include "cfd/grid_convergence.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Kind = cfd::GridConvergence::Kind;

// f(h) = 1 + h^2 on meshes h = 1, 2, 4: the exact second-order sequence 2, 5, 17.
TEST(GridConvergence, RecoversTheLimitAndTheOrderOfAnExactSecondOrderSequence) {
  const cfd::GridConvergence g = cfd::EstimateGridConvergence(2.0, 5.0, 17.0);
  EXPECT_EQ(g.kind, Kind::kMonotone);
  EXPECT_TRUE(g.Extrapolated());
  EXPECT_DOUBLE_EQ(g.order, 2.0);
  EXPECT_DOUBLE_EQ(g.extrapolated, 1.0);
  EXPECT_DOUBLE_EQ(g.uncertainty, 1.25);  // 1.25 |2 - 5| / (4 - 1)
  // First order, f = 1 + h, from above or below alike.
  const cfd::GridConvergence first = cfd::EstimateGridConvergence(-2.0, -3.0, -5.0);
  EXPECT_DOUBLE_EQ(first.order, 1.0);
  EXPECT_DOUBLE_EQ(first.extrapolated, -1.0);
  EXPECT_DOUBLE_EQ(first.uncertainty, 1.25);
}

// f = 1 + h^3: extrapolated with the observed order 3, its uncertainty with the
// formal order 2 (1.25 * 7 / 3), which still covers the limit.
TEST(GridConvergence, TrustsNoOrderAboveTheFormalOneForTheUncertainty) {
  const cfd::GridConvergence g = cfd::EstimateGridConvergence(2.0, 9.0, 65.0);
  EXPECT_DOUBLE_EQ(g.order, 3.0);
  EXPECT_DOUBLE_EQ(g.extrapolated, 1.0);
  EXPECT_DOUBLE_EQ(g.uncertainty, 1.25 * 7.0 / 3.0);
}

TEST(GridConvergence, ReportsOscillationAndDivergenceWithoutExtrapolating) {
  const cfd::GridConvergence swing = cfd::EstimateGridConvergence(1.0, 1.1, 0.95);
  EXPECT_EQ(swing.kind, Kind::kOscillatory);
  EXPECT_FALSE(swing.Extrapolated());
  EXPECT_EQ(swing.extrapolated, 1.0);
  EXPECT_NEAR(swing.uncertainty, 1.25 * 0.15, 1e-15);
  EXPECT_EQ(cfd::KindName(swing.kind), "oscillatory");

  const cfd::GridConvergence growing = cfd::EstimateGridConvergence(1.0, 1.2, 1.3);
  EXPECT_EQ(growing.kind, Kind::kDivergent);
  EXPECT_EQ(growing.extrapolated, 1.0);
  EXPECT_NEAR(growing.uncertainty, 1.25 * 0.2, 1e-15);

  const cfd::GridConvergence same = cfd::EstimateGridConvergence(3.0, 3.0, 3.0);
  EXPECT_EQ(same.kind, Kind::kConverged);
  EXPECT_EQ(same.extrapolated, 3.0);
  EXPECT_EQ(same.uncertainty, 0.0);
}

// Only one of the two differences zero is not convergence: the finer pair agreeing
// with the coarse one apart is monotone (nothing left to extrapolate), the coarser
// pair agreeing with the fine one apart is divergent, with the difference as its band.
TEST(GridConvergence, TellsOneZeroDifferenceFromConvergence) {
  const cfd::GridConvergence finer = cfd::EstimateGridConvergence(1.0, 1.0, 1.1);
  EXPECT_EQ(finer.kind, cfd::GridConvergence::Kind::kMonotone);
  EXPECT_EQ(finer.extrapolated, 1.0);
  const cfd::GridConvergence coarser = cfd::EstimateGridConvergence(1.0, 1.1, 1.1);
  EXPECT_EQ(coarser.kind, cfd::GridConvergence::Kind::kDivergent);
  EXPECT_NEAR(coarser.uncertainty, 0.125, 1e-12);
  EXPECT_EQ(cfd::EstimateGridConvergence(1.0, 1.0, 1.0).kind, cfd::GridConvergence::Kind::kConverged);
}

}  // namespace
